#pragma once

#include "db/connectionbackend.h"

struct sqlite3;

namespace fee {

class CancelState;

// The embedded database: a SQLite file opened read-only through SQLite's own
// interface, with the server's collation and functions registered.
class SqliteBackend : public ConnectionBackend {
public:
    // Opens `path`; a missing file fails rather than being created. Throws.
    SqliteBackend(const QString& path, std::shared_ptr<CancelState> cancel);
    ~SqliteBackend() override;

    bool isOpen() const override { return m_db != nullptr; }
    std::unique_ptr<ResultSource> run(const QStringList& statements) override;

private:
    std::shared_ptr<CancelState> m_cancel;
    sqlite3* m_db = nullptr;
};

} // namespace fee
