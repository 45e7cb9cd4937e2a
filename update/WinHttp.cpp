#include "update/WinHttp.h"

#include "platform/Paths.h"

#include <curl/curl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <utility>

namespace arti {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The error names of WinHTTP and the two system errors the wrapper knows, tested in this
// order: the first match wins (the second row of 12186 is never reached).
struct ErrorName {
    std::uint32_t number;
    const char* name;
};
constexpr ErrorName kErrorNames[] = {
    {87, "ERROR_INVALID_PARAMETER"},
    {8, "ERROR_NOT_ENOUGH_MEMORY"},
    {12000, "WINHTTP_ERROR_BASE"},
    {12001, "ERROR_WINHTTP_OUT_OF_HANDLES"},
    {12002, "ERROR_WINHTTP_TIMEOUT"},
    {12004, "ERROR_WINHTTP_INTERNAL_ERROR"},
    {12005, "WINHTTP_INVALID_URL"},
    {12006, "ERROR_WINHTTP_UNRECOGNIZED_SCHEME"},
    {12007, "ERROR_WINHTTP_NAME_NOT_RESOLVED"},
    {12009, "ERROR_WINHTTP_INVALID_OPTION"},
    {12011, "ERROR_WINHTTP_OPTION_NOT_SETTABLE"},
    {12012, "ERROR_WINHTTP_SHUTDOWN"},
    {12015, "ERROR_WINHTTP_LOGIN_FAILURE"},
    {12017, "ERROR_WINHTTP_OPERATION_CANCELLED"},
    {12018, "ERROR_WINHTTP_INCORRECT_HANDLE_TYPE"},
    {12019, "ERROR_WINHTTP_INCORRECT_HANDLE_STATE"},
    {12029, "ERROR_WINHTTP_CANNOT_CONNECT"},
    {12030, "ERROR_WINHTTP_CONNECTION_ERROR"},
    {12032, "ERROR_WINHTTP_RESEND_REQUEST"},
    {12044, "ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED"},
    {12100, "ERROR_WINHTTP_CANNOT_CALL_BEFORE_OPEN"},
    {12101, "ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND"},
    {12102, "ERROR_WINHTTP_CANNOT_CALL_AFTER_SEND"},
    {12103, "ERROR_WINHTTP_CANNOT_CALL_AFTER_OPEN"},
    {12150, "ERROR_WINHTTP_HEADER_NOT_FOUND"},
    {12152, "ERROR_WINHTTP_INVALID_SERVER_RESPONSE"},
    {12153, "ERROR_WINHTTP_INVALID_HEADER"},
    {12154, "ERROR_WINHTTP_INVALID_QUERY_REQUEST"},
    {12155, "ERROR_WINHTTP_HEADER_ALREADY_EXISTS"},
    {12156, "ERROR_WINHTTP_REDIRECT_FAILED"},
    {12178, "ERROR_WINHTTP_AUTO_PROXY_SERVICE_ERROR"},
    {12166, "ERROR_WINHTTP_BAD_AUTO_PROXY_SCRIPT"},
    {12167, "ERROR_WINHTTP_UNABLE_TO_DOWNLOAD_SCRIPT"},
    {12176, "ERROR_WINHTTP_UNHANDLED_SCRIPT_TYPE"},
    {12177, "ERROR_WINHTTP_SCRIPT_EXECUTION_ERROR"},
    {12172, "ERROR_WINHTTP_NOT_INITIALIZED"},
    {12175, "ERROR_WINHTTP_SECURE_FAILURE"},
    {12037, "ERROR_WINHTTP_SECURE_CERT_DATE_INVALID"},
    {12038, "ERROR_WINHTTP_SECURE_CERT_CN_INVALID"},
    {12045, "ERROR_WINHTTP_SECURE_INVALID_CA"},
    {12057, "ERROR_WINHTTP_SECURE_CERT_REV_FAILED"},
    {12157, "ERROR_WINHTTP_SECURE_CHANNEL_ERROR"},
    {12169, "ERROR_WINHTTP_SECURE_INVALID_CERT"},
    {12170, "ERROR_WINHTTP_SECURE_CERT_REVOKED"},
    {12179, "ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE"},
    {12180, "ERROR_WINHTTP_AUTODETECTION_FAILED"},
    {12181, "ERROR_WINHTTP_HEADER_COUNT_EXCEEDED"},
    {12182, "ERROR_WINHTTP_HEADER_SIZE_OVERFLOW"},
    {12183, "ERROR_WINHTTP_CHUNKED_ENCODING_HEADER_SIZE_OVERFLOW"},
    {12184, "ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW"},
    {12185, "ERROR_WINHTTP_CLIENT_CERT_NO_PRIVATE_KEY"},
    {12186, "ERROR_WINHTTP_CLIENT_CERT_NO_ACCESS_PRIVATE_KEY"},
    {12186, "WINHTTP_ERROR_LAST"},
};
static_assert(std::size(kErrorNames) == 53);

// Where a request stands: it decides which WinHTTP call a failure belongs to.
enum class Phase {
    Sending, // resolving, connecting, the secure handshake, sending (WinHttpSendRequest)
    Waiting, // request sent, no final answer yet (WinHttpReceiveResponse)
    Body,    // the final answer's headers are in: the read loop
};

// The WinHTTP number of a certificate the verification refused, from OpenSSL's
// verification result (the X509_V_ERR_* numbers).
std::uint32_t certificateError(long verifyResult) {
    switch (verifyResult) {
    // The chain was fine and the name did not match: libcurl checks the name after the
    // chain and leaves no verification error (0) or an unspecified one (1).
    case 0:
    case 1:
    case 62: // X509_V_ERR_HOSTNAME_MISMATCH
        return 12038;
    case 9:  // X509_V_ERR_CERT_NOT_YET_VALID
    case 10: // X509_V_ERR_CERT_HAS_EXPIRED
        return 12037;
    case 2:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT
    case 18: // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
    case 19: // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
    case 20: // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
    case 21: // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
    case 24: // X509_V_ERR_INVALID_CA
    case 27: // X509_V_ERR_CERT_UNTRUSTED
        return 12045;
    case 23: // X509_V_ERR_CERT_REVOKED
        return 12170;
    case 26: // X509_V_ERR_INVALID_PURPOSE
        return 12179;
    default:
        return 12175;
    }
}

std::uint32_t winHttpNumber(CURLcode code, long verifyResult, bool redirected) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return 12007;
    case CURLE_COULDNT_CONNECT:
        return 12029;
    case CURLE_OPERATION_TIMEDOUT:
        return 12002;
    case CURLE_PEER_FAILED_VERIFICATION:
        return certificateError(verifyResult);
    case CURLE_SSL_ISSUER_ERROR:
        return 12045;
    case CURLE_SSL_CONNECT_ERROR:
        return 12157;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return 12175;
    case CURLE_TOO_MANY_REDIRECTS:
        return 12156;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return redirected ? 12156 : 12006;
    case CURLE_URL_MALFORMAT:
        return 12005;
    case CURLE_OUT_OF_MEMORY:
        return 8;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return 12030;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_BAD_CONTENT_ENCODING:
        return 12152;
    case CURLE_ABORTED_BY_CALLBACK:
        return 12017;
    case CURLE_LOGIN_DENIED:
        return 12015;
    default:
        return 12004;
    }
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Room for the whole body, its pages mapped in one call: touching a large fresh buffer
// page by page costs more than the transfer itself on some systems.
void reserveWhole(std::string& body, std::size_t size) {
    body.reserve(size);
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(body.data()) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(body.data()) + body.capacity()) / page * page;
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

// What all requests of the process share: one multi handle, which keeps the connections
// (the signature fetched after an installer goes over the installer's connection) and
// the loaded certificate store; and per extra authority file the bundle of the system's
// store joined with it, as a file of the user's that lives as long as the process.
struct CurlShared {
    CURLM* multi = nullptr;
    std::map<std::string, std::string> bundles; // authority file -> joined bundle file

    CurlShared() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        multi = curl_multi_init();
    }
    ~CurlShared() {
        curl_multi_cleanup(multi);
        curl_global_cleanup();
        for (const auto& [from, bundle] : bundles)
            std::remove(bundle.c_str());
    }

    // The bundle file for `caFile`, made at its first use; empty when it cannot be read.
    const std::string& bundleFor(CURL* handle, const std::string& caFile) {
        std::string& bundle = bundles[caFile];
        if (!bundle.empty()) return bundle;
        std::string extra, system;
        char* systemPath = nullptr;
        curl_easy_getinfo(handle, CURLINFO_CAINFO, &systemPath);
        if (!readFile(caFile, extra)) return bundle;
        if (systemPath) readFile(systemPath, system);
        std::string name = platform::userTempFolder() + "/artiscope-ca-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) return bundle;
        const std::string text = system + "\n" + extra;
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        if (written)
            bundle = name;
        else
            std::remove(name.c_str());
        return bundle;
    }
};

CurlShared& shared() {
    static CurlShared s;
    return s;
}

} // namespace

// One request under way: the handles, what has arrived and where the request stands.
struct WINHTTP::Transfer {
    CURL* easy = nullptr;
    CURLM* multi = nullptr; // shared, not owned
    curl_slist* headers = nullptr;
    std::string body;
    std::uint64_t received = 0; // body bytes, also those handed to the sink alone
    std::string headerBlock;    // of the response being received
    std::string statusLine;
    bool hasLocation = false;
    bool redirected = false;
    bool firstBodyBytes = true;
    Phase phase = Phase::Sending;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    SteadyClock::time_point lastReport = SteadyClock::now();
    WINHTTP* owner = nullptr;

    // Tells the progress callback what has arrived, at most every 50 ms unless `now`.
    void report(bool always) {
        if (!owner->progress_) return;
        const auto now = SteadyClock::now();
        if (!always && now - lastReport < std::chrono::milliseconds(50)) return;
        lastReport = now;
        curl_off_t total = -1;
        if (phase == Phase::Body) curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
        owner->progress_(received, total > 0 ? static_cast<std::uint64_t>(total) : 0);
    }

    ~Transfer() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (headers) curl_slist_free_all(headers);
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        std::string line(data, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        t.lastActivity = SteadyClock::now();
        if (line.rfind("HTTP/", 0) == 0) {
            // A new response (after an interim answer or a redirect) replaces the block.
            t.headerBlock.clear();
            t.statusLine = line;
            t.hasLocation = false;
            t.phase = Phase::Waiting;
        }
        if (line.empty()) {
            long code = 0;
            curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &code);
            if (code >= 300 && code < 400 && t.hasLocation)
                t.redirected = true;
            else if (code >= 200)
                t.phase = Phase::Body;
            return size * count;
        }
        if (line.size() > 9 && (line[0] == 'L' || line[0] == 'l') &&
            (line.compare(0, 9, "Location:") == 0 || line.compare(0, 9, "location:") == 0))
            t.hasLocation = true;
        if (!t.headerBlock.empty()) t.headerBlock += "\r\n";
        t.headerBlock += line;
        return size * count;
    }

    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        t.lastActivity = SteadyClock::now();
        if (t.firstBodyBytes && t.phase == Phase::Body) {
            t.firstBodyBytes = false;
            t.owner->lenReadResponseHeader_ = static_cast<std::uint32_t>(size * count);
            // The announced size at once: a large installer is not copied while it grows.
            curl_off_t announced = -1;
            curl_easy_getinfo(t.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
            if (t.owner->keepBody_ && announced > 0 && announced <= (curl_off_t{1} << 32))
                reserveWhole(t.body, static_cast<std::size_t>(announced));
        }
        t.received += size * count;
        if (t.owner->keepBody_) t.body.append(data, size * count);
        if (t.owner->sink_) t.owner->sink_(std::string_view(data, size * count));
        // One call of the transfer may hand over many pieces: the progress gets its turn
        // here too.
        t.report(false);
        return size * count;
    }

    // Right before a request goes out on its connection: resolving, connecting and the
    // handshake are done; the wait for the answer begins.
    static int onConnected(void* self, char*, char*, int, int) {
        auto& t = *static_cast<Transfer*>(self);
        t.lastActivity = SteadyClock::now();
        t.phase = Phase::Waiting;
        return CURL_PREREQFUNC_OK;
    }
};

WINHTTP::WINHTTP() {
    shared();
}

WINHTTP::~WINHTTP() {
    CLEANUP();
}

void WINHTTP::CLEANUP() {
    std::string().swap(requestBody_);
}

const std::string& WINHTTP::RESPONSEHEADER() {
    std::erase(responseHeader_, '\0');
    return responseHeader_;
}

std::string WINHTTP::errorName(std::uint32_t number) {
    for (const ErrorName& e : kErrorNames)
        if (e.number == number) return e.name;
    return "UNKNOWN_ERROR " + std::to_string(number);
}

void WINHTTP::SETERROR_(const std::string& call, std::uint32_t number) {
    errorCall_ = call;
    errorNumber_ = number;
    errorMessage_ = errorName(number);
    debugOutput("Error in " + errorCall_ + " (" + errorMessage_ + ")");
}

std::string WINHTTP::GETURL(const std::string& server, const std::string& path, std::uint32_t port) {
    return request("GET", server, path, {}, header_, port);
}

std::string WINHTTP::POSTURL(const std::string& server, const std::string& path, const std::string& formData,
                             std::uint32_t port) {
    return request("POST", server, path, formData, "content-type:application/x-www-form-urlencoded\r\n",
                   port);
}

std::string WINHTTP::request(const std::string& verb, const std::string& server, const std::string& path,
                             const std::string& body, const std::string& headers, std::uint32_t port) {
    CLEANUP();
    lenReadResponseHeader_ = 0;
    if (server.empty()) {
        SETERROR_("WinHttpConnect", 87);
        return {};
    }
    // Port 0 is the scheme's default; 443 or USESSL make the request a secure one. A port
    // written into the server name is used as written.
    if (port == 0) port = useSsl_ ? 443 : 80;
    const bool secure = port == 443 || useSsl_;
    std::string url = secure ? "https://" : "http://";
    url += server;
    if (server.find(':') == std::string::npos && port != (secure ? 443u : 80u))
        url += ":" + std::to_string(port);
    url += path.empty() ? "/" : path;

    Transfer t;
    t.owner = this;
    t.easy = curl_easy_init();
    t.multi = shared().multi;
    if (!t.easy || !t.multi) {
        SETERROR_("WinHttpOpen", 8);
        return {};
    }
    CURL* e = t.easy;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    // Never from a secure request to a plain one.
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &Transfer::onConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, 256L * 1024L);
    // Resolving, connecting and the handshake; every later wait is watched below. Without
    // a time-out of its own a request keeps WinHTTP's defaults (60 s to connect, 30 s
    // for each wait for data), so that a silent server never holds the program for good.
    const std::uint32_t connectMs = timeoutMs_ > 0 ? timeoutMs_ : 60000;
    const std::uint32_t waitMs = timeoutMs_ > 0 ? timeoutMs_ : 30000;
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectMs));
    if (!userAgent_.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, userAgent_.c_str());
    if (!userName_.empty() || !password_.empty()) {
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(e, CURLOPT_USERNAME, userName_.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, password_.c_str());
    }
    if (!proxy_.empty()) {
        curl_easy_setopt(e, CURLOPT_PROXY, proxy_.c_str());
        if (!proxyUser_.empty()) curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, proxyUser_.c_str());
        if (!proxyPassword_.empty()) curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, proxyPassword_.c_str());
    }
    if (ignoreCert_) {
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (!caFile_.empty()) {
        const std::string& bundle = shared().bundleFor(e, caFile_);
        if (!bundle.empty())
            curl_easy_setopt(e, CURLOPT_CAINFO, bundle.c_str());
        else
            debugOutput("CAFile not readable: " + caFile_);
    }
    std::istringstream lines(headers);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) t.headers = curl_slist_append(t.headers, line.c_str());
    }
    if (verb == "POST") {
        requestBody_ = body;
        t.headers = curl_slist_append(t.headers, "Expect:");
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, requestBody_.data());
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(requestBody_.size()));
    }
    if (t.headers) curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headers);
    curl_multi_add_handle(t.multi, e);

    // The transfer runs on this thread; the progress callback gets a turn at least every
    // 50 ms, and a step that waits longer than the time-out for data ends it.
    const auto timeout = std::chrono::milliseconds(waitMs);
    bool stalled = false;
    for (int running = 1;;) {
        const std::uint64_t before = t.received;
        curl_multi_perform(t.multi, &running);
        if (!running) break;
        // Data that the secure layer has already taken off the socket does not wake the
        // wait: wait only when nothing came.
        if (t.received == before) curl_multi_poll(t.multi, nullptr, 0, 50, nullptr);
        const auto now = SteadyClock::now();
        if (t.phase != Phase::Sending && now - t.lastActivity > timeout) {
            stalled = true;
            break;
        }
        t.report(false);
    }
    CURLcode code = CURLE_OPERATION_TIMEDOUT;
    if (!stalled) {
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(t.multi, &left))
            if (msg->msg == CURLMSG_DONE) code = msg->data.result;
    }
    t.report(true);

    if (code == CURLE_OK || t.phase == Phase::Body) {
        // A failure while the body arrives only ends the read loop: the caller compares
        // what came with what the header announced.
        responseHeader_ = t.headerBlock;
        debugOutput(verb + " " + url + ": " + std::to_string(t.received) + " Bytes");
        return std::move(t.body);
    }
    long verifyResult = 0;
    curl_easy_getinfo(e, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
    const bool sending = t.phase == Phase::Sending || code == CURLE_SEND_ERROR;
    SETERROR_(sending ? "WinHttpSendRequest" : "WinHttpReceiveResponse",
              winHttpNumber(code, verifyResult, t.redirected));
    return {};
}

void debugOutput(const std::string& line) {
    static const bool on = std::getenv("ARTISCOPE_DEBUG") != nullptr;
    if (on) std::clog << line << '\n';
}

} // namespace arti
