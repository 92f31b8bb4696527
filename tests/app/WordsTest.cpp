// The words on the operator's screens: one word for the bib, full-width kana, today's
// spelling, the window titles and dates as a Japanese volunteer reads them.
#include "app/Ucheck.h"
#include "app/Umain.h"
#include "support/TimingWindowFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// Every text a window shows: labels, buttons, group and tab titles, list headings.
QStringList ShownTexts(const QWidget& window) {
    QStringList texts = {window.windowTitle()};
    for (const QLabel* label : window.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QGroupBox* group : window.findChildren<QGroupBox*>())
        texts << group->title();
    for (const QTabWidget* tabs : window.findChildren<QTabWidget*>())
        for (int k = 0; k < tabs->count(); ++k)
            texts << tabs->tabText(k);
    for (const QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        for (int c = 0; model && c < model->columnCount(); ++c)
            texts << model->headerData(c, Qt::Horizontal).toString();
    }
    return texts;
}

// The words a volunteer should not meet: the bib under other names, half-width kana, the old
// spelling, a programmer's names.
QStringList WrongWords(const QStringList& texts) {
    static const QRegularExpression wrong(QStringLiteral(
        "Bib|BIB|ゼッケン|処理対象データ|Comm|有りません|Fcheck|[\\x{FF61}-\\x{FF9F}]"));
    QStringList found;
    for (const QString& text : texts)
        if (text.contains(wrong))
            found << text;
    return found;
}

class Words : public TimingWindowFixture {};

TEST_F(Words, TheScreensSpeakOneLanguage) {
    OpenWindow();
    EXPECT_EQ(WrongWords(ShownTexts(*window)).join('|'), QString());

    TFmain main;
    EXPECT_EQ(WrongWords(ShownTexts(main)).join('|'), QString());
    EXPECT_TRUE(main.lUPD->text().contains(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d$"))))
        << main.lUPD->text().toStdString();

    TFcheck check;
    EXPECT_EQ(check.windowTitle(), QStringLiteral("チェックリスト"));
    EXPECT_EQ(WrongWords(ShownTexts(check)).join('|'), QString());
}

} // namespace
