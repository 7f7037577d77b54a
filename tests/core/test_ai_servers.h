#pragma once
// Real HTTP and HTTPS servers on the loopback interface for the AI client
// tests, each running in a thread of the test and stopped by it, plus a
// self-signed certificate made at test time.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace AITest {

struct TRecordedRequest {
    std::string Method;
    std::string Path;
    std::string Body;
    httplib::Headers Headers;

    bool HasHeader(const std::string& key) const { return Headers.find(key) != Headers.end(); }
    std::string Header(const std::string& key) const
    {
        const auto it = Headers.find(key);
        return it == Headers.end() ? std::string() : it->second;
    }
};

// A key and a self-signed certificate for one IP address, as PEM files in
// a temporary folder that lives as long as the object.
class TSelfSignedCertificate {
public:
    explicit TSelfSignedCertificate(const std::string& ipAddress = "127.0.0.1")
    {
        if (!FDir.isValid())
            throw std::runtime_error("no temporary folder");
        CertFile = FDir.filePath(QStringLiteral("cert.pem"));
        KeyFile = FDir.filePath(QStringLiteral("key.pem"));
        EVP_PKEY* key = EVP_EC_gen("P-256");
        X509* cert = X509_new();
        if (!key || !cert)
            throw std::runtime_error("OpenSSL could not make a key");
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(ipAddress.c_str()), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        AddExtension(cert, NID_subject_alt_name, "IP:" + ipAddress);
        AddExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
        X509_sign(cert, key, EVP_sha256());
        WritePem(CertFile, [&](BIO* bio) { return PEM_write_bio_X509(bio, cert); });
        WritePem(KeyFile, [&](BIO* bio) {
            return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
        });
        X509_free(cert);
        EVP_PKEY_free(key);
    }

    QString CertFile;
    QString KeyFile;

private:
    static void AddExtension(X509* cert, int nid, const std::string& value)
    {
        X509V3_CTX ctx;
        X509V3_set_ctx_nodb(&ctx);
        X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
        X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
        if (!ext)
            throw std::runtime_error("OpenSSL could not make an extension");
        X509_add_ext(cert, ext, -1);
        X509_EXTENSION_free(ext);
    }
    static void WritePem(const QString& path, const std::function<int(BIO*)>& write)
    {
        BIO* bio = BIO_new_file(path.toLocal8Bit().constData(), "w");
        if (!bio || !write(bio))
            throw std::runtime_error("cannot write PEM file");
        BIO_free(bio);
    }

    QTemporaryDir FDir;
};

using THandler = std::function<void(const httplib::Request&, httplib::Response&)>;

// Answers every POST through one handler and records what arrived.
// Handlers may call WaitForRelease() to answer later than a client's
// time-out; the destructor releases them before stopping the server.
class TLoopbackServer {
public:
    explicit TLoopbackServer(THandler handler, const std::string& host = "127.0.0.1", int port = 0)
        : FServer(std::make_unique<httplib::Server>()), FHost(host)
    {
        Start(std::move(handler), port);
    }
    TLoopbackServer(THandler handler, const TSelfSignedCertificate& cert, const std::string& host = "127.0.0.1")
        : FServer(std::make_unique<httplib::SSLServer>(cert.CertFile.toLocal8Bit().constData(),
                                                       cert.KeyFile.toLocal8Bit().constData())),
          FHost(host), FTls(true)
    {
        if (!FServer->is_valid())
            throw std::runtime_error("TLS server could not load its certificate");
        Start(std::move(handler), 0);
    }
    ~TLoopbackServer()
    {
        Release();
        FServer->stop();
        if (FThread.joinable())
            FThread.join();
    }

    int Port() const { return FPort; }
    bool IsBound() const { return FPort > 0; }
    QString BaseURL(const QString& path = QString()) const
    {
        return QStringLiteral("%1://%2:%3%4")
            .arg(FTls ? QStringLiteral("https") : QStringLiteral("http"), QString::fromStdString(FHost))
            .arg(FPort)
            .arg(path);
    }

    std::vector<TRecordedRequest> Requests() const
    {
        std::lock_guard<std::mutex> guard(FLock);
        return FRequests;
    }

    void WaitForRelease()
    {
        std::unique_lock<std::mutex> guard(FLock);
        FReleasedSignal.wait(guard, [&] { return FReleased; });
    }
    void Release()
    {
        {
            std::lock_guard<std::mutex> guard(FLock);
            FReleased = true;
        }
        FReleasedSignal.notify_all();
    }

private:
    void Start(THandler handler, int port)
    {
        FServer->Post(".*", [this, handler](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> guard(FLock);
                FRequests.push_back({req.method, req.path, req.body, req.headers});
            }
            handler(req, res);
        });
        if (port == 0) {
            FPort = FServer->bind_to_any_port(FHost);
        } else {
            FPort = FServer->bind_to_port(FHost, port) ? port : -1;
        }
        if (FPort <= 0)
            return;
        FThread = std::thread([this] { FServer->listen_after_bind(); });
        // stop() is ignored until the server runs, so wait for that.
        while (!FServer->is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::unique_ptr<httplib::Server> FServer;
    std::string FHost;
    bool FTls = false;
    int FPort = -1;
    std::thread FThread;
    mutable std::mutex FLock;
    std::condition_variable FReleasedSignal;
    bool FReleased = false;
    std::vector<TRecordedRequest> FRequests;
};

inline THandler Reply(int status, const std::string& body, const std::string& type = "application/json")
{
    return [=](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content(body, type.c_str());
    };
}

// A port on 127.0.0.1 that nothing listens on (bound, then closed again).
inline int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace AITest
