#include "db/serverprobe.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QStringList>
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fee {

namespace {

    // The TDS packet of the exchange before the login, and the encryption
    // values both sides put in it.
    constexpr unsigned char kPrelogin = 0x12;
    constexpr unsigned char kEndOfMessage = 0x01;
    constexpr int kHeader = 8;
    constexpr int kPacketSize = 4096;
    constexpr unsigned char kEncryptOn = 1;
    constexpr unsigned char kEncryptNotSupported = 2;
    constexpr unsigned char kEncryptRequired = 3;

    using Outcome = ProbeResult::Outcome;

    class Connection {
    public:
        Connection(int timeoutMs, std::function<bool()> stopped)
            : m_deadline(timeoutMs)
            , m_stopped(std::move(stopped))
        {
        }
        ~Connection()
        {
            if (m_fd >= 0)
                ::close(m_fd);
        }
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;

        bool open(const QString& host, int port)
        {
            addrinfo hints {};
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* found = nullptr;
            if (::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
                return false;
            for (addrinfo* a = found; a && m_fd < 0; a = a->ai_next) {
                const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
                if (fd < 0)
                    continue;
                if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0 || (errno == EINPROGRESS && waitFor(fd, POLLOUT)))
                    m_fd = fd;
                else
                    ::close(fd);
            }
            ::freeaddrinfo(found);
            if (m_fd < 0)
                return false;
            int error = 0;
            socklen_t length = sizeof error;
            return ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }

        // One message of `type`, in packets of the usual size.
        bool send(unsigned char type, const QByteArray& payload)
        {
            qsizetype at = 0;
            unsigned char number = 1;
            do {
                const qsizetype size = std::min<qsizetype>(payload.size() - at, kPacketSize - kHeader);
                const bool last = at + size >= payload.size();
                QByteArray packet;
                packet.append(char(type));
                packet.append(char(last ? kEndOfMessage : 0));
                packet.append(char((size + kHeader) >> 8));
                packet.append(char((size + kHeader) & 0xFF));
                packet.append(2, '\0'); // server process id
                packet.append(char(number++));
                packet.append('\0'); // window
                packet.append(payload.mid(at, size));
                if (!writeAll(packet))
                    return false;
                at += size;
            } while (at < payload.size());
            return true;
        }

        // The payload of the next packet; false when none came in time.
        bool receivePacket(QByteArray& payload, bool& last)
        {
            QByteArray header;
            if (!readExactly(kHeader, header))
                return false;
            const int length = (uchar(header.at(2)) << 8) | uchar(header.at(3));
            if (length < kHeader)
                return false;
            last = (uchar(header.at(1)) & kEndOfMessage) != 0;
            return readExactly(length - kHeader, payload);
        }

        bool receiveMessage(QByteArray& message)
        {
            bool last = false;
            while (!last) {
                QByteArray payload;
                if (!receivePacket(payload, last))
                    return false;
                message += payload;
            }
            return true;
        }

    private:
        // In short slices, so that a cancel is seen while the server is silent.
        bool waitFor(int fd, short events)
        {
            constexpr qint64 kSliceMs = 100;
            for (;;) {
                if (m_stopped && m_stopped())
                    return false;
                const qint64 left = m_deadline.remainingTime();
                if (left == 0)
                    return false;
                pollfd p { fd, events, 0 };
                const int ready = ::poll(&p, 1, int(std::min(left < 0 ? kSliceMs : left, kSliceMs)));
                if (ready == 1)
                    return true;
                if (ready < 0 && errno != EINTR)
                    return false;
            }
        }

        bool writeAll(const QByteArray& bytes)
        {
            qsizetype at = 0;
            while (at < bytes.size()) {
                const ssize_t wrote = ::send(m_fd, bytes.constData() + at, size_t(bytes.size() - at), MSG_NOSIGNAL);
                if (wrote > 0) {
                    at += wrote;
                } else if (wrote < 0 && (errno == EAGAIN || errno == EINTR)) {
                    if (!waitFor(m_fd, POLLOUT))
                        return false;
                } else {
                    return false;
                }
            }
            return true;
        }

        bool readExactly(int count, QByteArray& into)
        {
            into.resize(count);
            int at = 0;
            while (at < count) {
                const ssize_t got = ::recv(m_fd, into.data() + at, size_t(count - at), 0);
                if (got > 0) {
                    at += int(got);
                } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                    if (!waitFor(m_fd, POLLIN))
                        return false;
                } else {
                    return false;
                }
            }
            return true;
        }

        QDeadlineTimer m_deadline;
        std::function<bool()> m_stopped;
        int m_fd = -1;
    };

    QByteArray preloginMessage(unsigned char encryption)
    {
        // VERSION (6 bytes) and ENCRYPTION (1 byte), then the terminator.
        constexpr int kOptions = 2 * 5 + 1;
        QByteArray message;
        auto option = [&message](char token, int offset, int length) {
            message.append(token);
            message.append(char(offset >> 8));
            message.append(char(offset & 0xFF));
            message.append(char(length >> 8));
            message.append(char(length & 0xFF));
        };
        option(0x00, kOptions, 6);
        option(0x01, kOptions + 6, 1);
        message.append(char(0xFF));
        message.append(QByteArray("\x09\x00\x00\x00\x00\x00", 6));
        message.append(char(encryption));
        return message;
    }

    // The ENCRYPTION option of the server's answer; -1 when it has none.
    int encryptionOf(const QByteArray& answer)
    {
        for (qsizetype at = 0; at + 5 <= answer.size() && uchar(answer.at(at)) != 0xFF; at += 5) {
            if (answer.at(at) != 0x01)
                continue;
            const int offset = (uchar(answer.at(at + 1)) << 8) | uchar(answer.at(at + 2));
            const int length = (uchar(answer.at(at + 3)) << 8) | uchar(answer.at(at + 4));
            if (length >= 1 && offset < answer.size())
                return uchar(answer.at(offset));
        }
        return -1;
    }

    QString opensslError()
    {
        const unsigned long code = ERR_get_error();
        char text[256] = {};
        if (code)
            ERR_error_string_n(code, text, sizeof text);
        ERR_clear_error();
        return QString::fromLatin1(text);
    }

    // The DNS names and addresses a certificate is for, else its common name.
    QString namesOf(X509* certificate)
    {
        QStringList names;
        auto* alternatives
            = static_cast<GENERAL_NAMES*>(X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr));
        for (int i = 0; alternatives && i < sk_GENERAL_NAME_num(alternatives); ++i) {
            const GENERAL_NAME* name = sk_GENERAL_NAME_value(alternatives, i);
            if (name->type == GEN_DNS) {
                names << QString::fromLatin1(reinterpret_cast<const char*>(ASN1_STRING_get0_data(name->d.dNSName)),
                    ASN1_STRING_length(name->d.dNSName));
            } else if (name->type == GEN_IPADD) {
                const int length = ASN1_STRING_length(name->d.iPAddress);
                char text[INET6_ADDRSTRLEN] = {};
                if ((length == 4 || length == 16)
                    && ::inet_ntop(length == 4 ? AF_INET : AF_INET6, ASN1_STRING_get0_data(name->d.iPAddress), text,
                        sizeof text))
                    names << QString::fromLatin1(text);
            }
        }
        GENERAL_NAMES_free(alternatives);
        if (names.isEmpty()) {
            char common[256] = {};
            if (X509_NAME_get_text_by_NID(X509_get_subject_name(certificate), NID_commonName, common, sizeof common) > 0)
                names << QString::fromUtf8(common);
        }
        return names.join(QStringLiteral(", "));
    }

    bool isAddress(const QString& host)
    {
        unsigned char address[16];
        const QByteArray text = host.toLatin1();
        return ::inet_pton(AF_INET, text.constData(), address) == 1
            || ::inet_pton(AF_INET6, text.constData(), address) == 1;
    }

    struct TlsSession {
        SSL_CTX* context = nullptr;
        SSL* ssl = nullptr;
        ~TlsSession()
        {
            SSL_free(ssl);
            SSL_CTX_free(context);
        }
    };

    // The TLS handshake inside PRELOGIN packets, as SQL Server does it before
    // TDS 8, and the check of the certificate it brought.
    ProbeResult handshake(Connection& connection, const ProbeRequest& request)
    {
        ProbeResult result;
        TlsSession tls;
        tls.context = SSL_CTX_new(TLS_client_method());
        if (!tls.context)
            return result;
        SSL_CTX_set_max_proto_version(tls.context, TLS1_2_VERSION);
        const bool loaded = request.certificateFile.isEmpty()
            ? SSL_CTX_set_default_verify_paths(tls.context) == 1
            : SSL_CTX_load_verify_locations(
                  tls.context, request.certificateFile.toLocal8Bit().constData(), nullptr)
                == 1;
        if (!loaded) {
            result.outcome = Outcome::Untrusted;
            result.detail = QStringLiteral("the certificate file cannot be read (%1)").arg(opensslError());
            return result;
        }
        // The call goes on whatever the certificate: it is checked afterwards,
        // to say what is wrong with it.
        SSL_CTX_set_verify(tls.context, SSL_VERIFY_NONE, nullptr);
        tls.ssl = SSL_new(tls.context);
        if (!tls.ssl)
            return result;
        X509_VERIFY_PARAM* check = SSL_get0_param(tls.ssl);
        // The server's own certificate may stand in the file instead of its authority.
        X509_VERIFY_PARAM_set_flags(check, X509_V_FLAG_PARTIAL_CHAIN);
        const QByteArray name = request.certificateHost.toUtf8();
        if (isAddress(request.certificateHost)) {
            X509_VERIFY_PARAM_set1_ip_asc(check, name.constData());
        } else {
            X509_VERIFY_PARAM_set1_host(check, name.constData(), size_t(name.size()));
            SSL_set_tlsext_host_name(tls.ssl, name.constData());
        }
        BIO* in = BIO_new(BIO_s_mem());
        BIO* out = BIO_new(BIO_s_mem());
        SSL_set_bio(tls.ssl, in, out);
        SSL_set_connect_state(tls.ssl);

        for (;;) {
            const int done = SSL_do_handshake(tls.ssl);
            QByteArray outgoing;
            char chunk[4096];
            for (int got = 0; (got = BIO_read(out, chunk, sizeof chunk)) > 0;)
                outgoing.append(chunk, got);
            if (!outgoing.isEmpty() && !connection.send(kPrelogin, outgoing))
                return result;
            if (done == 1)
                break;
            if (SSL_get_error(tls.ssl, done) != SSL_ERROR_WANT_READ) {
                result.detail = opensslError();
                return result;
            }
            QByteArray incoming;
            bool last = false;
            if (!connection.receivePacket(incoming, last))
                return result;
            BIO_write(in, incoming.constData(), int(incoming.size()));
        }

        const long verdict = SSL_get_verify_result(tls.ssl);
        if (verdict == X509_V_OK) {
            result.outcome = Outcome::Accepted;
        } else if (verdict == X509_V_ERR_HOSTNAME_MISMATCH || verdict == X509_V_ERR_IP_ADDRESS_MISMATCH) {
            result.outcome = Outcome::NameMismatch;
            if (X509* certificate = SSL_get1_peer_certificate(tls.ssl)) {
                result.detail = namesOf(certificate);
                X509_free(certificate);
            }
        } else {
            result.outcome = Outcome::Untrusted;
            result.detail = QString::fromLatin1(X509_verify_cert_error_string(verdict));
        }
        return result;
    }

} // namespace

ProbeResult probeServer(const ProbeRequest& request)
{
    ProbeResult result;
    Connection connection(request.timeoutMs, request.stopped);
    if (request.port <= 0 || !connection.open(request.host, request.port))
        return result;
    if (!connection.send(kPrelogin, preloginMessage(request.encrypt ? kEncryptOn : kEncryptNotSupported)))
        return result;
    QByteArray answer;
    if (!connection.receiveMessage(answer))
        return result;
    const int server = encryptionOf(answer);
    if (server < 0)
        return result;
    if (!request.encrypt) {
        result.outcome = server == kEncryptRequired ? Outcome::RequiresEncryption : Outcome::Accepted;
        return result;
    }
    if (server == kEncryptNotSupported) {
        result.outcome = Outcome::NoEncryption;
        return result;
    }
    if (!request.verify) {
        result.outcome = Outcome::Accepted;
        return result;
    }
    return handshake(connection, request);
}

} // namespace fee
