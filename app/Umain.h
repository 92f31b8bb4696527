#pragma once
// The main window: the operator picks the database the workstation works on and opens the
// timing window for the race in work. Closing it saves the configuration and ends the
// program.

#include <QMap>
#include <QString>
#include <QWidget>

class QLabel;
class TCuteButton;

class TRadioGroup;

class TFmain : public QWidget {
    Q_OBJECT

public:
    // Loads the configuration (FormCreate).
    explicit TFmain(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;           // logo
    QLabel* Image2 = nullptr;           // title picture
    QLabel* Label16 = nullptr;          // "サーバーに接続中" while the server is the choice
    TCuteButton* CuteButton1 = nullptr; // "中間処理"
    TCuteButton* CuteButton4 = nullptr; // "閉じる"
    TCuteButton* CuteButtonConnection = nullptr; // "接続設定": the servers' connections
    TRadioGroup* RGdb = nullptr;        // "MySQL": "Local", "Test", "Server"
    QLabel* Label2 = nullptr;           // version
    QLabel* lUPD = nullptr;             // build date

    // The last database choice, saved with the configuration.
    int DataIndex = 0;
    // Device paths of serial port numbers from the configuration file ([Port] COM<n>).
    QMap<int, QString> PortPaths;

    void FormCreate();
    void FormShow();
    // Saves the configuration; a write error is thrown (and the close abandoned).
    void FormClose();
    // Opens the timing window for the race in work and returns when it has closed.
    void CuteButton1Click();
    void CuteButton4Click();
    // Opens the connection settings of Server and Test.
    void CuteButtonConnectionClick();
    void RGdbClick();
    // (Re)connects the data module to the data source of RGdb's selection.
    void ConnectDatabase();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    // Says so first unless the operator chose Local just now.
    void FallBackToLocal(bool tell);
    // The chosen server does not answer and the operator times offline: the source stays
    // chosen, unconnected, and the timing window opens from its copy of the race.
    void StayOffline();
    void SetCharacterSet();
};
