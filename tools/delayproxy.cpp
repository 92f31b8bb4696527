// Puts a database server far away for trying the program by hand and for benchmarks: forwards
// 127.0.0.1:PORT to the target with every byte, each way, held for the given delay.

#include "tools/DelayProxy.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <stdexcept>

namespace {
struct ProxyOptions {
    QString host;
    quint16 port = 0;
    int delayMs = 0;
    quint16 listenPort = 0;
};

[[noreturn]] void Refuse(const QString& what) {
    throw std::invalid_argument(what.toLocal8Bit().toStdString());
}

int NumberIn(const QString& text, const QString& what, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        Refuse(QStringLiteral("%1 wants a whole number from %2 to %3, not \"%4\"")
                   .arg(what)
                   .arg(lowest)
                   .arg(highest)
                   .arg(text));
    return value;
}

ProxyOptions ParseProxyOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("TCP proxy on 127.0.0.1 that holds every byte, each way, for a one-way "
                       "delay.\nPrints the port it listens on and runs until interrupted."));
    parser.addHelpOption();
    parser.addOptions({
        {"to", "Where to forward to.", "host:port"},
        {"delay", "One-way delay in milliseconds; a round trip takes twice this.", "ms"},
        {"listen", "Port to listen on (default: a free one).", "port", "0"},
    });
    parser.process(arguments);
    if (!parser.isSet("to") || !parser.isSet("delay"))
        Refuse(QStringLiteral("--to and --delay are required; see --help"));

    const QString to = parser.value("to");
    const qsizetype colon = to.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        Refuse(QStringLiteral("--to wants host:port, not \"%1\"").arg(to));
    ProxyOptions options;
    // An IPv6 address comes in brackets so that its colons are not taken for the port's.
    options.host = to.left(colon).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    options.port =
        quint16(NumberIn(to.mid(colon + 1), QStringLiteral("the port of --to"), 1, 65535));
    options.delayMs = NumberIn(parser.value("delay"), QStringLiteral("--delay"), 0, 600000);
    options.listenPort =
        quint16(NumberIn(parser.value("listen"), QStringLiteral("--listen"), 0, 65535));
    return options;
}

void Run(const ProxyOptions& options) {
    // Blocked before the proxy's thread starts, so that the thread inherits the mask and only
    // the wait below takes the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    DelayProxy proxy(options.host, options.port, options.delayMs);
    const quint16 port = proxy.Start(options.listenPort);
    std::printf("listening on 127.0.0.1:%u\n", unsigned(port));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("delayproxy"));
    try {
        Run(ParseProxyOptions(QCoreApplication::arguments()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "delayproxy: %s\n", e.what());
        return 1;
    }
    return 0;
}
