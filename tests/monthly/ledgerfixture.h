#pragma once

#include <QString>

// A small fee database for the monthly report: offices 01 (households and
// parking), 02 (parking only), 03 (no ledger rows), 06 (one old waiver), 07
// (0.30 due = 0.10 waived + 0.20 vacant; 2021 collections 0.1 + 0.2 - 0.3), 04 commercial and 05 closed; items 01
// 物业费, 02 车位费 and 03 水费 (ended). Returns an error text, empty on success.
QString createLedgerFixture(const QString& path);

inline QString fixtureConnectionString(const QString& path)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}
