#include "app/BuildDate.h"

#include <gtest/gtest.h>

namespace {

TEST(BuildDateTest, CaptionIsDayMonthYear) {
    EXPECT_EQ(BuildDateCaption(QDateTime(QDate(2015, 1, 25), QTime(13, 4, 5))), "25/01/2015");
    EXPECT_EQ(BuildDateCaption(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))), "31/12/1999");
}

} // namespace
