#include "app/ConnectionDialog.h"

#include "common/AppError.h"
#include "timing/widgets/MessageBoxes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit* MakeField(const QString& name) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setMinimumWidth(280);
    return field;
}

QPushButton* MakeButton(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ConnectionDialog::ConnectionDialog(ConnectionSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)) {
    BuildDialog();
    ShowKept();
}

void ConnectionDialog::BuildDialog() {
    setWindowTitle(QStringLiteral("接続設定"));
    server_ = new QRadioButton(QStringLiteral("Server（本番サーバー）"));
    server_->setObjectName(QStringLiteral("Server"));
    test_ = new QRadioButton(QStringLiteral("Test（テストサーバー）"));
    test_->setObjectName(QStringLiteral("Test"));
    server_->setChecked(true);
    auto* choices = new QButtonGroup(this);
    choices->addButton(server_);
    choices->addButton(test_);
    connect(choices, &QButtonGroup::buttonClicked, this, [this] { ShowKept(); });

    host_ = MakeField(QStringLiteral("Host"));
    port_ = MakeField(QStringLiteral("Port"));
    port_->setValidator(new QIntValidator(1, 65535, port_));
    database_ = MakeField(QStringLiteral("Database"));
    account_ = MakeField(QStringLiteral("Account"));
    password_ = MakeField(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    caFile_ = MakeField(QStringLiteral("CaFile"));
    caFile_->setPlaceholderText(QStringLiteral("空欄: システムの認証局で確認"));
    QPushButton* browse = MakeButton(QStringLiteral("参照…"), QStringLiteral("Browse"));
    connect(browse, &QPushButton::clicked, this, &ConnectionDialog::ChooseCaFile);
    auto* caRow = new QHBoxLayout;
    caRow->addWidget(caFile_);
    caRow->addWidget(browse);

    auto* form = new QFormLayout;
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(server_);
    choiceRow->addWidget(test_);
    form->addRow(QStringLiteral("接続先"), choiceRow);
    form->addRow(QStringLiteral("ホスト"), host_);
    form->addRow(QStringLiteral("ポート"), port_);
    form->addRow(QStringLiteral("データベース"), database_);
    form->addRow(QStringLiteral("アカウント"), account_);
    form->addRow(QStringLiteral("パスワード"), password_);
    form->addRow(QStringLiteral("CA ファイル"), caRow);

    result_ = new QLabel;
    result_->setObjectName(QStringLiteral("Result"));
    result_->setWordWrap(true);
    result_->setMinimumHeight(48);

    QPushButton* tryButton = MakeButton(QStringLiteral("接続テスト"), QStringLiteral("Try"));
    QPushButton* save = MakeButton(QStringLiteral("保存"), QStringLiteral("Save"));
    QPushButton* close = MakeButton(QStringLiteral("閉じる"), QStringLiteral("Close"));
    connect(tryButton, &QPushButton::clicked, this, &ConnectionDialog::TryTyped);
    connect(save, &QPushButton::clicked, this, &ConnectionDialog::SaveTyped);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(tryButton);
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addLayout(buttons);
}

ServerChoice ConnectionDialog::Choice() const {
    return server_->isChecked() ? ServerChoice::Server : ServerChoice::Test;
}

void ConnectionDialog::ShowKept() {
    const ServerConnection kept = setup_.Load(Choice());
    host_->setText(kept.host);
    port_->setText(QString::number(kept.port));
    database_->setText(kept.database);
    account_->setText(kept.account);
    password_->setText(kept.password);
    caFile_->setText(kept.caFile);
    result_->clear();
}

ServerConnection ConnectionDialog::Typed() const {
    return {host_->text(),    port_->text().toInt(), database_->text(),
            account_->text(), password_->text(),     caFile_->text()};
}

void ConnectionDialog::ChooseCaFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("CA ファイル"), caFile_->text(),
                                     QStringLiteral("証明書 (*.pem *.crt);;すべて (*)"));
    if (!path.isEmpty())
        caFile_->setText(path);
}

void ConnectionDialog::TryTyped() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ConnectionTryResult result = setup_.Try(Typed());
    QApplication::restoreOverrideCursor();
    ShowResult(result);
}

void ConnectionDialog::SaveTyped() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ConnectionTryResult result = setup_.TryThenSave(Choice(), Typed());
    QApplication::restoreOverrideCursor();
    ShowResult(result);
    if (result.connected || WhyNotKept(Typed()))
        return;
    // A typing slip must not be kept unnoticed; a server that is not up yet may be.
    if (!AskYesNo(this, QStringLiteral("接続設定"),
                  QStringLiteral("接続できませんでした。このまま保存しますか？"), false))
        return;
    try {
        result_->setText(result.message + QLatin1Char('\n') + setup_.SaveUntried(Choice(), Typed()));
    } catch (const AppError& error) {
        ShowResult({false, error.message()});
    }
}

void ConnectionDialog::ShowResult(const ConnectionTryResult& result) {
    result_->setStyleSheet(result.connected ? QStringLiteral("color: #008000")
                                            : QStringLiteral("color: #c00000"));
    result_->setText(result.message);
}
