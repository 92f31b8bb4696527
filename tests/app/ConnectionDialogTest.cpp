// "接続設定" on the main window, as the operator uses it: the dialog opens from its button,
// the fields are typed, 接続テスト tells why the server cannot be reached, and a save of
// settings that did not connect asks first and keeps nothing unless told to.
#include "app/Umain.h"
#include "controls/CuteBtn.h"
#include "data/Udm1.h"
#include "support/DataSourceFile.h"
#include "support/ModalAnswerer.h"
#include "support/OperatorHands.h"
#include "support/TestDatabase.h"
#include "support/WindowControls.h"
#include "tests/app/FileFixtures.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

using namespace OperatorHands;

class ConnectionDialogTest : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
        // The settings go to a data-source file of the test's own.
        WriteFileText(ini, FileText(QString::fromLocal8Bit(savedOdbcIni)));
        PointOdbcIniAt(ini.toLocal8Bit(), dir.filePath("scratch.ini"));
        form = std::make_unique<TFmain>();
        dm = std::make_unique<TDm1>(nullptr, db.Name());
        form->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override { PointOdbcIniAt(savedOdbcIni, dir.filePath("scratch.ini")); }

    // Clicks "接続設定" and, once the dialog is up, does what `operate` says in it.
    void InDialog(const std::function<void(QDialog&)>& operate) {
        bool opened = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || opened || dialog->windowTitle() != "接続設定")
                return;
            opened = true;
            dialog->activateWindow();
            operate(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        watcher.start(10);
        Click(form->CuteButtonConnection);
        EXPECT_TRUE(opened);
    }

    TestDatabase db;
    QTemporaryDir dir;
    WorkingDirectory cwd{dir.path()};
    const QByteArray savedOdbcIni = qgetenv("ODBCINI");
    const QString ini = dir.filePath("odbc.ini");
    ModalAnswerer answers;
    std::unique_ptr<TDm1> dm;
    std::unique_ptr<TFmain> form;
};

TEST_F(ConnectionDialogTest, TheTryTellsThatNothingListensAndAnUntriedSaveIsAskedFirst) {
    const QByteArray before = FileText(ini);
    QString told;
    InDialog([&](QDialog& dialog) {
        Click(FindControl<QRadioButton>(dialog, "Test"));
        Click(FindControl<QLineEdit>(dialog, "Host"));
        Type("127.0.0.1");
        Press(Qt::Key_Tab);
        Type("9"); // the discard port: nothing listens there
        Press(Qt::Key_Tab);
        Type("tarnik");
        Press(Qt::Key_Tab);
        Type("station1");
        Press(Qt::Key_Tab);
        Type("secret");
        EXPECT_EQ(FindControl<QLineEdit>(dialog, "Password")->echoMode(), QLineEdit::Password);

        Click(FindControl<QPushButton>(dialog, "Try"));
        told = FindControl<QLabel>(dialog, "Result")->text();

        // Saved anyway only when the operator says so; the question's default is No.
        Click(FindControl<QPushButton>(dialog, "Save"));
        Click(FindControl<QPushButton>(dialog, "Close"));
    });
    EXPECT_EQ(told, "そのホストとポートで待ち受けているサーバーがありません。"
                    "（Can't connect to server on '127.0.0.1' (115)）");
    EXPECT_EQ(answers.Texts(), QStringList{"接続できませんでした。このまま保存しますか？"});
    EXPECT_EQ(FileText(ini), before);

    // Told yes, the settings are kept and the dialog shows them when opened again.
    answers.Answer(QMessageBox::Yes);
    InDialog([&](QDialog& dialog) {
        Click(FindControl<QRadioButton>(dialog, "Test"));
        Click(FindControl<QLineEdit>(dialog, "Host"));
        Type("127.0.0.1");
        Click(FindControl<QLineEdit>(dialog, "Database"));
        Type("tarnik");
        Press(Qt::Key_Tab);
        Type("station1");
        Press(Qt::Key_Tab);
        Type("secret");
        Click(FindControl<QPushButton>(dialog, "Save"));
    });
    EXPECT_TRUE(FileText(ini).startsWith(before));
    InDialog([&](QDialog& dialog) {
        Click(FindControl<QRadioButton>(dialog, "Test"));
        EXPECT_EQ(FindControl<QLineEdit>(dialog, "Account")->text(), "station1");
        EXPECT_EQ(FindControl<QLineEdit>(dialog, "Port")->text(), "3306");
    });
}

} // namespace
