#pragma once

#include "common/failure.h"
#include "db/resultsource.h"

#include <QList>
#include <optional>

namespace fee {

// Rows read into memory: what a streamed result becomes when its
// connection needs the line for another statement.
class BufferedSource : public ResultSource {
public:
    // Reads the rest of `from`: its current row first when `onRow`, then
    // every row left. A failure while reading is kept and thrown by fetch()
    // after the rows read before it.
    BufferedSource(ResultSource& from, bool onRow);

    QStringList fieldNames() const override { return m_names; }
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;

private:
    QStringList m_names;
    qsizetype m_width = 0;
    QList<QVariant> m_cells; // row after row
    qsizetype m_rows = 0;
    qsizetype m_row = -1;
    std::optional<Failure> m_failure;
};

} // namespace fee
