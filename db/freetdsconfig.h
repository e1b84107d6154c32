#pragma once

#include <QString>

namespace fee {

struct ConnectionTarget;

// FreeTDS (1.3) checks a server's certificate only against a "ca file" read
// from a section of its configuration file that the connection names
// ("Servername=SECTION"); the ODBC string cannot say it, and a certificate
// file named there is passed over, any certificate then accepted. So every
// connection that checks a certificate gets such a section, in a file of the
// process's own (a folder only its user may enter, the file mode 0600),
// which FREETDSCONF points to. Sections the environment's FREETDSCONF file
// held stay available in it.
//
// Returns the name of the section for the target's server, encryption
// required, its certificate file (else the system's authorities) and, when
// checkHostName, the host name checked. Thread-safe. Throws Failure when
// the file cannot be written.
QString freeTdsSection(const ConnectionTarget& target, bool checkHostName);

} // namespace fee
