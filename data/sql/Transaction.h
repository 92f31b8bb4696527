#pragma once
// One operator action is one transaction: what it writes commits together or not at all.
// Begun on construction; rolled back when it ends without Commit (a refusal, an error).

class TDatabase;

class Transaction {
public:
    // Throws DatabaseError with the driver's message when the transaction cannot begin.
    explicit Transaction(TDatabase& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws DatabaseError when the server refuses the commit (nothing is then written).
    void Commit();

private:
    TDatabase& database_;
    bool open_ = true;
};
