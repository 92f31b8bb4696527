#include "app/TarnikApplication.h"

#include "support/ShownErrors.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A widget whose handler fails on F1, the way a database error reaches a handler.
class FailingWidget : public QWidget {
public:
    int keysHandled = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1)
            throw std::runtime_error("サーバーに接続できません (2002)");
        ++keysHandled;
    }
};

// The test programs run in a TarnikApplication whose handler records into ShownErrors().
class TarnikApplicationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(app_, nullptr);
        ShownErrors().clear();
    }

    TarnikApplication* app_ = qobject_cast<TarnikApplication*>(QCoreApplication::instance());
};

TEST_F(TarnikApplicationTest, ErrorInAKeyHandlerIsShownAndTheProgramGoesOn) {
    FailingWidget widget;
    widget.show();

    QTest::keyClick(&widget, Qt::Key_F1);
    EXPECT_EQ(ShownErrors(), QStringList{"サーバーに接続できません (2002)"});

    QTest::keyClick(&widget, Qt::Key_A);
    EXPECT_EQ(widget.keysHandled, 1);
    EXPECT_EQ(ShownErrors().size(), 1);
}

TEST_F(TarnikApplicationTest, ErrorInAQueuedCallIsShown) {
    QTimer::singleShot(0, app_, [] { throw std::logic_error("queued"); });
    QTRY_COMPARE_WITH_TIMEOUT(ShownErrors().size(), 1, 2000);
    EXPECT_EQ(ShownErrors().first(), "queued");
}

TEST_F(TarnikApplicationTest, DefaultDialogIsACriticalBoxWithTheMessage) {
    app_->SetErrorDialog(ShowErrorDialog);
    FailingWidget widget;
    widget.show();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    closer.start(20);

    QTest::keyClick(&widget, Qt::Key_F1);
    app_->SetErrorDialog([](const QString& message) { ShownErrors().append(message); });

    EXPECT_EQ(caption, "エラー");
    EXPECT_EQ(text, "サーバーに接続できません (2002)");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

} // namespace
