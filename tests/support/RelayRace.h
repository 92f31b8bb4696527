#pragma once
// Relay classes, teams, legs and device times of race R1 in a test's race database, written
// on the test's own connection (another workstation, as the program sees it), and the rows a
// relay entry leaves behind. Class names may hold any character.

#include "data/sql/SqlValue.h"
#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>

class RelayRace {
public:
    explicit RelayRace(const TestDatabase& db) : db_(db) {}

    void AddClass(const QString& cls, int legs) const {
        db_.Exec(QString("insert into env (tcode,class,lapn,RELAYN) values ('R1',%1,0,%2)")
                     .arg(SqlValue(cls))
                     .arg(legs));
    }
    // A team whose first leg started at `start`; its later legs wait.
    void AddTeam(const QString& zek, const QString& cls, const QString& start, int legs = 4) const {
        db_.Exec(QString("insert into result (tcode,zek,bib,class1,status) values "
                         "('R1','%1','%1',%2,'A')")
                     .arg(zek, SqlValue(cls)));
        for (int n = 1; n <= legs; ++n)
            AddLeg(zek, n, cls, n == 1 ? start : "", n == 1 ? "T" : "S");
    }
    void AddLeg(const QString& zek, int n, const QString& cls, const QString& start,
                const QString& status) const {
        db_.Exec(QString("insert into relaymember (tcode,zek,num,class1,startedtime,status) "
                         "values ('R1','%1','%2',%3,'%4','%5')")
                     .arg(zek, QString::number(n), SqlValue(cls), start, status));
    }
    // Legs 1 .. n-1 finished, leg n running since `start`.
    void RunLeg(const QString& zek, int n, const QString& start) const {
        db_.Exec(QString("update relaymember set finishtime = '09:59:59.0000', runtime = '    1.0',"
                         " status = 'G' where zek = '%1' and num + 0 < %2")
                     .arg(zek)
                     .arg(n));
        db_.Exec(QString("update relaymember set startedtime = '%1', status = 'T' where zek = '%2'"
                         " and num = '%3'")
                     .arg(start, zek)
                     .arg(n));
    }
    // A device time on channel C1, arrived `order` seconds after the first (so dt orders).
    void AddStamp(const QString& tm, int order) const {
        db_.Exec(QString("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat) values ('R1',"
                         " timestampadd(second, %1, '2026-12-07 10:00:00'), '', '0000', 'C1',"
                         " '%2', ' ')")
                     .arg(order)
                     .arg(tm));
    }

    // startedtime, finishtime, runtime and status of one leg.
    QStringList Leg(const QString& zek, int n) const {
        return db_
            .Rows(QString("select startedtime,finishtime,runtime,status from relaymember "
                          "where zek = '%1' and num = '%2'")
                      .arg(zek)
                      .arg(n))
            .value(0);
    }
    // runtime and status of the team.
    QStringList Team(const QString& zek) const {
        return db_.Rows(QString("select runtime,status from result where zek = '%1'").arg(zek))
            .value(0);
    }
    QString StampState(const QString& tm) const {
        return db_.Scalar(QString("select sumi from tdc_mid where tm = '%1'").arg(tm));
    }

private:
    const TestDatabase& db_;
};
