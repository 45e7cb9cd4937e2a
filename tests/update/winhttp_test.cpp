// The HTTP client against a real HTTPS server on the loopback interface: what arrives,
// and the step, number and name that each kind of failure records.
#include "tests/update/UpdateSite.h"
#include "update/WinHttp.h"

#include <gtest/gtest.h>

using namespace arti;

namespace {

struct Case {
    const char* label;
    const char* server; // a server of the site, or a host name
    const char* path;
    std::uint32_t timeout;
    const char* call; // empty: no failure recorded
    std::uint32_t number;
    const char* status; // beginning of the header block; empty: no header
    std::size_t bodySize;
};

// "binary.exe" holds 70,000 bytes with NUL bytes among them.
const Case kCases[] = {
    {"a binary file arrives whole", "good", "/files/binary.exe", 20, "", 0, "HTTP/1.1 200 OK\r\n", 70000},
    {"status line without reason phrase", "good", "/noreason/files/binary.exe", 20, "", 0, "HTTP/1.1 200\r\n",
     70000},
    {"an error page is an answer", "good", "/files/missing.exe", 20, "", 0, "HTTP/1.1 404 Not Found", 0},
    {"a redirect inside HTTPS is followed", "good", "/to-https/files/binary.exe", 20, "", 0,
     "HTTP/1.1 200 OK", 70000},
    {"a body shorter than announced stops the read loop", "good", "/short/files/binary.exe", 20, "", 0,
     "HTTP/1.1 200 OK", 70000},
    {"unknown authority", "rogue", "/files/binary.exe", 20, "WinHttpSendRequest", 12045, "", 0},
    {"expired certificate", "expired", "/files/binary.exe", 20, "WinHttpSendRequest", 12037, "", 0},
    {"certificate for another name", "othername", "/files/binary.exe", 20, "WinHttpSendRequest", 12038, "",
     0},
    {"name not resolved", "www.artiscope-test.invalid", "/x", 20, "WinHttpSendRequest", 12007, "", 0},
    {"nobody listens", "closed", "/x", 20, "WinHttpSendRequest", 12029, "", 0},
    {"server never answers", "good", "/hang/x", 1, "WinHttpReceiveResponse", 12002, "", 0},
    {"a slow line longer than the time-out", "good", "/slow/files/binary.exe", 1, "", 0, "HTTP/1.1 200 OK",
     70000},
    {"redirect from HTTPS to HTTP", "good", "/to-http/files/binary.exe", 20, "WinHttpReceiveResponse", 12156,
     "", 0},
    {"no server", "", "/x", 20, "WinHttpConnect", 87, "", 0},
};

std::string binary() {
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

} // namespace

TEST(WinHttp, RequestsAndTheirFailures) {
    const auto& site = test::updateSite();
    const std::string expected = binary();
    site.put("files/binary.exe", expected);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const std::string name = c.server;
        const bool ours =
            name == "good" || name == "rogue" || name == "expired" || name == "othername" || name == "closed";
        WINHTTP client;
        client.USESSL(true);
        client.TIMEOUT(c.timeout);
        client.CAFILE(site.authority().string());
        client.HEADER("UserAgent: QZProgramm\r\n");
        int reports = 0;
        client.PROGRESS([&](std::uint64_t, std::uint64_t) { ++reports; });
        const std::string body = client.GETURL(ours ? site.host(name) : name, c.path, 0);
        EXPECT_EQ(client.ERRORCALL(), c.call);
        EXPECT_EQ(client.ERRORNUMBER(), c.number);
        if (c.number) {
            EXPECT_EQ(client.ERRORMESSAGE(), WINHTTP::errorName(c.number));
        }
        const std::string header = client.RESPONSEHEADER();
        EXPECT_EQ(header.substr(0, std::string(c.status).size()), c.status) << header;
        if (c.bodySize == expected.size()) {
            EXPECT_TRUE(body == expected) << body.size();
        } else if (*c.status) {
            EXPECT_NE(body.find("Error 404"), std::string::npos);
        } else {
            EXPECT_TRUE(body.empty());
        }
        EXPECT_GE(reports, *c.server ? 1 : 0) << "the progress is reported while a request runs";
    }
}

TEST(WinHttp, ErrorNamesFollowTheTableOrder) {
    EXPECT_EQ(WINHTTP::errorName(12003), "UNKNOWN_ERROR 12003");
    EXPECT_EQ(WINHTTP::errorName(12186), "ERROR_WINHTTP_CLIENT_CERT_NO_ACCESS_PRIVATE_KEY");
    EXPECT_EQ(WINHTTP::errorName(12005), "WINHTTP_INVALID_URL");
}

// The site's authority is trusted only through the authority file, in addition to the
// system's store.
TEST(WinHttp, WithoutTheAuthorityFileTheSiteIsUnknown) {
    const auto& site = test::updateSite();
    site.put("files/small.txt", "klein");
    WINHTTP client;
    client.USESSL(true);
    EXPECT_TRUE(client.GETURL(site.host("good"), "/files/small.txt").empty());
    EXPECT_EQ(client.ERRORNUMBER(), 12045u);
    client.CAFILE(site.authority().string());
    EXPECT_EQ(client.GETURL(site.host("good"), "/files/small.txt"), "klein");
}
