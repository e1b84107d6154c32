#include "db/resultregistry.h"

#include "db/resultcursor.h"

#include <algorithm>

namespace fee {

ResultRegistry::~ResultRegistry()
{
    closeAll(Failure(kErrConnection, QStringLiteral("The connection of this result has been closed.")));
}

void ResultRegistry::add(ResultCursor* cursor) { m_cursors.push_back(cursor); }

void ResultRegistry::remove(ResultCursor* cursor)
{
    m_cursors.erase(std::remove(m_cursors.begin(), m_cursors.end(), cursor), m_cursors.end());
}

// Each call below makes the cursor leave the list: work on a copy.

void ResultRegistry::bufferAll()
{
    const std::vector<ResultCursor*> cursors = m_cursors;
    for (ResultCursor* cursor : cursors)
        cursor->bufferRest();
}

void ResultRegistry::closeOlderThan(quint64 generation, const Failure& why)
{
    const std::vector<ResultCursor*> cursors = m_cursors;
    for (ResultCursor* cursor : cursors) {
        if (cursor->generation() != generation)
            cursor->close(why);
    }
}

void ResultRegistry::closeAll(const Failure& why)
{
    const std::vector<ResultCursor*> cursors = m_cursors;
    for (ResultCursor* cursor : cursors)
        cursor->close(why);
}

} // namespace fee
