#include "db/bufferedsource.h"

namespace fee {

BufferedSource::BufferedSource(ResultSource& from, bool onRow)
    : m_names(from.fieldNames())
    , m_width(m_names.size())
{
    auto take = [&] {
        for (int i = 0; i < m_width; ++i)
            m_cells.append(from.isNull(i) ? QVariant() : from.value(i));
        ++m_rows;
    };
    if (onRow) {
        take();
        m_row = 0;
    }
    try {
        while (from.fetch())
            take();
    } catch (const Failure& failure) {
        m_failure = failure;
    }
}

bool BufferedSource::fetch()
{
    if (m_row < m_rows)
        ++m_row;
    if (m_row < m_rows)
        return true;
    if (m_failure)
        throw *m_failure;
    return false;
}

bool BufferedSource::isNull(int field) const { return !m_cells.at(m_row * m_width + field).isValid(); }

QVariant BufferedSource::value(int field) const { return m_cells.at(m_row * m_width + field); }

} // namespace fee
