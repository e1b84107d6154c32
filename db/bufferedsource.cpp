#include "db/bufferedsource.h"

namespace fee {

namespace {

    void take(ResultSource& from, qsizetype width, QList<QVariant>& cells)
    {
        for (int i = 0; i < width; ++i)
            cells.append(from.isNull(i) ? QVariant() : from.value(i));
    }

} // namespace

void BufferedSource::readRows(ResultSource& from, ResultSet& into)
{
    try {
        while (from.fetch()) {
            take(from, into.width, into.cells);
            ++into.rows;
        }
    } catch (const Failure& failure) {
        into.failure = failure;
    }
}

BufferedSource::BufferedSource(ResultSource& from, bool onRow)
{
    ResultSet first;
    first.names = from.fieldNames();
    first.width = first.names.size();
    if (onRow) {
        take(from, first.width, first.cells);
        first.rows = 1;
        m_row = 0;
    }
    readRows(from, first);
    const bool failed = first.failure.has_value();
    m_sets.push_back(std::move(first));
    if (failed)
        return;
    while (from.hasMoreResultSets()) {
        ResultSet next;
        try {
            if (!from.nextResultSet())
                break;
        } catch (const Failure& failure) {
            next.failure = failure;
            next.failedToStart = true;
            m_sets.push_back(std::move(next));
            break;
        }
        next.names = from.fieldNames();
        next.width = next.names.size();
        readRows(from, next);
        const bool stop = next.failure.has_value();
        m_sets.push_back(std::move(next));
        if (stop)
            break;
    }
}

bool BufferedSource::fetch()
{
    const ResultSet& current = set();
    if (m_row < current.rows)
        ++m_row;
    if (m_row < current.rows)
        return true;
    if (current.failure)
        throw *current.failure;
    return false;
}

bool BufferedSource::nextResultSet()
{
    if (!hasMoreResultSets())
        return false;
    ++m_set;
    m_row = -1;
    if (set().failedToStart)
        throw *set().failure;
    return true;
}

bool BufferedSource::isNull(int field) const { return !set().cells.at(m_row * set().width + field).isValid(); }

QVariant BufferedSource::value(int field) const { return set().cells.at(m_row * set().width + field); }

} // namespace fee
