#pragma once

#include <QString>

// A small embedded fee database for the window tests.
enum class FixtureKind {
    Normal, // two residential offices, one commercial, three fee items, a few ledger rows
    NoOffices, // fee items but no active office
    NoLedger, // offices and fee items, but the ledger table is missing
    NoTables, // an empty database: every list fails to load
};

// Writes the database to path (replacing any file) and returns the
// connection string that opens it.
QString writeMonthlyFixture(const QString& path, FixtureKind kind);
