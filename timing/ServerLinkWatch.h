#pragma once
// Whether the server answers, as the links to it say: the list reader and the writers. An
// outage is one change when a link has failed for a while and one when every link works
// again, however often each tries meanwhile. A link that fails once and works on its next
// try (its connection dropped by a server that restarted) is no outage.

#include <QElapsedTimer>
#include <QMap>
#include <QString>

class ServerLinkWatch {
public:
    enum class Change { None, Lost, Back };
    // Longer than a writer's retry: its first failure after a restart is mended by then.
    static constexpr qint64 GraceMs = 2500;

    // How one link fared on its last try: its trouble, empty when it worked.
    Change Report(const QString& link, const QString& trouble);
    // The latest trouble of a failing link, empty while all work.
    QString Trouble() const;

private:
    struct Failing {
        QElapsedTimer since;
        QString trouble;
    };
    bool AnyFailingLong() const;

    QMap<QString, Failing> failing_;
    bool lost_ = false;
};
