// The grids draw their cells' text from kept layouts; what shows must be what the style draws.
#include "timing/widgets/CellTextDelegate.h"
#include "timing/widgets/TDBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

// Times, bibs, kana and kanji, a blank, an empty cell, a text too wide for its cell, a line
// break, a state colour, and a selected row.
QImage DrawGrid(QAbstractItemDelegate* delegate) {
    static const QStringList texts = {"0001", "   1:20:01.2", "10:20:01.2000",    "ｱｲｳ漢字", "",
                                      "x",    "  ",           "ビブ 0999 の中間", "a\nb"};
    QStandardItemModel model(7, 3);
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            model.setItem(row, column, new QStandardItem(texts[(row * 3 + column) % texts.size()]));
    model.item(4, 1)->setBackground(QColor(253, 128, 128));
    QTableView view;
    view.setModel(&model);
    if (delegate)
        view.setItemDelegate(delegate);
    view.verticalHeader()->setDefaultSectionSize(20);
    view.verticalHeader()->hide();
    QFont font = view.font();
    font.setPixelSize(13);
    view.setFont(font);
    for (int column = 0; column < 3; ++column)
        view.setColumnWidth(column, 56 + 30 * column);
    view.resize(300, 190);
    view.selectRow(2);
    return view.viewport()->grab().toImage();
}

TEST(CellTextDelegate, DrawsEveryKindOfCellAsTheStyleDoes) {
    const QImage byStyle = DrawGrid(nullptr);
    QTableView owner;
    const QImage byDelegate = DrawGrid(new CellTextDelegate(&owner));
    ASSERT_EQ(byStyle.size(), byDelegate.size());
    EXPECT_TRUE(byStyle == byDelegate);
    // Drawn twice, the kept layouts give the same picture.
    auto* kept = new CellTextDelegate(&owner);
    DrawGrid(kept);
    EXPECT_TRUE(DrawGrid(kept) == byStyle);
    EXPECT_NE(dynamic_cast<CellTextDelegate*>(TDBGrid().itemDelegate()), nullptr);
}

} // namespace
