#include "db/resultcursor.h"

#include "db/bufferedsource.h"
#include "db/cancelstate.h"
#include "db/dberror.h"
#include "db/resultregistry.h"
#include "db/resultsource.h"

namespace fee {

namespace {

    constexpr int kErrNoCurrentRow = 3021;
    constexpr qsizetype kStatementShown = 300;

    Failure shortBatch(const QStringList& statements, qsizetype missing)
    {
        QString statement = statements.at(missing).simplified();
        if (statement.size() > kStatementShown)
            statement = statement.left(kStatementShown) + QStringLiteral("...");
        return Failure(kErrShortBatch,
            QStringLiteral("the server ended the batch early: statement %1 of %2 gave no result: %3")
                .arg(missing + 1)
                .arg(statements.size())
                .arg(statement));
    }

} // namespace

ResultCursor::ResultCursor(std::unique_ptr<ResultSource> source, ResultRegistry* registry,
    std::shared_ptr<const CancelState> cancel, QStringList statements)
    : m_source(std::move(source))
    , m_registry(registry)
    , m_cancel(std::move(cancel))
    , m_statements(std::move(statements))
{
    if (m_source)
        m_fields = FieldIndex(m_source->fieldNames());
    if (m_cancel)
        m_generation = m_cancel->generation();
    if (m_registry && m_source)
        m_registry->add(this);
    else
        m_registry = nullptr;
}

ResultCursor::~ResultCursor()
{
    if (m_registry)
        m_registry->remove(this);
}

void ResultCursor::release()
{
    m_source.reset();
    m_onRow = false;
    if (m_registry) {
        m_registry->remove(this);
        m_registry = nullptr;
    }
}

bool ResultCursor::cancelledSinceOpened() const
{
    return m_cancel && (m_cancel->isCancelled() || m_cancel->generation() != m_generation);
}

bool ResultCursor::next()
{
    if (m_failure)
        throw *m_failure;
    if (!m_source)
        return false;
    try {
        // A result that was open when the connection was cancelled stays
        // cancelled: its statement may have been interrupted half-way.
        if (cancelledSinceOpened())
            throw CancelState::cancellation();
        m_onRow = m_source->fetch();
    } catch (const Failure& failure) {
        release();
        m_failure = failure;
        throw;
    }
    // The statement is done: free the line at once, unless the statements
    // sent with it still have their results to come on it.
    if (!m_onRow && !m_source->hasMoreResultSets())
        release();
    return m_onRow;
}

bool ResultCursor::nextResult()
{
    if (m_failure)
        throw *m_failure;
    if (!m_source) {
        if (m_current + 1 < m_statements.size()) {
            m_failure = shortBatch(m_statements, m_current + 1);
            throw *m_failure;
        }
        return false;
    }
    m_onRow = false;
    bool moved = false;
    try {
        if (cancelledSinceOpened())
            throw CancelState::cancellation();
        moved = m_source->nextResultSet();
    } catch (const Failure& failure) {
        release();
        m_failure = failure;
        throw;
    }
    if (!moved) {
        release();
        // Fewer result sets than statements: the driver may report a failure
        // in the batch's last statement as the end of its results.
        if (m_current + 1 < m_statements.size()) {
            m_failure = shortBatch(m_statements, m_current + 1);
            throw *m_failure;
        }
        return false;
    }
    ++m_current;
    m_fields = FieldIndex(m_source->fieldNames());
    return true;
}

const ResultSource& ResultCursor::row() const
{
    if (!m_onRow)
        throw Failure(
            kErrNoCurrentRow, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return *m_source;
}

void ResultCursor::bufferRest()
{
    if (!m_registry)
        return;
    auto buffered = std::make_unique<BufferedSource>(*m_source, m_onRow);
    m_source.reset(); // frees the statement before anything else runs
    m_registry->remove(this);
    m_registry = nullptr;
    m_source = std::move(buffered);
}

void ResultCursor::close(const Failure& why)
{
    release();
    if (!m_failure)
        m_failure = why;
}

} // namespace fee
