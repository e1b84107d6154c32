#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace fee {

class ResultSource;

// One open database handle of a connection: the embedded file or the
// SQL Server connection. Lives and runs on the connection's thread.
class ConnectionBackend {
public:
    virtual ~ConnectionBackend();
    virtual bool isOpen() const = 0;
    // True once the driver knows the link to the server is gone (the server
    // stopped, the network dropped): nothing more can run on this handle.
    virtual bool isLinkLost() const { return false; }
    // Runs statements, as they reach the database, sent together: one result
    // set each, in order, the first current. Throws Failure when the first
    // fails; a later one's failure comes from the source as it moves on.
    virtual std::unique_ptr<ResultSource> run(const QStringList& statements) = 0;
};

} // namespace fee
