#pragma once
// A query object: a statement kept as lines of text (sent joined by CR LF), opened to fetch
// rows or executed for its effect, with a current row whose fields are read by name.
// A query that feeds a grid can fetch a window of rows at a time, so a list of a large race
// shows its first screenful without fetching the whole race. Each further window goes on
// after the last row held by the values of the list's order (ListOrder.h), so rows stored
// meanwhile above it never show twice or push a row out of sight.

#include <QObject>
#include <QSqlQuery>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

#include "data/sql/ListOrder.h"
#include "data/sql/RowChange.h"
#include "data/sql/TFieldValue.h"

class LiveRowWriter;
class TDatabase;

// The rows a read fetched, handed from a reader's connection to the query a grid shows.
struct ListSnapshot {
    QStringList fieldNames;
    std::vector<QStringList> rows;
    bool moreRows = false;
};

class TQuery : public QObject {
    Q_OBJECT
public:
    TQuery(TDatabase& database, const QString& name, const QStringList& initialText = {},
           QObject* parent = nullptr);

    QString Name() const { return objectName(); }

    // Statement text.
    const QStringList& SQL() const { return lines_; }
    void Clear();
    void Add(const QString& line);
    // Replaces the text by these lines.
    void SetSQL(const QStringList& lines);
    QString Text() const;
    // The text as the operator reads it: values written in as text (see SqlValue.h).
    QString ShownText() const;

    // Runs the statement and fetches its rows (all of them, or the first window);
    // throws DatabaseError with the server's message. Reopening replaces the rows; a list
    // scrolled past its first window reads again every row down to the last it holds.
    void Open();
    // Opens reading the rows down to the row of these order values (HeldThrough), or the first
    // window when none are given.
    void OpenThrough(const QStringList& last);
    // The order values of the last row held once more than the first window is held; none
    // while the first window is all there is.
    QStringList HeldThrough() const;
    void Close();
    // Runs a statement that returns no rows; the query's rows stay as they were. Gives the
    // number of rows the statement changed.
    int ExecSQL();
    bool Active() const { return active_; }
    // What the last open fetched; and the same taken from a query that read it elsewhere (a
    // reader thread), as if this one had opened its statement. Rows the operator scrolled to
    // while that read was under way stay below the rows it brings.
    ListSnapshot Snapshot() const { return {fieldNames_, rows_, moreRows_}; }
    void Adopt(ListSnapshot snapshot);

    // Fetched rows and the current row.
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool Eof() const { return current_ >= RecordCount(); }
    void First() { SetRecNo(0); }
    void Next();
    int RecNo() const { return current_; }
    void SetRecNo(int row);
    // Moves to the first row whose field equals the text exactly; false (and no move)
    // when there is none.
    bool Locate(const QString& fieldName, const QString& value);
    // The first row whose field equals the text exactly; -1 when there is none.
    int FindRow(const QString& fieldName, const QString& value) const;
    // A row moved to (a click on a grid, a locate) stays the current row over a new read, found
    // by this field, for as long as the read brings it; without one, a read starts at the
    // first row.
    void KeepRowBy(const QString& fieldName) { rowKey_ = fieldName; }
    const QString& RowKey() const { return rowKey_; }
    // The field of the current row; an empty value when there is no current row.
    // An unknown field name throws DatabaseError.
    TFieldValue FieldByName(const QString& fieldName) const;

    // Columns of the last open.
    int FieldCount() const { return static_cast<int>(fieldNames_.size()); }
    QString FieldName(int column) const { return fieldNames_.value(column); }
    // Index of a column by name, found without regard to case; -1 when absent.
    int FieldIndex(const QString& fieldName) const;
    // A NULL field is a null QString.
    QString Value(int row, int column) const;

    // Rows fetched per window for a grid; 0 (the default) fetches every row at once.
    void SetFetchWindow(int rows) { fetchWindow_ = rows; }
    int FetchWindow() const { return fetchWindow_; }
    bool CanFetchMore() const { return active_ && moreRows_; }
    void FetchMore();

    // Editing a live query (a single-table select): a changed field waits in the row until
    // the row is posted, which writes it; if the row cannot be written (another program
    // changed it since it was read, or two rows are alike), the post throws DatabaseError and
    // the change stays until posted or cancelled. Changes that wait outlive a close: opening
    // the same statement again puts them back on their rows; another statement or making the
    // query read-only drops them.
    void SetRequestLive(bool live);
    bool RequestLive() const { return live_; }
    // Rows posted, and cells typed, through `writer` (not owned; none: the plain update of
    // LiveUpdate.h, and cells keep what is typed).
    void SetRowWriter(LiveRowWriter* writer) { writer_ = writer; }
    // Throws DatabaseError with the writer's message when the column takes no such text; the
    // cell then keeps its value.
    void SetFieldText(int row, int column, const QString& value);
    bool RowModified(int row) const { return edits_.count(row) > 0; }
    // Changes waiting on rows or carried while the query is closed.
    bool HoldsChanges() const { return !edits_.empty() || !carried_.empty(); }
    void Post(int row);
    void CancelRow(int row);

signals:
    void Opened();
    void Closed();
    void RowsAboutToBeAppended(int first, int last);
    void RowsAppended();
    void CurrentRowChanged(int row);
    void RowChanged(int row);
    // A changed row was written: its columns, what they held when read and what they hold
    // now, and the rows the writer changed (none from the plain update).
    void RowWritten(const QStringList& columns, const QStringList& readValues,
                    const QStringList& newValues, const std::vector<RowChange>& changes);

private:
    // Executes text on the connection, reconnecting first after a lost connection.
    QSqlQuery Execute(const QString& text);
    QSqlQuery ExecuteOnce(const QString& text);
    // Executes text on the connection; returns the column names and rows of a select.
    void Run(const QString& text, std::vector<QStringList>* rows, QStringList* fieldNames);
    QString FirstWindowText() const;
    // A window fetched by grid, whose order keys are all among the fields.
    const ListOrder& Order() const;
    bool Pageable() const;
    QStringList KeyOf(const QStringList& row, const ListOrder& order) const;
    void KeepRowsFetchedMeanwhile(const std::vector<QStringList>& held, bool heldMore);
    // The rows whose order values are `key`.
    std::vector<QStringList> LevelRows(const std::vector<QStringList>& rows,
                                       const QStringList& key, const ListOrder& order) const;
    // Takes out of `rows` one row alike for each of `left`.
    static void LeaveOut(std::vector<QStringList>& rows, std::vector<QStringList> left);
    // The row the last read's current row is read again as, or the first.
    int KeptRow();

    TDatabase& database_;
    QStringList lines_;
    // The statement's order, read from its text once for each text.
    mutable QStringList orderLines_;
    mutable std::optional<ListOrder> order_;
    QStringList fieldNames_;
    std::vector<QStringList> rows_;
    int current_ = 0;
    bool active_ = false;
    int fetchWindow_ = 0;
    bool moreRows_ = false;
    QString rowKey_;
    // The key of the row moved to, while it is kept; null when the first row is current.
    QString keptKey_;
    // A changed row: the values it is found by when posted, and those Esc gives back (the
    // same, unless the list was read again while the change waited).
    struct RowEdit {
        QStringList readValues;
        QStringList uneditedValues;
    };
    // A change waiting while the query is closed: the row as read and as edited.
    struct CarriedEdit {
        QStringList readValues;
        QStringList editedValues;
    };
    void CarryEdits();
    void PlaceCarriedEdits();
    int RowToCarryTo(const CarriedEdit& edit) const;

    bool live_ = false;
    LiveRowWriter* writer_ = nullptr;
    std::map<int, RowEdit> edits_;
    std::vector<CarriedEdit> carried_;
};
