#pragma once
// The data module: the one owner of the database connection and of every query object
// through which the program reads and writes the race database. It lives for the whole
// process; the windows reach its objects through the global instance Dm1.

#include <QObject>

#include "data/sql/TDataSource.h"
#include "data/sql/TDatabase.h"
#include "data/sql/TQuery.h"

class TDm1 : public QObject {
    Q_OBJECT
public:
    // Opens the connection with the parameter list of creation; a failure to connect is
    // thrown out of the construction. defaultDatabase, when given, is the race database
    // used when the parameter list names none.
    // Now: the connection is opened while the module is made, and its error thrown. Later:
    // made unconnected (the program starts while its source does not answer).
    enum class Opening { Now, Later };
    explicit TDm1(QObject* parent = nullptr, const QString& defaultDatabase = {},
                  Opening opening = Opening::Now);
    ~TDm1() override;

    static QStringList CreationParams();
    // Rows a grid's list fetches at a time: a screenful of the timing window's grids (400 px
    // of 20 px rows) and a few more; scrolling fetches the next window.
    static constexpr int GridWindowRows = 24;

    TDatabase DB;

    TQuery Qexecinfo;  // the first row of execinfo: the race in work
    TQuery Query1;     // the character-set statement after each connect
    TQuery Qsttime;    // race lookup in tiki, then all result rows of the race
    TQuery Qmidtime;   // split list, ordered by the current split point's midfin
    TQuery Qmidtime2;  // passing order from midjyun, newest first
    TQuery Qdpmid;     // all device stamps of the race, newest first
    TQuery QTDCFINMem; // pending stamps of the race, oldest first
    TQuery Qmax;       // largest tpno1 of midtp2
    TQuery Qdeltime;   // rows of midtp2 with fl = 'B'
    TQuery qsetfin;    // competitor and class look-ups before an assignment
    TQuery Qtemp;      // stamp-state update of the relay entry
    TQuery Qtemp2;     // reads of the split and relay assignment
    TQuery Qedit;      // writes of results, stamps and passing order
    TQuery Qwork1;     // the device-stamp insert and the change marker
    TQuery QRelay1;    // relay leg list
    TQuery Qcheck;     // check list of all split times

    TDataSource Dsqdpmid;
    TDataSource Dsmidtime;
    TDataSource Dsmidtime2;
    TDataSource DSRelay1;
    TDataSource DScheck;

private:
    void DataModuleCreate() {}
};

// The module of the running program (set while a TDm1 exists).
extern TDm1* Dm1;
