#pragma once

#include "db/resultsource.h"

#include <QString>
#include <QVector>
#include <memory>
#include <vector>

namespace fee {

class CancelState;

// Statements run on SQL Server through the ODBC interface itself, on the
// connection handle Qt's QODBC opened. QODBC would prepare each statement
// (FreeTDS sends sp_prepexec and later sp_unprepare: two round trips) or, run
// directly, hide the statement handle until the statement is done, so that no
// cancel could reach it. Here the handle is made first, registered in flight,
// and the text sent with SQLExecDirect: one request, which a cancel from
// another thread interrupts.
//
// Several statements go out as one batch (one request) and come back as one
// result set each, read in order (SQLMoreResults); they are statements that
// return rows (a result without columns is passed over). Results are forward only
// and read-only: no server cursor. Values read as QODBC reads them (numbers as
// int, qlonglong or double, dates as QDate/QDateTime, texts as QString).
class OdbcSource : public ResultSource {
public:
    // Sends `statements` on the connection handle; the first statement's
    // result set is current. Throws Failure with the database's number and
    // message (of the first statement that failed), the cancellation failure
    // or the timeout failure. `driverTimeout` (seconds, 0: none) is the
    // driver's own query timeout, for a connection whose link cannot be
    // dropped under it.
    OdbcSource(void* connectionHandle, const QStringList& statements, std::shared_ptr<CancelState> cancel,
        int driverTimeout = 0);
    ~OdbcSource() override;
    OdbcSource(const OdbcSource&) = delete;
    OdbcSource& operator=(const OdbcSource&) = delete;

    QStringList fieldNames() const override;
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;
    bool hasMoreResultSets() const override;
    bool nextResultSet() override;

    // The text the statements travel as.
    static QString batchText(const QStringList& statements);

private:
    struct Column {
        QString name;
        short type = 0;
        bool isUnsigned = false;
    };

    [[noreturn]] void fail() const;
    void describe();
    QVariant read(int field);
    QVariant readText(int field);
    QVariant readBytes(int field);

    // Frees the statement handle; results not read to their end are dropped
    // by the driver then.
    struct HandleFree {
        void operator()(void* handle) const;
    };

    void* m_connection;
    std::unique_ptr<void, HandleFree> m_statement;
    std::shared_ptr<CancelState> m_cancel;
    qsizetype m_statementCount = 0;
    qsizetype m_current = 0; // the statement whose result set is current
    QVector<Column> m_columns;
    QVector<QVariant> m_row;
    std::vector<char16_t> m_buffer; // for texts read in pieces
};

} // namespace fee
