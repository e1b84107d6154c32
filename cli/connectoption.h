#pragma once

#include <QCommandLineOption>
#include <QString>
#include <optional>

namespace fee::cli {

class CommandParser;

// The connection of a report command, in this order: --connect CONN,
// --connect-file FILE (the string read from a file only its owner may read),
// or the environment variable FEE_CONNECT. The last two keep the password
// out of the process's command line, which every local user can read.
// --timeout SECONDS: how long a request may go unanswered before the run
// ends (over the string's Command Timeout).
class ConnectOption {
public:
    static constexpr const char* kEnvironmentVariable = "FEE_CONNECT";

    ConnectOption();

    // Adds --connect, --connect-file and --timeout to the command's options.
    void addTo(CommandParser& parser) const;

    // Fills connectionString and returns nothing; or prints the usage error
    // and returns its exit code (none given, both options given, the file
    // refused, a timeout that is not a number). The password is masked in
    // every message from now on; the timeout holds for every connection.
    std::optional<int> read(const CommandParser& parser, QString& connectionString) const;

private:
    QCommandLineOption m_connect;
    QCommandLineOption m_connectFile;
    QCommandLineOption m_timeout;
};

// Overwrites the values of --connect in the process's own arguments (ps and
// /proc/PID/cmdline show them to every local user). Call it once the
// arguments have been copied.
void wipeConnectArguments(int argc, char** argv);

} // namespace fee::cli
