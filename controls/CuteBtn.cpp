#include "controls/CuteBtn.h"

#include "controls/CuteButtonTimer.h"
#include "controls/FocusReason.h"
#include "controls/FocusRect.h"
#include "controls/SystemColors.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>
#include <utility>

namespace {

template <typename T> bool StoreIfChanged(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The keys the button acts on itself; every other key goes on to the window.
bool IsButtonKey(int key) {
    return key == Qt::Key_Space || IsEnterKey(key);
}

} // namespace

TCuteButton::TCuteButton(QWidget* parent)
    : QWidget(parent), FColor(clBtnFace), FFontColor(clWindowText), FDisabledColor(clGray),
      FBevelHighlightColor(clBtnHighlight), FBevelShadowColor(clBtnShadow) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(75, 25);
}

void TCuteButton::SetCaption(const QString& caption) {
    if (!StoreIfChanged(FCaption, caption))
        return;
    if (FAcceleratorId != 0)
        releaseShortcut(FAcceleratorId);
    // Qt's mnemonic of "&x" is Alt+X; an empty sequence (no "&") grabs nothing and gives 0.
    FAcceleratorId = grabShortcut(QKeySequence::mnemonic(caption));
    update();
}

template <typename T> void TCuteButton::RepaintOnChange(T& field, const T& value) {
    if (StoreIfChanged(field, value))
        update();
}

void TCuteButton::SetAlignment(TAlignment alignment) {
    RepaintOnChange(FAlignment, alignment);
}

void TCuteButton::SetLayout(TTextLayout layout) {
    RepaintOnChange(FLayout, layout);
}

void TCuteButton::SetMarginX(int margin) {
    RepaintOnChange(FMarginX, std::max(margin, -1));
}

void TCuteButton::SetMarginY(int margin) {
    RepaintOnChange(FMarginY, std::max(margin, -1));
}

// The face is the button's brush, and a change of the brush repaints even when equal.
void TCuteButton::SetColor(const QColor& color) {
    FColor = color;
    update();
}

void TCuteButton::SetFontColor(const QColor& color) {
    RepaintOnChange(FFontColor, color);
}

// The disabled face shows only while disabled, so only then does a change need a repaint.
void TCuteButton::SetDisabledColor(const QColor& color) {
    if (StoreIfChanged(FDisabledColor, color) && !isEnabled())
        update();
}

void TCuteButton::SetUseDisabledColor(bool use) {
    if (StoreIfChanged(FUseDisabledColor, use) && !isEnabled())
        update();
}

// A bevel is at least one pixel wide.
void TCuteButton::SetBevelWidth(int width) {
    RepaintOnChange(FBevelWidth, std::max(width, 1));
}

void TCuteButton::SetBevelHighlightColor(const QColor& color) {
    RepaintOnChange(FBevelHighlightColor, color);
}

void TCuteButton::SetBevelShadowColor(const QColor& color) {
    RepaintOnChange(FBevelShadowColor, color);
}

void TCuteButton::SetFlat(bool flat) {
    if (!StoreIfChanged(FFlat, flat))
        return;
    FBevelInner = flat ? TBevelCut::bvNone : TBevelCut::bvRaised;
    update();
}

void TCuteButton::SetShowFocusRect(bool show) {
    RepaintOnChange(FShowFocusRect, show);
}

// Without a tab stop the button still takes the focus when clicked.
void TCuteButton::SetTabStop(bool tabStop) {
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TCuteButton::SetDropDownMenu(QMenu* menu) {
    RepaintOnChange(FDropDownMenu, QPointer(menu));
}

void TCuteButton::SetBevelOuter(TBevelCut cut) {
    FBevelOuter = cut;
    update();
}

void TCuteButton::RestLook() {
    SetBevelOuter(FTabFocusUp ? TBevelCut::bvRaised : TBevelCut::bvNone);
}

bool TCuteButton::IsActiveControl() const {
    return window()->focusWidget() == this;
}

// Runs a step that may reach the program's handlers and tells whether the button outlived it:
// a handler may close the window and destroy the button with it.
bool TCuteButton::Survives(void (TCuteButton::*action)()) {
    const QPointer<TCuteButton> alive(this);
    (this->*action)();
    return !alive.isNull();
}

void TCuteButton::Click() {
    if (FMenuShown) {
        FMenuShown = false;
        return;
    }
    if (!FEgnoreContClick) {
        emit OnClick();
        return;
    }
    // While the handler runs, and for the clicks already queued behind it, OnClick counts as
    // unassigned: those clicks do nothing.
    if (FClickHandlerRunning || !isSignalConnected(QMetaMethod::fromSignal(&TCuteButton::OnClick)))
        return;
    const QPointer<TCuteButton> alive(this);
    FClickHandlerRunning = true;
    emit OnClick();
    QCoreApplication::processEvents();
    if (alive)
        FClickHandlerRunning = false;
}

void TCuteButton::PressFromKeyboard() {
    SetBevelOuter(TBevelCut::bvLowered);
    const bool dropDown = FDropDownMenu && FDropDownDelay == 0;
    if (Survives(dropDown ? &TCuteButton::DropDown : &TCuteButton::Click))
        RestLook();
}

void TCuteButton::StartDropDown() {
    if (FDropDownDelay <= 0) {
        DropDown();
        return;
    }
    // A repeated Space key-down finds the timer already running.
    if (FTimer)
        return;
    FTimer = new TCuteButtonTimer(this, FDropDownDelay);
    connect(FTimer, &QTimer::timeout, FTimer, [timer = FTimer] { DropDownTimer(timer); });
    FTimer->start();
}

void TCuteButton::DropDownTimer(TCuteButtonTimer* timer) {
    const QPointer<TCuteButton> button = timer->CuteButton();
    button->FTimer = nullptr;
    // The timer is still delivering this tick.
    timer->deleteLater();
    if (button->FKeyDropDown) {
        button->DropDown();
    } else if (button->FLeftPressed) {
        button->DropDown();
        if (button)
            button->FLeftPressed = false;
    }
}

void TCuteButton::CancelDropDownTimer() {
    delete std::exchange(FTimer, nullptr);
}

void TCuteButton::DropDown() {
    if (!FDropDownMenu)
        return;
    const QPoint belowLeftCorner = mapToGlobal(QPoint(0, height()));
    const QPointer<TCuteButton> alive(this);
    FMenuShown = true;
    QCoreApplication::processEvents();
    if (alive && FDropDownMenu)
        FDropDownMenu->exec(belowLeftCorner);
    if (!alive)
        return;
    // Restore the look; the click this may cause meets FMenuShown and is swallowed.
    if (FKeyDropDown)
        KeyUp(Qt::Key_Space, Qt::NoModifier);
    else
        MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
    if (alive)
        FMenuShown = false;
}

void TCuteButton::KeyDown(int key, Qt::KeyboardModifiers) {
    if (!isEnabled())
        return;
    if (key == Qt::Key_Space) {
        FSpaceDown = true;
        SetBevelOuter(TBevelCut::bvLowered);
        if (FDropDownMenu) {
            FKeyDropDown = true;
            StartDropDown();
        }
    } else if (IsEnterKey(key)) {
        PressFromKeyboard();
    } else if (FSpaceDown) {
        FSpaceDown = false;
        RestLook();
    }
}

void TCuteButton::KeyUp(int key, Qt::KeyboardModifiers) {
    CancelDropDownTimer();
    if (FSpaceDown && key == Qt::Key_Space) {
        FSpaceDown = false;
        if (Survives(&TCuteButton::Click))
            RestLook();
    }
}

void TCuteButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
    setFocus(Qt::MouseFocusReason);
    if (button != Qt::LeftButton)
        return;
    FLeftPressed = true;
    SetBevelOuter(TBevelCut::bvLowered);
    if (FDropDownMenu) {
        FKeyDropDown = false;
        StartDropDown();
    }
}

void TCuteButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
    if (button == Qt::LeftButton) {
        const bool keepRaised = rect().contains(pos) || (FTabFocusUp && IsActiveControl());
        SetBevelOuter(keepRaised ? TBevelCut::bvRaised : TBevelCut::bvNone);
    }
    // Releasing before the delay has run out cancels the drop-down.
    CancelDropDownTimer();
    FLeftPressed = false;
}

void TCuteButton::DoEnter() {
    if (FTabFocusUp)
        SetBevelOuter(TBevelCut::bvRaised);
}

void TCuteButton::DoExit() {
    SetBevelOuter(TBevelCut::bvNone);
}

// Qt has no dragging of controls, and during drag and drop it sends drag events instead of
// enter events, so the mouse never enters while a control is being dragged.
void TCuteButton::MouseEnter(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, QPoint pos) {
    emit OnMouseEnter(keys, buttons, pos.x(), pos.y());
    SetBevelOuter(buttons.testFlag(Qt::LeftButton) ? TBevelCut::bvLowered : TBevelCut::bvRaised);
}

void TCuteButton::MouseLeave(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, QPoint pos) {
    emit OnMouseLeave(keys, buttons, pos.x(), pos.y());
    if (!(hasFocus() && FTabFocusUp))
        SetBevelOuter(TBevelCut::bvNone);
}

bool TCuteButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == FAcceleratorId) {
        PressFromKeyboard();
        return true;
    }
    // Qt moves the focus on Tab before keyPressEvent; the key still cancels a pending Space.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            KeyDown(key->key(), key->modifiers());
    }
    return QWidget::event(event);
}

void TCuteButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    KeyDown(key, event->modifiers());
    if (!IsButtonKey(key))
        QWidget::keyPressEvent(event);
}

// An auto-repeating key sends release and press pairs on X11; only the real release counts.
void TCuteButton::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!event->isAutoRepeat())
        KeyUp(key, event->modifiers());
    if (!IsButtonKey(key))
        QWidget::keyReleaseEvent(event);
}

void TCuteButton::mousePressEvent(QMouseEvent* event) {
    MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

// A release inside after a press on the button is a click, delivered before MouseUp so that
// OnClick runs while the button still looks pressed.
void TCuteButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && FLeftPressed && rect().contains(pos);
    if (click && !Survives(&TCuteButton::Click))
        return;
    MouseUp(event->button(), event->modifiers(), pos);
}

void TCuteButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (IsControlFocusChange(event->reason()))
        DoEnter();
}

void TCuteButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (IsControlFocusChange(event->reason()))
        DoExit();
}

// Qt sends no enter or leave events while a mouse button is held on the widget, and sends the
// leave after the release instead; the button follows the held mouse itself and reports each
// crossing once.
void TCuteButton::mouseMoveEvent(QMouseEvent* event) {
    if (FLeftPressed)
        TrackMouse(rect().contains(event->position().toPoint()), event->position().toPoint());
}

void TCuteButton::enterEvent(QEnterEvent* event) {
    TrackMouse(true, event->position().toPoint());
}

void TCuteButton::leaveEvent(QEvent*) {
    TrackMouse(false, mapFromGlobal(QCursor::pos()));
}

void TCuteButton::TrackMouse(bool inside, QPoint pos) {
    if (!StoreIfChanged(FMouseInside, inside))
        return;
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    if (inside)
        MouseEnter(keys, buttons, pos);
    else
        MouseLeave(keys, buttons, pos);
}

QRect TCuteButton::CaptionRect() const {
    const int inset = FFlat ? FBevelWidth : 2 * FBevelWidth;
    QRect r = rect().adjusted(inset, inset, -inset, -inset);
    if (FAlignment == TAlignment::taLeftJustify && FMarginX != -1)
        r.setLeft(r.left() + FMarginX);
    if (FAlignment == TAlignment::taRightJustify && FMarginX != -1)
        r.setRight(r.right() - FMarginX);
    if (FLayout == TTextLayout::tlTop && FMarginY != -1)
        r.setTop(r.top() + FMarginY);
    if (FLayout == TTextLayout::tlBottom && FMarginY != -1)
        r.setBottom(r.bottom() - FMarginY);
    if (FBevelOuter == TBevelCut::bvLowered)
        r.setTopLeft(r.topLeft() + QPoint(2, 2));
    return r;
}

int TCuteButton::CaptionFlags() const {
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    static constexpr Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return int(horizontal[int(FAlignment)] | vertical[int(FLayout)]) | Qt::TextSingleLine |
           Qt::TextShowMnemonic;
}

void TCuteButton::PaintCaption(QPainter& painter, const QRect& rect) const {
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(FFontColor);
        painter.drawText(rect, CaptionFlags(), FCaption);
        return;
    }
    // Embossed: a light copy one pixel down and right, the shadow copy on top of it.
    painter.setPen(clBtnHighlight);
    painter.drawText(rect.translated(1, 1), CaptionFlags(), FCaption);
    painter.setPen(clBtnShadow);
    painter.drawText(rect, CaptionFlags(), FCaption);
}

void TCuteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), FUseDisabledColor && !isEnabled() ? FDisabledColor : FColor);
    QRect inside = rect();
    DrawBevel(painter, inside, FBevelOuter, FBevelWidth, FBevelHighlightColor, FBevelShadowColor);
    DrawBevel(painter, inside, FBevelInner, FBevelWidth, FBevelHighlightColor, FBevelShadowColor);
    const QRect caption = CaptionRect();
    PaintCaption(painter, caption);
    if (FShowFocusRect && hasFocus())
        DrawFocusRect(painter, caption.adjusted(2, 2, -2, -2));
}
