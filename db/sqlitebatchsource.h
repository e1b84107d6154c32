#pragma once

#include "db/resultsource.h"

#include <memory>

struct sqlite3;

namespace fee {

class CancelState;
class SqliteSource;

// Statements sent together on the embedded database: each is prepared and
// stepped only when its result set becomes current, so the result sets come
// in order, one statement at a time, as from the server. A statement that
// fails does so when its turn comes.
class SqliteBatchSource : public ResultSource {
public:
    // Runs the first statement at once; throws its failure.
    SqliteBatchSource(sqlite3* db, QStringList statements, std::shared_ptr<const CancelState> cancel);
    ~SqliteBatchSource() override;

    QStringList fieldNames() const override;
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;
    QString text(int field) const override;
    bool hasMoreResultSets() const override;
    bool nextResultSet() override;

private:
    sqlite3* m_db;
    QStringList m_statements;
    std::shared_ptr<const CancelState> m_cancel;
    qsizetype m_current = 0;
    std::unique_ptr<SqliteSource> m_source;
};

} // namespace fee
