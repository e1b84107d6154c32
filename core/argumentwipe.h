#pragma once

#include <QByteArray>
#include <vector>

namespace fee {

// Overwrites an argument of the process in place ("xxxx", same length), so
// that its command line as any local user sees it (ps, /proc/PID/cmdline) no
// longer holds it. Read the argument first: QCoreApplication::arguments()
// reads the same bytes.
void wipeArgument(char* argument);

// The process's arguments, copied into memory of the program's own; the
// originals after the program's name are wiped at once. Made first thing in
// main(), before QApplication (which keeps and reads the array it is given)
// or anything else has seen them: the application is then made over the
// copies, and the command line shows the arguments wiped for the whole run.
class TakenArguments {
public:
    TakenArguments(int argc, char** argv);
    TakenArguments(const TakenArguments&) = delete;
    TakenArguments& operator=(const TakenArguments&) = delete;

    // For QApplication(count(), values()): both stay valid while this lives.
    int& count() { return m_count; }
    char** values() { return m_values.data(); }

private:
    std::vector<QByteArray> m_copies;
    std::vector<char*> m_values; // into m_copies, then a null pointer as argv has
    int m_count = 0;
};

} // namespace fee
