#include "app/TRadioGroup.h"

#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(RadioGroupTest, ClicksOnceForEveryItemThatBecomesSelectedByCodeOrByMouse) {
    TRadioGroup group("MySQL", {"Local", "Test", "Server"});
    QList<int> clicks; // the selection each OnClick saw
    QObject::connect(&group, &TRadioGroup::OnClick, [&] { clicks.append(group.ItemIndex()); });
    group.resize(81, 106);
    group.show();
    const auto clickItem = [&group](int index) {
        QRadioButton* item = group.Item(index); // on its circle, where a click always lands
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
    };

    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    group.SetItemIndex(1);
    clickItem(1);
    EXPECT_EQ(clicks, QList<int>{1});

    group.SetItemIndex(5);  // past the last item: the last one
    group.SetItemIndex(-3); // before the first: none, and nothing to click
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_FALSE(group.Item(2)->isChecked());

    clickItem(2); // selectable again after being cleared, and exclusive still
    group.SetItemIndex(0);
    EXPECT_FALSE(group.Item(2)->isChecked());
    EXPECT_EQ(clicks, (QList<int>{1, 2, 2, 0}));
}

} // namespace
