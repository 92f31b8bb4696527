#include "timing/widgets/ForcedStartDialog.h"

#include "data/rules/RelayLegs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

std::optional<ForcedStartChoice> AskForcedStartChoice(QWidget* parent, const QStringList& classes) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("繰上スタート"));
    auto* form = new QFormLayout(&dialog);
    auto* exchange = new QSpinBox(&dialog);
    exchange->setObjectName(QStringLiteral("ForcedExchange"));
    exchange->setRange(1, RelayTimedLegs - 1);
    exchange->setSuffix(QStringLiteral(" 中継所"));
    form->addRow(QStringLiteral("中継所"), exchange);
    auto* teamClass = new QComboBox(&dialog);
    teamClass->setObjectName(QStringLiteral("ForcedClass"));
    teamClass->addItem(QStringLiteral("全クラス"));
    teamClass->addItems(classes);
    form->addRow(QStringLiteral("クラス"), teamClass);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("次へ"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ForcedStartChoice{exchange->value(),
                             teamClass->currentIndex() == 0 ? QString() : teamClass->currentText()};
}
