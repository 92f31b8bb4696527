#pragma once
// The application object: an exception thrown out of an event handler (a database error
// among them) is shown to the operator in a dialog, the event ends there, and the program
// goes on running.

#include <QApplication>
#include <QString>
#include <QTranslator>
#include <functional>

class TarnikApplication : public QApplication {
    Q_OBJECT

public:
    using ErrorDialog = std::function<void(const QString& message)>;

    TarnikApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // How a caught error is shown; ShowErrorDialog unless replaced.
    void SetErrorDialog(ErrorDialog dialog);

private:
    // The toolkit's own texts (standard buttons はい / いいえ) in Japanese, whatever the
    // desktop's language: the whole program speaks Japanese.
    void LoadToolkitTranslation();

    ErrorDialog errorDialog_;
    QTranslator toolkitTexts_;
};

// A critical message box over the active window, captioned "エラー".
void ShowErrorDialog(const QString& message);
