#pragma once

#include "core/failure.h"
#include "db/resultsource.h"

#include <QList>
#include <optional>
#include <vector>

namespace fee {

// Rows read into memory: what a streamed result becomes when its
// connection needs the line for another statement.
class BufferedSource : public ResultSource {
public:
    // Reads the rest of `from`: its current row first when `onRow`, then
    // every row left, then the result sets of the statements after it. A
    // failure while reading is kept and thrown where it was met: by fetch()
    // after the rows read before it, or by nextResultSet() for a statement
    // that failed.
    BufferedSource(ResultSource& from, bool onRow);

    QStringList fieldNames() const override { return set().names; }
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;
    bool hasMoreResultSets() const override { return m_set + 1 < qsizetype(m_sets.size()); }
    bool nextResultSet() override;

private:
    struct ResultSet {
        QStringList names;
        qsizetype width = 0;
        QList<QVariant> cells; // row after row
        qsizetype rows = 0;
        std::optional<Failure> failure; // met after the rows, or (no names) instead of the set
        bool failedToStart = false;
    };
    const ResultSet& set() const { return m_sets.at(size_t(m_set)); }
    static void readRows(ResultSource& from, ResultSet& into);

    std::vector<ResultSet> m_sets;
    qsizetype m_set = 0;
    qsizetype m_row = -1;
};

} // namespace fee
