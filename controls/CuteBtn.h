#pragma once

#include "controls/Bevel.h"

#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

class TCuteButtonTimer;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// The push button of every window: a panel that paints its own face, bevels and one-line
// caption. Its outer bevel shows its state: none when idle, raised under the mouse or while
// focused, lowered while pressed. It clicks on mouse release, Space release, Enter and the
// Alt+accelerator of its caption ("&" marks it), raising the signal OnClick(); Click() presses
// it from code. It can drop a menu below itself, at once or after being held DropDownDelay ms.
class TCuteButton : public QWidget {
    Q_OBJECT

public:
    explicit TCuteButton(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout layout);
    int MarginX() const { return FMarginX; }
    void SetMarginX(int margin);
    int MarginY() const { return FMarginY; }
    void SetMarginY(int margin);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& color);
    QColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(const QColor& color);
    bool UseDisabledColor() const { return FUseDisabledColor; }
    void SetUseDisabledColor(bool use);

    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);
    QColor BevelHighlightColor() const { return FBevelHighlightColor; }
    void SetBevelHighlightColor(const QColor& color);
    QColor BevelShadowColor() const { return FBevelShadowColor; }
    void SetBevelShadowColor(const QColor& color);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    TBevelCut BevelInner() const { return FBevelInner; }

    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool show);
    bool TabFocusUp() const { return FTabFocusUp; }
    void SetTabFocusUp(bool up) { FTabFocusUp = up; }
    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void SetTabStop(bool tabStop);
    bool EgnoreContClick() const { return FEgnoreContClick; }
    void SetEgnoreContClick(bool ignore) { FEgnoreContClick = ignore; }

    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* menu);
    int DropDownDelay() const { return FDropDownDelay; }
    void SetDropDownDelay(int delayMs) { FDropDownDelay = delayMs; }

    // Presses the button: raises OnClick, unless a drop-down menu is showing (that click is
    // swallowed) or EgnoreContClick is set and OnClick's handler is still running.
    void Click();
    virtual void StartDropDown();
    virtual void DropDown();

signals:
    void OnClick();
    void OnMouseEnter(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, int x, int y);
    void OnMouseLeave(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, int x, int y);

protected:
    void SetBevelOuter(TBevelCut cut);

    virtual void KeyDown(int key, Qt::KeyboardModifiers shift);
    virtual void KeyUp(int key, Qt::KeyboardModifiers shift);
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void MouseEnter(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, QPoint pos);
    virtual void MouseLeave(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, QPoint pos);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static void DropDownTimer(TCuteButtonTimer* timer);
    bool Survives(void (TCuteButton::*action)());
    void PressFromKeyboard();
    void RestLook();
    void TrackMouse(bool inside, QPoint pos);
    void CancelDropDownTimer();
    bool IsActiveControl() const;
    template <typename T> void RepaintOnChange(T& field, const T& value);
    QRect CaptionRect() const;
    int CaptionFlags() const;
    void PaintCaption(QPainter& painter, const QRect& rect) const;

    QString FCaption;
    int FAcceleratorId = 0;
    TAlignment FAlignment = TAlignment::taCenter;
    TTextLayout FLayout = TTextLayout::tlCenter;
    int FMarginX = -1;
    int FMarginY = -1;
    QColor FColor;
    QColor FFontColor;
    QColor FDisabledColor;
    bool FUseDisabledColor = false;
    int FBevelWidth = 1;
    QColor FBevelHighlightColor;
    QColor FBevelShadowColor;
    TBevelCut FBevelOuter = TBevelCut::bvNone;
    TBevelCut FBevelInner = TBevelCut::bvRaised;
    bool FFlat = false;
    bool FShowFocusRect = false;
    bool FTabFocusUp = true;
    bool FEgnoreContClick = false;
    QPointer<QMenu> FDropDownMenu;
    int FDropDownDelay = 0;

    bool FMenuShown = false;
    bool FSpaceDown = false;
    bool FKeyDropDown = false;
    // A left press on the button whose release has not come yet; stands in for the mouse
    // capture, which Qt keeps implicitly while a button is held.
    bool FLeftPressed = false;
    // Whether the last enter or leave told of the mouse being over the button.
    bool FMouseInside = false;
    bool FClickHandlerRunning = false;
    TCuteButtonTimer* FTimer = nullptr;
};
