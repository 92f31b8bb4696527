#include "controls/CuteBtn.h"
#include "controls/SystemColors.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using enum TBevelCut;

struct LookButton : TCuteButton {
    using TCuteButton::SetBevelOuter;
    using TCuteButton::TCuteButton;
};

// Caption drawn in pure black without antialiasing, so its pixels can be found exactly.
void UseCrispCaption(TCuteButton& button, const QString& caption) {
    QFont font = button.font();
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    button.setFont(font);
    button.SetCaption(caption);
}

QRect CaptionBox(TCuteButton& button, const QColor& color = Qt::black) {
    const QImage image = Grab(button);
    return BoundingBox(image, image.rect(), [&](QColor c) { return c == color; });
}

TEST(CuteButtonPaint, FreshButtonIsIdleWithAOnePixelRaisedInnerBevel) {
    TCuteButton button;
    EXPECT_EQ(button.size(), QSize(75, 25));
    EXPECT_EQ(button.BevelOuter(), bvNone);
    EXPECT_EQ(button.BevelInner(), bvRaised);
    EXPECT_EQ(button.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(button.Layout(), TTextLayout::tlCenter);
    EXPECT_EQ(button.BevelWidth(), 1);
    EXPECT_TRUE(button.TabFocusUp() && button.TabStop());
    EXPECT_EQ(button.DisabledColor(), clGray);
    const QImage image = Grab(button);
    EXPECT_EQ(image.pixelColor(1, 1), clBtnFace);
    EXPECT_EQ(image.pixelColor(0, 0), clBtnHighlight);
    EXPECT_EQ(image.pixelColor(0, 23), clBtnHighlight);
    EXPECT_EQ(image.pixelColor(73, 0), clBtnHighlight);
    EXPECT_EQ(image.pixelColor(74, 0), clBtnShadow);
    EXPECT_EQ(image.pixelColor(0, 24), clBtnShadow);
    EXPECT_EQ(image.pixelColor(74, 24), clBtnShadow);
}

TEST(CuteButtonPaint, BevelsAreFramesFromTheOutsideInWithCornersInTheBottomColour) {
    LookButton button;
    button.SetBevelWidth(2);
    button.SetBevelHighlightColor(Qt::red);
    button.SetBevelShadowColor(Qt::blue);
    for (const auto& [cut, top, bottom] :
         {std::tuple{bvRaised, Qt::red, Qt::blue}, std::tuple{bvLowered, Qt::blue, Qt::red}}) {
        button.SetBevelOuter(cut);
        const QImage image = Grab(button);
        for (int i : {0, 1}) {
            SCOPED_TRACE(i);
            EXPECT_EQ(image.pixelColor(i, i), top);
            EXPECT_EQ(image.pixelColor(i, 23 - i), top);
            EXPECT_EQ(image.pixelColor(73 - i, i), top);
            EXPECT_EQ(image.pixelColor(74 - i, i), bottom);
            EXPECT_EQ(image.pixelColor(i, 24 - i), bottom);
            EXPECT_EQ(image.pixelColor(74 - i, 24 - i), bottom);
        }
        for (int i : {2, 3}) {
            EXPECT_EQ(image.pixelColor(i, i), QColor(Qt::red));
            EXPECT_EQ(image.pixelColor(74 - i, i), QColor(Qt::blue));
        }
        EXPECT_EQ(image.pixelColor(4, 4), clBtnFace);
    }
}

TEST(CuteButtonPaint, CaptionRectangleFollowsFlatMarginsAndPressedOffset) {
    LookButton button;
    UseCrispCaption(button, "H");
    button.SetBevelWidth(3);
    button.SetAlignment(TAlignment::taLeftJustify);
    button.SetLayout(TTextLayout::tlTop);
    const QRect raisedInner = CaptionBox(button);

    button.SetFlat(true);
    EXPECT_EQ(button.BevelInner(), bvNone);
    EXPECT_EQ(Grab(button).pixelColor(0, 0), clBtnFace);
    EXPECT_EQ(CaptionBox(button), raisedInner.translated(-3, -3));

    button.SetMarginX(5);
    button.SetMarginY(4);
    const QRect withMargins = CaptionBox(button);
    EXPECT_EQ(withMargins, raisedInner.translated(2, 1));
    button.SetBevelOuter(bvLowered);
    EXPECT_EQ(CaptionBox(button), withMargins.translated(2, 2));

    button.SetMarginX(-5);
    EXPECT_EQ(button.MarginX(), -1);
    button.SetAlignment(TAlignment::taCenter);
    const QRect centred = CaptionBox(button);
    button.SetMarginX(20);
    EXPECT_EQ(CaptionBox(button), centred);
}

TEST(CuteButtonPaint, DisabledCaptionIsEmbossed) {
    TCuteButton button;
    UseCrispCaption(button, "H");
    const QRect enabled = CaptionBox(button);
    button.setEnabled(false);
    EXPECT_TRUE(CaptionBox(button).isNull());
    const QImage image = Grab(button);
    const QRect insideBevel = image.rect().adjusted(2, 2, -2, -2);
    const auto boxOf = [&](QColor color) {
        return BoundingBox(image, insideBevel, [&](QColor c) { return c == color; });
    };
    EXPECT_EQ(boxOf(clBtnShadow), enabled);
    EXPECT_EQ(boxOf(clBtnHighlight), enabled.translated(1, 1));
}

TEST(CuteButtonPaint, FaceTakesDisabledColourOnlyWhenAskedAndRepaintsOnlyWhileDisabled) {
    ControlWindow<TCuteButton> w;
    TCuteButton& button = w.control;
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    button.installEventFilter(&counter);
    const auto paintsAfter = [&](auto change) {
        QTest::qWait(20);
        paints = 0;
        change();
        QTest::qWait(20);
        return paints;
    };
    EXPECT_EQ(paintsAfter([&] { button.SetUseDisabledColor(true); }), 0);
    EXPECT_EQ(paintsAfter([&] { button.SetDisabledColor(Qt::darkRed); }), 0);
    EXPECT_GT(paintsAfter([&] { button.setEnabled(false); }), 0);
    EXPECT_EQ(Grab(button).pixelColor(10, 10), QColor(Qt::darkRed));
    EXPECT_GT(paintsAfter([&] { button.SetDisabledColor(Qt::darkGreen); }), 0);
    EXPECT_GT(paintsAfter([&] { button.SetUseDisabledColor(false); }), 0);
    EXPECT_EQ(Grab(button).pixelColor(10, 10), clBtnFace);
}

TEST(CuteButtonPaint, FocusRectangleInvertsEveryOtherPixelInsideTheCaptionRectangle) {
    ControlWindow<TCuteButton> w;
    w.control.SetShowFocusRect(true);
    w.control.setFocus();
    ASSERT_TRUE(w.control.hasFocus());
    const QColor inverted(255 - clBtnFace.red(), 255 - clBtnFace.green(), 255 - clBtnFace.blue());
    const QImage image = Grab(w.control);
    EXPECT_EQ(image.pixelColor(4, 4), inverted);
    EXPECT_EQ(image.pixelColor(5, 4), clBtnFace);
    EXPECT_EQ(image.pixelColor(70, 20), inverted);
    EXPECT_EQ(image.pixelColor(3, 3), clBtnFace);
    w.control.SetShowFocusRect(false);
    EXPECT_EQ(Grab(w.control).pixelColor(4, 4), clBtnFace);
}

} // namespace
