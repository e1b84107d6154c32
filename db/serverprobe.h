#pragma once

#include <QString>
#include <functional>

namespace fee {

// What a server says about encryption before any login, and its certificate
// checked as the connection would check it. The driver reports a refused
// link only as "connection failed"; this names the cause. It is also the
// check of HostNameInCertificate, a name FreeTDS cannot check by itself.
struct ProbeRequest {
    QString host;
    int port = 0;
    bool encrypt = false; // offer encryption (else say the client cannot encrypt)
    bool verify = false; // with encrypt: do the TLS handshake and check the certificate
    QString certificateFile; // verify: PEM file of trusted certificates; empty: the system's
    QString certificateHost; // verify: the name the certificate must carry
    int timeoutMs = 10000;
    std::function<bool()> stopped; // asked while waiting: true gives up (a cancel)
};

struct ProbeResult {
    enum class Outcome {
        Unknown, // no answer, or not one this probe understands
        Accepted, // the server takes the link as asked (and the certificate checks out)
        RequiresEncryption, // asked without encryption; the server requires it
        NoEncryption, // asked with encryption; the server offers none
        Untrusted, // the certificate does not lead to a trusted authority
        NameMismatch, // trusted, but not for the host name
    };
    Outcome outcome = Outcome::Unknown;
    QString detail; // Untrusted: why; NameMismatch: the names the certificate carries
};

ProbeResult probeServer(const ProbeRequest& request);

} // namespace fee
