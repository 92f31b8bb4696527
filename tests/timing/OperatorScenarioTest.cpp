// The timing window as an operator meets it: every key goes to whatever has the focus,
// every click lands where a widget shows, and a stray Enter or Esc anywhere leaves the race
// as it was.
#include "support/OperatorHands.h"
#include "timing/SplitFixture.h"

#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "timing/widgets/StatusShadingDelegate.h"
#include "timing/widgets/TDBGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace OperatorHands;

namespace {

class OperatorScenario : public SplitFixture {
protected:
    // Everything the window could change in the race.
    QList<QStringList> RaceRows() const {
        QList<QStringList> rows = db.Rows("select * from result order by zek");
        rows += db.Rows("select id, sumi from tdc_mid order by id");
        rows += db.Rows("select * from midjyun order by tod, bib");
        rows += db.Rows("select * from relaymember order by zek, num");
        return rows;
    }

    // Enter and Esc in every shown control of the page on show that does not take Enter
    // itself (the bib boxes do: that is how a bib is entered; a bevelled button clicks on it,
    // as it would under a click). Boxes and grids get the focus by a click, the others as Tab
    // would give it. Nothing may change, the window stays.
    void PressEnterAndEscEverywhere(QLineEdit* bibBox) {
        const QList<QStringList> before = RaceRows();
        const auto* pages = Control<QTabWidget>("PageControl1");
        const QWidget* page = pages->currentWidget();
        QList<QWidget*> stops;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (w->isVisible() &&
                window->rect().contains(w->mapTo(window.get(), w->rect().center())) &&
                w->focusPolicy() != Qt::NoFocus && w != bibBox && !qobject_cast<TCuteButton*>(w) &&
                (page->isAncestorOf(w) || !pages->isAncestorOf(w)))
                stops << w;
        ASSERT_GT(stops.size(), 20);
        for (QWidget* stop : stops) {
            if (!stop->isVisible())
                continue;
            if (qobject_cast<QAbstractButton*>(stop))
                stop->setFocus(Qt::TabFocusReason);
            else if (auto* grid = qobject_cast<TDBGrid*>(stop))
                ClickAt(grid->viewport(), QPoint(10, 10));
            else
                Click(stop);
            // Enter in the device-time grid moves the focus to Edit2: Enter there too.
            for (int press = 0; press < 2 && QApplication::focusWidget() != bibBox; ++press)
                Press(Qt::Key_Return);
            Press(Qt::Key_Escape);
            ASSERT_TRUE(window->isVisible()) << qPrintable(stop->objectName());
            ASSERT_EQ(RaceRows(), before)
                << "Enter changed the race in " << qPrintable(stop->objectName());
        }
    }

    // Share of the row's pixels in the grid painted in `colour`.
    static double ShareOfColour(TDBGrid* grid, int row, const QColor& colour) {
        const QImage image = grid->viewport()->grab().toImage();
        QRect rect = grid->visualRect(grid->model()->index(row, 0));
        rect.setRight(grid->viewport()->width() - 1);
        int matches = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                matches += image.pixel(x, y) == colour.rgb();
        return double(matches) / (rect.width() * rect.height());
    }
};

TEST_F(OperatorScenario, LapPageTakesBibsFromTheFocusAndNoStrayKeyOrClickLosesAnything) {
    AddClassM({"0012", "0013", "0102"});
    for (int k = 0; k < 6; ++k)
        AddStamp(QStringLiteral("10:%1:00.0000").arg(10 + 6 * k), k);
    OpenWindow();

    // The window opens with the focus in the bib box.
    Type("12");
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({"10:10:00.0000"}));

    // A click between the digits selects the whole bib: the next one replaces it.
    QLineEdit* bibBox = Control<QLineEdit>("Edit5");
    ClickAt(bibBox, QPoint(bibBox->width() * 3 / 4, 20));
    Type("102");
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("0102", "midfin1"), QStringList({"10:16:00.0000"}));

    // Enter in the minimum-time box is a line break there, not a number.
    Click(Control<TREdit>("RE1"));
    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    Click(bibBox);
    EXPECT_EQ(Control<TREdit>("RE1")->Text(), "5");
    Type("13");
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:22:00.0000"}));
    EXPECT_TRUE(ShownErrors().isEmpty()) << qPrintable(ShownErrors().join('\n'));

    // After a split button the next bib still goes to the bib box.
    Click(Control<TCuteButton>("CuteButton2"));
    Type("12");
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("0012", "midfin2"), QStringList({"10:28:00.0000"}));

    // A mistyped bib is told as such, and nothing is written.
    Type("999");
    Press(Qt::Key_Return);
    EXPECT_EQ(Told(), QStringList({"ビブNo.0999 は登録されていません。"}));

    PressEnterAndEscEverywhere(bibBox);

    // The current row of the device-time grid shows its own state's colour, a shade darker.
    TDBGrid* grid = Control<TDBGrid>("DBGrid1");
    ASSERT_EQ(grid->currentIndex().row(), 0);
    const QString newest = dm->Qdpmid.Value(0, dm->Qdpmid.FieldIndex("sumi"));
    const QColor current =
        StatusShadingDelegate::ShadeOf(newest).darker(StatusShadingDelegate::CurrentRowDarkening);
    EXPECT_GT(ShareOfColour(grid, 0, current), 0.4);

    EXPECT_EQ(ShareOfColour(grid, 0, grid->palette().color(QPalette::Highlight)), 0.0);

    // A right click picks the row under the pointer and asks for its assignment: the
    // question names that row, and Enter answers it (Yes is the default).
    ClickAt(grid->viewport(), grid->visualRect(grid->model()->index(3, 0)).center());
    const QPoint rowOne = grid->visualRect(grid->model()->index(1, 0)).center();
    ClickAt(grid->viewport(), rowOne, Qt::RightButton); // Edit1's "0": nothing to assign
    EXPECT_EQ(grid->currentIndex().row(), 1) << qPrintable(Control<QLineEdit>("Edit1")->text());
    const QString chosen = dm->Qdpmid.FieldByName("tm").AsString();
    Control<QLineEdit>("Edit1")->setText("13");
    answers.AnswerWithKey(Qt::Key_Return);
    ClickAt(grid->viewport(), rowOne, Qt::RightButton);
    EXPECT_TRUE(answers.LastText().contains(chosen)) << qPrintable(answers.LastText());
    EXPECT_TRUE(answers.ButtonTexts().join(' ').contains("はい"))
        << qPrintable(answers.ButtonTexts().join(' '));
    EXPECT_EQ(Result("0013", "midfin2"), QStringList({chosen}));

    // Widened, the window shows the reset and the check list where the mouse reaches them.
    window->resize(1240, 674);
    QCoreApplication::processEvents();
    for (QWidget* reached : {Control<QWidget>("Edit2"), Control<QWidget>("CuteButton6")})
        WidgetShownAt(reached, reached->rect().center());
    answers.Answer(QMessageBox::Yes);
    Click(Control<QPushButton>("Button2"));
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    EXPECT_EQ(db.Scalar("select count(*) from result where midfin1 <> ''"), "0");
}

TEST_F(OperatorScenario, RelayPageTakesTeamsFromTheFocusAndNoStrayKeyLosesAnything) {
    db.Exec("update tiki set syumoku = '10'");
    AddClass("R", 0, 4);
    for (const QString zek : {"0101", "0102"}) {
        AddCompetitor(zek, "R", "10:00:00.0000");
        for (int n = 1; n <= 4; ++n)
            db.Exec(QString("insert into relaymember (tcode,zek,num,class1,startedtime,status) "
                            "values ('R1','%1','%2','R','%3','%4')")
                        .arg(zek, QString::number(n), n == 1 ? "10:00:00.0000" : "",
                             n == 1 ? "T" : "S"));
    }
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:16:00.0000", 1);
    OpenWindow();
    ASSERT_EQ(PageShown(), "リレー計測");

    Type("101");
    Press(Qt::Key_Return);
    EXPECT_EQ(db.Scalar("select finishtime from relaymember where zek = '0101' and num = '1'"),
              "10:15:30.1234");

    PressEnterAndEscEverywhere(Control<QLineEdit>("Edit3"));

    // After a leg button the next team still goes to the bib box.
    Click(Control<TCuteButton>("CtBR2"));
    Type("102");
    Press(Qt::Key_Return);
    EXPECT_EQ(db.Scalar("select finishtime from relaymember where zek = '0102' and num = '1'"),
              "10:16:00.0000");
}

} // namespace
