#pragma once
// "接続設定": the connection to the race server ("Server") or the test server ("Test"), as
// the operator types it: tried before it is kept, and the result told in the dialog.

#include "data/sql/ConnectionSetup.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ConnectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionDialog(ConnectionSetup setup, QWidget* parent = nullptr);

private:
    void BuildDialog();
    ServerChoice Choice() const;
    // Fills the fields with what is kept for the choice.
    void ShowKept();
    ServerConnection Typed() const;
    void ChooseCaFile();
    void TryTyped();
    void SaveTyped();
    void ShowResult(const ConnectionTryResult& result);

    ConnectionSetup setup_;
    QRadioButton* server_ = nullptr;
    QRadioButton* test_ = nullptr;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* database_ = nullptr;
    QLineEdit* account_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* caFile_ = nullptr;
    QLabel* result_ = nullptr;
};
