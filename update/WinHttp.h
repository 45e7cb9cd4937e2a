// WINHTTP: a small synchronous HTTP/HTTPS client with the interface of the Windows
// WinHTTP wrapper the update check was written against, built on libcurl. One object
// makes one request at a time: GETURL fetches a resource, POSTURL sends form data; both
// return the body, and the raw header block of the final response stays readable. A
// failing step records its WinHTTP call name, the matching WinHTTP error number and the
// error's symbolic name.
//
// Beyond the WinHTTP original: server certificates are checked against the system's
// store plus an optional extra authority file (CAFILE); time-outs apply to every single
// step, never to a whole transfer; redirects are followed but never from HTTPS to HTTP;
// HTTP/1.1 is asked for; a proxy can be named; and a progress callback runs on the
// calling thread at least every 100 ms while a request is under way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace arti {

class WINHTTP {
public:
    WINHTTP();
    ~WINHTTP();
    WINHTTP(const WINHTTP&) = delete;
    WINHTTP& operator=(const WINHTTP&) = delete;

    // Closes what is open and frees the request body.
    void CLEANUP();
    // The body of the answer (empty after a failure before it arrived). Server: host name
    // without scheme, optionally with ":port"; path beginning with "/"; port 0: the
    // scheme's default (443 with USESSL, else 80).
    std::string GETURL(const std::string& server, const std::string& path, std::uint32_t port = 0);
    std::string POSTURL(const std::string& server, const std::string& path, const std::string& formData,
                        std::uint32_t port = 0);

    // Property setters.
    void HEADER(const std::string& lines) { header_ = lines; }
    void IGNORECERT(bool on) { ignoreCert_ = on; }
    void PASSWORD(const std::string& text) { password_ = text; }
    void PORTNUMBER(std::uint32_t port) { portNumber_ = port; }
    // Seconds; stored as milliseconds. 0: the defaults of WinHTTP (60 s to connect, 30 s
    // for each wait for data).
    void TIMEOUT(std::uint32_t seconds) { timeoutMs_ = seconds * 1000; }
    void USERAGENT(const std::string& text) { userAgent_ = text; }
    void USERNAME(const std::string& text) { userName_ = text; }
    void USESSL(bool on) { useSsl_ = on; }
    // A PEM file of further trusted authorities; empty: the system's store alone.
    void CAFILE(const std::string& path) { caFile_ = path; }
    // "host:port" of a proxy with its credentials; empty: the system's proxy configuration.
    void PROXY(const std::string& hostPort, const std::string& user, const std::string& password) {
        proxy_ = hostPort;
        proxyUser_ = user;
        proxyPassword_ = password;
    }
    // Called with the body bytes received so far and the announced total (0: unknown).
    using Progress = std::function<void(std::uint64_t received, std::uint64_t total)>;
    void PROGRESS(Progress callback) { progress_ = std::move(callback); }

    // Called with every piece of a body as it arrives: a download can be written and
    // hashed while it runs. Without `keepBody` the request methods return no body (a
    // large installer is not held in memory as well).
    using BodySink = std::function<void(std::string_view piece)>;
    void BODYSINK(BodySink sink, bool keepBody = true) {
        sink_ = std::move(sink);
        keepBody_ = keepBody || !sink_;
    }

    // Read-only properties.
    // The header block of the final response, status line first, lines joined by CR LF.
    const std::string& RESPONSEHEADER();
    std::uint32_t LENREADRESPONSEHEADER() const { return lenReadResponseHeader_; }
    const std::string& ERRORCALL() const { return errorCall_; }
    std::uint32_t ERRORNUMBER() const { return errorNumber_; }
    const std::string& ERRORMESSAGE() const { return errorMessage_; }
    std::uint32_t PORTNUMBER() const { return portNumber_; }
    bool USESSL() const { return useSsl_; }
    std::uint32_t TIMEOUT() const { return timeoutMs_; }

    // The symbolic name of a WinHTTP or system error number.
    static std::string errorName(std::uint32_t number);

    struct Transfer; // one request under way (WinHttp.cpp)

private:
    std::string request(const std::string& verb, const std::string& server, const std::string& path,
                        const std::string& body, const std::string& headers, std::uint32_t port);
    void SETERROR_(const std::string& call, std::uint32_t number);

    std::string userName_, password_, userAgent_;
    std::uint32_t portNumber_ = 0;
    std::string errorCall_;
    std::uint32_t errorNumber_ = 0;
    std::string errorMessage_;
    std::string requestBody_;
    bool useSsl_ = false;
    bool ignoreCert_ = false;
    std::uint32_t timeoutMs_ = 0;
    std::string header_;
    std::string responseHeader_;
    std::uint32_t lenReadResponseHeader_ = 0;
    std::string caFile_;
    std::string proxy_, proxyUser_, proxyPassword_;
    Progress progress_;
    BodySink sink_;
    bool keepBody_ = true;
};

// Writes one line to the debug channel (standard error, when ARTISCOPE_DEBUG is set).
void debugOutput(const std::string& line);

} // namespace arti
