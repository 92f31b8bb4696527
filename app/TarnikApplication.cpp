#include "app/TarnikApplication.h"

#include "common/ErrorReport.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <exception>

TarnikApplication::TarnikApplication(int& argc, char** argv)
    : QApplication(argc, argv), errorDialog_(ShowErrorDialog) {
    // Message boxes take it as their title; the window manager adds it to other titles.
    setApplicationDisplayName(QStringLiteral("中間計時"));
    // Errors that code outside an event handler finds are shown the same way.
    SetErrorReporter([this](const QString& message) { errorDialog_(message); });
    LoadToolkitTranslation();
}

void TarnikApplication::LoadToolkitTranslation() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (toolkitTexts_.load(QStringLiteral("qtbase_ja"), folder))
        installTranslator(&toolkitTexts_);
    else // the buttons still work, in English
        qWarning("qtbase_ja not found in %s", qPrintable(folder));
}

bool TarnikApplication::notify(QObject* receiver, QEvent* event) {
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        // Errors carry their text in UTF-8, the database's with the server's own words.
        message = QString::fromUtf8(e.what());
    }
    // Shown outside the handler: the dialog runs an event loop of its own. A window that
    // shows errors its own way while it is open has put its reporter in place.
    ReportError(message);
    return false;
}

void TarnikApplication::SetErrorDialog(ErrorDialog dialog) {
    errorDialog_ = std::move(dialog);
}

void ShowErrorDialog(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("エラー"), message);
}
