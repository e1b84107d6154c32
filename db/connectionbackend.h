#pragma once

#include <QString>
#include <memory>

namespace fee {

class ResultSource;

// One open database handle of a connection: the embedded file or the
// SQL Server connection. Lives and runs on the connection's thread.
class ConnectionBackend {
public:
    virtual ~ConnectionBackend();
    virtual bool isOpen() const = 0;
    // Runs one statement, as it reaches the database; throws Failure.
    virtual std::unique_ptr<ResultSource> run(const QString& statement) = 0;
};

} // namespace fee
