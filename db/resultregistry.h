#pragma once

#include "core/failure.h"

#include <QtGlobal>
#include <vector>

namespace fee {

class ResultCursor;

// The results of one connection that still hold a statement on it. Lives
// and is used on the connection's thread.
class ResultRegistry {
public:
    ResultRegistry() = default;
    ~ResultRegistry();
    ResultRegistry(const ResultRegistry&) = delete;
    ResultRegistry& operator=(const ResultRegistry&) = delete;

    void add(ResultCursor* cursor);
    void remove(ResultCursor* cursor);
    bool isEmpty() const { return m_cursors.empty(); }

    // Every result reads its rest into memory (the line is needed for the next statement).
    void bufferAll();
    // Frees the statements of the results opened before the latest cancel.
    void closeOlderThan(quint64 generation, const Failure& why);
    // Frees every statement (the connection closes).
    void closeAll(const Failure& why);

private:
    std::vector<ResultCursor*> m_cursors;
};

} // namespace fee
