#include "app/BuildDate.h"

#include <gtest/gtest.h>

namespace {

TEST(BuildDateTest, CaptionIsYearMonthDay) {
    EXPECT_EQ(BuildDateCaption(QDateTime(QDate(2015, 1, 25), QTime(13, 4, 5))), "2015/01/25");
    EXPECT_EQ(BuildDateCaption(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))), "1999/12/31");
}

} // namespace
