#include "DeviceWindowFixture.h"

#include "common/uComm.h"
#include "common/JournalLock.h"
#include "serial/PortNames.h"

#include <QFile>
#include <QLabel>

void DeviceWindowFixture::SetUp() {
    TimingWindowFixture::SetUp();
    // Each stored row names its journal id, unique in the table.
    db.Exec("alter table tdc_mid add column if not exists jid varchar(40) null, "
            "add unique key if not exists tdc_mid_jid (jid)");
    qputenv("TARNIK_HOME", dataHome.filePath("tarnikmid").toUtf8());
    SetPortPathOverride(kPort, pty.SlavePath());
    uComm::DevicePortNo = kPort;
}

void DeviceWindowFixture::TearDown() {
    TimingWindowFixture::TearDown();
    ClearPortPathOverrides();
    uComm::DevicePortNo = 0;
    qunsetenv("TARNIK_HOME");
}

void DeviceWindowFixture::Send(const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        at += pty.SendSome(bytes.mid(at));
        if (at < bytes.size())
            QTest::qWait(1);
    }
}

bool DeviceWindowFixture::WaitForRows(int count, int timeoutMs) {
    return Eventually([&] { return db.Scalar("select count(*) from tdc_mid").toInt() >= count; },
                      timeoutMs);
}

QList<QStringList> DeviceWindowFixture::StoredRows() {
    return db.Rows("select getstr, bib, st, tm, tstat, sumi from tdc_mid order by id");
}

QString DeviceWindowFixture::UnsavedText() const {
    const QLabel* unsaved = Control<QLabel>("Labunsaved");
    return unsaved->isHidden() ? QString() : unsaved->text();
}

QString DeviceWindowFixture::JournalPath() const {
    return dataHome.filePath("tarnikmid/" + JournalBaseName("stamps", dm->DB.SourceName()) + ".journal");
}

QByteArray DeviceWindowFixture::JournalText() const {
    QFile file(JournalPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList NumberedBibs(int first, int last) {
    QStringList bibs;
    for (int bib = first; bib <= last; ++bib)
        bibs << QStringLiteral("%1").arg(bib, 4, 10, QLatin1Char('0'));
    return bibs;
}

QByteArray StampLine(const char* status, int bib, const char* channel, const char* time) {
    return QStringLiteral("%1%2 %3  %4 00\r")
        .arg(QLatin1String(status))
        .arg(bib, 4, 10, QLatin1Char('0'))
        .arg(QLatin1String(channel), QLatin1String(time))
        .toLatin1();
}
