#pragma once

#include "core/failure.h"
#include "db/fieldindex.h"

#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace fee {

class CancelState;
class ResultRegistry;
class ResultSource;

// The position of one result over its source. While the source holds a
// statement on the connection the cursor is listed in the connection's
// registry, which can make it read its rest into memory or close it.
// Belongs to the thread that uses the connection.
class ResultCursor {
public:
    // `registry` and `cancel` may be null (a result outside any connection).
    // `statements`: what was sent (one result set each), to name the one
    // whose result set never came.
    ResultCursor(std::unique_ptr<ResultSource> source, ResultRegistry* registry,
        std::shared_ptr<const CancelState> cancel, QStringList statements = {});
    ~ResultCursor();
    ResultCursor(const ResultCursor&) = delete;
    ResultCursor& operator=(const ResultCursor&) = delete;

    const FieldIndex& fields() const { return m_fields; }
    bool next();
    // The next statement's result set of a batch; false when there is none.
    // A batch whose results end before its last statement's fails here
    // (kErrShortBatch, naming the statement): its figures would otherwise
    // read as empty results.
    bool nextResult();
    // The current row; throws when there is none (before the first row,
    // after the last, after a failure).
    const ResultSource& row() const;

    // For the registry.
    quint64 generation() const { return m_generation; }
    // Reads the rows left into memory and frees the statement. A failure
    // while reading is thrown by next() once the rows read are used up.
    void bufferRest();
    // Frees the statement; next() throws `why` from now on.
    void close(const Failure& why);

private:
    void release(); // drops the source and leaves the registry
    bool cancelledSinceOpened() const;

    FieldIndex m_fields;
    std::unique_ptr<ResultSource> m_source;
    ResultRegistry* m_registry;
    std::shared_ptr<const CancelState> m_cancel;
    quint64 m_generation = 0;
    QStringList m_statements;
    qsizetype m_current = 0; // the statement whose result set is current
    bool m_onRow = false;
    std::optional<Failure> m_failure;
};

} // namespace fee
