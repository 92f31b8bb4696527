// Hears and checks the reading of a text: prints on its first line the kana handed to the
// speech engine, then speaks the text as the timing window's voice test does (the same voice
// panel handlers, speech control and reading step), or writes it to a WAV file instead.
#include "common/uComm.h"
#include "speech/SmarTalk.h"
#include "speech/SpeechPanelLogic.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace {

struct ReadAloudOptions {
    QString text;
    QString wavPath; // empty: played on the sound device
    int speaker = uComm::Speaker + 1;
    int speed = uComm::Speed;
};

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

int numberOption(const QCommandLineParser& parser, const QString& name, int low, int high) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                             .arg(name)
                             .arg(low)
                             .arg(high)
                             .arg(parser.value(name)));
    return value;
}

ReadAloudOptions parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the kana reading of TEXT as given to the speech engine, then speaks it."));
    parser.addHelpOption();
    parser.addOptions(
        {{QStringLiteral("wav"), QStringLiteral("Write the speech to FILE instead of playing it."),
          QStringLiteral("FILE")},
         {QStringLiteral("speaker"),
          QStringLiteral("Voice 1 to 5 as in the voice panel's list: 1 男性１&女性１, 2 男性１, "
                         "3 女性１, 4 男性２, 5 女性２ (default %1).")
              .arg(uComm::Speaker + 1),
          QStringLiteral("N")},
         {QStringLiteral("speed"),
          QStringLiteral("Reading speed 1 to 10 (default %1).").arg(uComm::Speed),
          QStringLiteral("N")}});
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The text to read."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        throw UsageError(QStringLiteral("give exactly one TEXT (quote it when it has blanks)"));
    ReadAloudOptions options;
    options.text = parser.positionalArguments().constFirst();
    options.wavPath = parser.value(QStringLiteral("wav"));
    if (parser.isSet(QStringLiteral("speaker")))
        options.speaker = numberOption(parser, QStringLiteral("speaker"), 1, 5);
    if (parser.isSet(QStringLiteral("speed")))
        options.speed = numberOption(parser, QStringLiteral("speed"), 1, 10);
    return options;
}

// The control numbers its files in a folder of its own; the one text becomes the file asked for.
void moveWav(const QString& folder, const QString& path) {
    const QString written = QStringLiteral("%1/speech_0001.wav").arg(folder);
    if (QFile::exists(path) && !QFile::remove(path))
        throw std::runtime_error(QStringLiteral("cannot replace %1").arg(path).toStdString());
    if (!QFile::copy(written, path))
        throw std::runtime_error(QStringLiteral("cannot write %1").arg(path).toStdString());
}

int readAloud(const ReadAloudOptions& options) {
    TSmarTalk st1;
    SpeechPanelLogic panel(st1);
    QTemporaryDir wavFolder;
    if (!options.wavPath.isEmpty()) {
        if (!wavFolder.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        st1.SetWavOutputFolder(wavFolder.path());
        st1.SetPlaybackEnabled(false);
    }
    int status = 0;
    QTextStream out(stdout);
    QObject::connect(&st1, &TSmarTalk::KanaReading,
                     [&out](const QString& kana) { out << kana << Qt::endl; });
    QObject::connect(&st1, &TSmarTalk::OnEVERROR, [&status](const QString& message) {
        std::fprintf(stderr, "readaloud: %s\n", qPrintable(message));
        status = 1;
    });
    QObject::connect(&st1, &TSmarTalk::OnEVOUTEND, qApp, &QCoreApplication::quit);
    // As the operator sets the panel: the list, then the speed slider.
    panel.CBspeakerChange(options.speaker - 1);
    panel.TB1Change(options.speed);
    panel.SpeakNow(options.text);
    QCoreApplication::exec();
    if (status == 0 && !options.wavPath.isEmpty())
        moveWav(wavFolder.path(), options.wavPath);
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("readaloud"));
    try {
        return readAloud(parseOptions(app));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "readaloud: %s\nTry readaloud --help.\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "readaloud: %s\n", error.what());
        return 1;
    }
}
