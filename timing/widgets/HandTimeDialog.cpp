#include "timing/widgets/HandTimeDialog.h"

#include "common/uComm.h"
#include "data/actions/HandStamp.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

HandTimeDialog::HandTimeDialog(QWidget* parent, std::function<QTime()> deviceNow)
    : QDialog(parent), deviceNow_(std::move(deviceNow)) {
    setObjectName(QStringLiteral("HandTimeDialog"));
    setWindowTitle(QStringLiteral("手入力"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("機器が取り逃した選手の通過時刻\n"
                                                "（時:分:秒 または 時:分:秒.1/10秒）"),
                                 this));
    time_ = new QLineEdit(this);
    time_->setObjectName(QStringLiteral("HandTimeBox"));
    time_->setPlaceholderText(QStringLiteral("例 10:23:45.6"));
    layout->addWidget(time_);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("HandTimeMessage"));
    message_->setStyleSheet(QStringLiteral("color: red"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("記録"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &HandTimeDialog::Take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    time_->setFocus();
}

void HandTimeDialog::Take() {
    const std::optional<QString> time = HandTimeOfDay(time_->text());
    if (!time) {
        message_->setText(QStringLiteral("時刻として読めません。10:23:45 や 10:23:45.6 の"
                                         "ように入力してください。"));
    } else if (const QTime now = deviceNow_(); TimeTextToMs(*time) > now.msecsSinceStartOfDay()) {
        // The device cannot have missed a runner who has not passed yet: a slip of the keys.
        message_->setText(QStringLiteral("%1 はまだ来ていません（機器の時計で今 %2）。")
                              .arg(time->left(10), now.toString(QStringLiteral("HH:mm:ss"))));
    } else {
        emit TimeTyped(*time);
        accept();
        return;
    }
    time_->setFocus();
    time_->selectAll();
}
