#pragma once

#include "db/resultsource.h"

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace fee {

class CancelState;

// A statement stepped on the embedded database through SQLite's own
// interface, one row at a time; texts are read straight from SQLite's
// buffer. The statement is prepared and stepped to its first row when the
// source is made, so a statement SQLite refuses fails there.
class SqliteSource : public ResultSource {
public:
    SqliteSource(sqlite3* db, const QString& statement, std::shared_ptr<const CancelState> cancel);
    ~SqliteSource() override;

    QStringList fieldNames() const override;
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;
    QString text(int field) const override;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    bool handle(int code); // true on a row, false when done; throws otherwise

    // The last text read from a column. A text equal to the one above it
    // (the lines of one invoice, a date, a payee) is handed out again as
    // the same shared string: no new string and no new memory for it in the
    // grid that keeps it.
    struct ColumnMemo {
        QByteArray utf8;
        QString text;
    };

    sqlite3* m_db;
    std::shared_ptr<const CancelState> m_cancel;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
    int m_first = -1; // the first step's code until fetch() hands it out
    mutable std::vector<ColumnMemo> m_memo;
};

} // namespace fee
