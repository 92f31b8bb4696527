#pragma once
// Errors found where nothing can throw them on to a handler's caller (a grid fetching rows
// while it paints, a grid posting a row when the cursor moves) are reported here; the
// application shows them the way it shows the errors of its event handlers.

#include <QString>
#include <functional>

using ErrorReporter = std::function<void(const QString& message)>;

void SetErrorReporter(ErrorReporter reporter);
// Puts `reporter` in place of the one set and gives that one back, for a window that shows
// errors its own way while it is open.
ErrorReporter SwapErrorReporter(ErrorReporter reporter);
// Shows the message through the reporter (a warning on the console when none is set).
void ReportError(const QString& message);

// Runs a handler's body; an exception it throws is shown through ReportError and goes no
// further. The toolkit's own libraries carry no clean-up code for exceptions, so one that
// unwound through their frames (from a signal, an event filter, a paint) would leave their
// state half-changed.
void RunGuarded(const std::function<void()>& body);

// A member function as the slot of a connection, run guarded.
template <typename Object, typename... Args>
auto Guarded(Object* object, void (Object::*handler)(Args...)) {
    return [object, handler](Args... args) { RunGuarded([&] { (object->*handler)(args...); }); };
}
