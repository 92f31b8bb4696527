// The README's first steps as a new volunteer takes them: the sample races loaded, the
// simulator started as the README says and configured as COM200, the first bibs typed.
#include "tests/device/DeviceWindowFixture.h"

#include "serial/PortNames.h"
#include "support/OperatorHands.h"

#include <QDateTime>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <ctime>

namespace {

class FirstSteps : public DeviceWindowFixture {
protected:
    // The volunteer tries the workstation early in the morning, before the hour a race
    // would start: the process, the simulator and the loading connection share a zone whose
    // clock reads 07:xx now.
    void SetUp() override {
        DeviceWindowFixture::SetUp();
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        int offset = 7 * 60 - (utc.time().hour() * 60 + utc.time().minute());
        if (offset >= 12 * 60)
            offset -= 24 * 60;
        if (offset < -12 * 60)
            offset += 24 * 60;
        const QString hours = QStringLiteral("%1:%2")
                                  .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                  .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
        qputenv("TZ", (QString(offset >= 0 ? "TRY-" : "TRY+") + hours).toLatin1());
        tzset();
        db.Exec(QStringLiteral("set time_zone = '%1%2'").arg(offset >= 0 ? '+' : '-').arg(hours));
        db.Exec("delete from execinfo");
        db.ExecFile(TestDatabase::SourcePath("data/sample_race.sql"));
    }
    void TearDown() override {
        if (simulator.state() != QProcess::NotRunning) {
            simulator.kill();
            simulator.waitForFinished(5000);
        }
        DeviceWindowFixture::TearDown();
        qunsetenv("TZ");
        tzset();
    }
    // `devicesim --rate 2 --link /tmp/timing-device`, the link made in a folder of the test's.
    void StartSimulator() {
        const QString link = linkDir.filePath("timing-device");
        simulator.start(DEVICESIM_PATH, {"--rate", "2", "--link", link});
        ASSERT_TRUE(simulator.waitForReadyRead(5000));
        SetPortPathOverride(kPort, link);
    }
    QString Result(const QString& zek, const QString& column) {
        return db.Scalar(QStringLiteral("select %1 from result where tcode = '202612061' and "
                                        "zek = '%2'")
                             .arg(column, zek));
    }
    bool TimeWaiting() {
        return Eventually([&] { return !Control<QLineEdit>("Ed1")->text().isEmpty(); });
    }

    QTemporaryDir linkDir;
    QProcess simulator;
};

TEST_F(FirstSteps, TheSimulatorsTimesAreRecordedOnTheSampleRaceAndAShortOneSaysWhy) {
    StartSimulator();
    OpenWindow();
    ASSERT_TRUE(TimeWaiting());
    TypeBib(Control<QLineEdit>("Edit5"), "1");
    EXPECT_EQ(Told(), QStringList());
    EXPECT_FALSE(Result("0001", "midtime1").trimmed().isEmpty());

    // A minimum longer than the race has run: the refusal says the start, how long since
    // and the minimum.
    SetMinimumMinutes("90");
    ASSERT_TRUE(TimeWaiting());
    OperatorHands::Type("2");
    OperatorHands::Press(Qt::Key_Return);
    ASSERT_EQ(Told().size(), 1);
    static const QRegularExpression refusal(QStringLiteral(
        "^最短計測時間に達していません（スタート (\\d\\d:\\d\\d:\\d\\d\\.\\d)、経過 "
        "0:(\\d\\d):\\d\\d、最短 90 分）$"));
    const auto said = refusal.match(Told()[0]);
    ASSERT_TRUE(said.hasMatch()) << qPrintable(Told()[0]);
    EXPECT_EQ(said.captured(1) + "000", Result("0002", "startedtime"));
    EXPECT_GE(said.captured(2).toInt(), 5);
    EXPECT_TRUE(Result("0002", "midtime1").isEmpty());
}

} // namespace
