#include "SecondWorkstationProcess.h"

#include <QTest>

#include <gtest/gtest.h>

SecondWorkstationProcess::~SecondWorkstationProcess() {
    process_.closeWriteChannel();
    process_.waitForFinished(10000);
}

bool SecondWorkstationProcess::Start(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment) {
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
        while (process_.canReadLine())
            said_ << QString::fromUtf8(process_.readLine()).trimmed();
    });
    process_.start(program, arguments);
    return QTest::qWaitFor([&] { return said_.contains(QStringLiteral("ready")); }, 20000);
}

void SecondWorkstationProcess::Tell(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toUtf8());
}

void SecondWorkstationProcess::WaitForHead(const QString& time) {
    Tell(QStringLiteral("wait ") + time);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !SaidAfter(QStringLiteral("head")).isEmpty(); }, 15000));
    EXPECT_EQ(SaidAfter(QStringLiteral("head")).value(0), time);
    said_.removeIf([](const QString& line) { return line.startsWith(QLatin1String("head")); });
}

void SecondWorkstationProcess::Types(const QString& bib, const QString& time) {
    WaitForHead(time);
    const qsizetype typed = SaidAfter(QStringLiteral("typed")).size();
    Tell(bib);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return SaidAfter(QStringLiteral("typed")).size() > typed; }, 15000));
    ASSERT_TRUE(Reported(30000)) << qPrintable(Said());
}

bool SecondWorkstationProcess::Reported(int timeoutMs) {
    Tell(QStringLiteral("report"));
    const bool ended =
        QTest::qWaitFor([&] { return said_.contains(QStringLiteral("end")); }, timeoutMs);
    said_.removeAll(QStringLiteral("end"));
    return ended;
}

QStringList SecondWorkstationProcess::SaidAfter(const QString& word) const {
    QStringList lines;
    for (const QString& line : said_)
        if (line.startsWith(word + QLatin1Char(' ')))
            lines << line.mid(word.size() + 1);
    return lines;
}
