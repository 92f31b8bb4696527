#include "data/Udm1.h"

TDm1* Dm1 = nullptr;

QStringList TDm1::CreationParams() {
    return {
        QStringLiteral("DATABASE NAME="),
        QStringLiteral("USER NAME="),
        QStringLiteral("ODBC DSN=TarnikLocal"),
        QStringLiteral("OPEN MODE=READ/WRITE"),
        QStringLiteral("SCHEMA CACHE SIZE=8"),
        QStringLiteral("SQLQRYMODE="),
        QStringLiteral("LANGDRIVER="),
        QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"),
        QStringLiteral("SCHEMA CACHE TIME=-1"),
        QStringLiteral("MAX ROWS=-1"),
        QStringLiteral("BATCH COUNT=200"),
        QStringLiteral("ENABLE SCHEMA CACHE=FALSE"),
        QStringLiteral("SCHEMA CACHE DIR="),
        QStringLiteral("ENABLE BCD=FALSE"),
        QStringLiteral("ROWSET SIZE=20"),
        QStringLiteral("BLOBS TO CACHE=64"),
        QStringLiteral("PASSWORD="),
    };
}

TDm1::TDm1(QObject* parent, const QString& defaultDatabase, Opening opening)
    : QObject(parent),
      Qexecinfo(DB, QStringLiteral("Qexecinfo"), {QStringLiteral("select * from execinfo ")}),
      Query1(DB, QStringLiteral("Query1"), {QStringLiteral("select * from execinfo")}),
      Qsttime(DB, QStringLiteral("Qsttime"), {QStringLiteral("select * from result")}),
      Qmidtime(DB, QStringLiteral("Qmidtime"), {QStringLiteral("select * from result")}),
      Qmidtime2(DB, QStringLiteral("Qmidtime2"), {QStringLiteral("select * from result")}),
      Qdpmid(DB, QStringLiteral("Qdpmid")), QTDCFINMem(DB, QStringLiteral("QTDCFINMem")),
      Qmax(DB, QStringLiteral("Qmax")),
      Qdeltime(DB, QStringLiteral("Qdeltime"),
               {QStringLiteral("select * from midtp2"), QStringLiteral("where fl='B'")}),
      qsetfin(DB, QStringLiteral("qsetfin")), Qtemp(DB, QStringLiteral("Qtemp")),
      Qtemp2(DB, QStringLiteral("Qtemp2")), Qedit(DB, QStringLiteral("Qedit")),
      Qwork1(DB, QStringLiteral("Qwork1")),
      QRelay1(DB, QStringLiteral("QRelay1"),
              {QStringLiteral("select a.zek,a.num,a.finishtime,b.runtime"),
               QStringLiteral("from relaymember a,result b"),
               QStringLiteral("where a.tcode = '202103111' and a.tcode = b.tcode")}),
      Qcheck(DB, QStringLiteral("Qcheck"),
             {QStringLiteral("SELECT zek,midtime1,midtime2,midtime3,midtime4,midtime5,finishtime"),
              QStringLiteral("from result")}),
      Dsqdpmid(Qdpmid), Dsmidtime(Qmidtime), Dsmidtime2(Qmidtime2), DSRelay1(QRelay1),
      DScheck(Qcheck) {
    Dm1 = this;
    // Lists that feed grids, or nothing at all, fetch a window of rows at a time: a race of
    // tens of thousands must not be fetched whole on every refresh.
    for (TQuery* list : {&Qsttime, &Qmidtime, &Qmidtime2, &Qdpmid, &QRelay1})
        list->SetFetchWindow(GridWindowRows);
    DB.Params = CreationParams();
    DB.SetDefaultDatabase(defaultDatabase);
    DataModuleCreate();
    if (opening == Opening::Later)
        return;
    try {
        DB.Open();
    } catch (...) {
        Dm1 = nullptr;
        throw;
    }
}

TDm1::~TDm1() {
    if (Dm1 == this)
        Dm1 = nullptr;
}
