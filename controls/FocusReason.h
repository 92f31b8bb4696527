#pragma once

#include <Qt>

// Switching windows and opening a pop-up menu take the keyboard focus away without the user
// leaving the control; only a move to another control of the same window enters or leaves it.
inline bool IsControlFocusChange(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
