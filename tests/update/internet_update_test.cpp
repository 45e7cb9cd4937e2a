// The update check against a real HTTPS site on the loopback interface: the version
// decisions, the parameter faults, server and transfer faults, certificate faults and
// signature faults, among them validly signed installers that are not the announced ones
// (an older one, another file). In every fault case no installer is started and the
// temporary folder holds none afterwards; a good case starts exactly one, whose signature
// was checked.
#include "tests/update/UpdateFixture.h"
#include "update/BodyFile.h"
#include "update/SignedRelease.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

using namespace arti;
using namespace arti::test;
using ::testing::ElementsAreArray;

namespace {

const std::string kSetupExe = std::string(70000, 'S') + std::string("\0MZ", 3);

struct Case {
    const char* label;
    const char* server; // a server of the site, or a host name
    const char* folder; // "upd-setup" and the like, with a misbehaving prefix
    const char* versionFile;
    const char* setupFile;
    unsigned timeout;
    std::vector<BoxButton> answers;
    std::vector<std::string> captions;
    const char* started; // the installer started, or empty
    long shellResult = 42;
    const char* url = nullptr; // "URLMerix" as it is, in place of server and folder
    const char* updateFile = "ASUpdate.exe";
};

const std::string kAsk = "Hinweis für ARTISCOPE";
const std::vector<std::string> kNoAnswer = {"Download-PageTest"};

std::vector<Case> cases() {
    const auto ask = [](std::vector<std::string> tail) {
        tail.insert(tail.begin(), kAsk);
        return tail;
    };
    const auto refused = [&](const char* label, const char* folder) {
        return Case{label,
                    "good",
                    folder,
                    "version.txt",
                    "ASSetup.exe",
                    20,
                    {BoxButton::Yes},
                    ask({"Signaturprüfung"}),
                    ""};
    };
    return {
        {"a newer setup wins the tie with the update",
         "good",
         "upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::Yes},
         ask({"Internet-Update"}),
         "ASSetup.exe"},
        {"a newer update",
         "good",
         "upd-update",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::Yes},
         ask({"Internet-Update"}),
         "ASUpdate.exe"},
        {"a status line without reason phrase",
         "good",
         "noreason/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::Yes},
         ask({"Internet-Update"}),
         "ASSetup.exe"},
        {"the program is up to date",
         "good",
         "upd-equal",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Internet-Update"},
         ""},
        {"a damaged version file offers nothing",
         "good",
         "upd-damaged",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Internet-Update"},
         ""},
        {"the user declines",
         "good",
         "upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::No},
         ask({"Internet-Update"}),
         ""},
        {"the shell cannot start the installer",
         "good",
         "upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::Yes},
         ask({"Internet-Update", "Internet-Update"}),
         "",
         2},
        {"an address without www.",
         "",
         "",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Fehler Internet-Parameter"},
         ""},
        {"bad version and setup names",
         "good",
         "upd-setup",
         "stand.ini",
         "setup.msi",
         20,
         {},
         {"Fehler Internet-Parameter"},
         ""},
        {"an update without installer name",
         "good",
         "upd-update",
         "version.txt",
         "ASSetup.exe",
         20,
         {BoxButton::Yes},
         ask({"Fehler Internet-Parameter"}),
         "",
         42,
         nullptr,
         ""},
        {"an address without folder names no host",
         "",
         "",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Download-PageTest", "ResponseHeader"},
         "",
         42,
         "https://www.localhost"},
        {"an HTML 404 page",
         "good",
         "upd-none",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Fehler beim Setup-Download"},
         ""},
        {"an HTML 401 page",
         "good",
         "e401/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Fehler beim Setup-Download"},
         ""},
        {"an HTML 500 page",
         "good",
         "e500/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"Fehler beim Setup-Download"},
         ""},
        {"a 404 answer without HTML page",
         "good",
         "plain404/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"ResponseTest-Meldung", "ResponseHeader"},
         ""},
        {"a body shorter than its Content-Length",
         "good",
         "short/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         {"ResponseTest- Fehler ", "ResponseHeader"},
         ""},
        {"unknown authority", "rogue", "upd-setup", "version.txt", "ASSetup.exe", 20, {}, kNoAnswer, ""},
        {"expired certificate", "expired", "upd-setup", "version.txt", "ASSetup.exe", 20, {}, kNoAnswer, ""},
        {"certificate for another name",
         "othername",
         "upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         kNoAnswer,
         ""},
        {"a host that does not resolve",
         "www.artiscope-test.invalid",
         "upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         kNoAnswer,
         ""},
        {"nobody listens", "closed", "upd-setup", "version.txt", "ASSetup.exe", 20, {}, kNoAnswer, ""},
        {"the server never answers",
         "good",
         "hang/upd-setup",
         "version.txt",
         "ASSetup.exe",
         1,
         {},
         kNoAnswer,
         ""},
        {"a redirect to plain HTTP",
         "good",
         "to-http/upd-setup",
         "version.txt",
         "ASSetup.exe",
         20,
         {},
         kNoAnswer,
         ""},
        refused("an installer with a wrong signature", "upd-badsig"),
        refused("an installer without signature", "upd-nosig"),
        refused("an old installer announced as new", "upd-old"),
        refused("a signature for another file", "upd-otherfile"),
        refused("an update signed with the setup's date", "upd-setupdate"),
        refused("a signature without date", "upd-nodate"),
        refused("a signature without file", "upd-nofile"),
        refused("a changed trusted comment", "upd-altered"),
    };
}

// The trusted comment of a signature file replaced, its signatures kept.
void changeTrustedComment(const std::filesystem::path& minisig, const std::string& comment) {
    std::string text = readBytes(minisig.string());
    const std::string label = "\ntrusted comment: ";
    const std::size_t at = text.find(label) + label.size();
    text.replace(at, text.find('\n', at) - at, comment);
    std::ofstream(minisig, std::ios::binary | std::ios::trunc) << text;
}

class InternetUpdateTest : public UpdateFixture {
protected:
    static void SetUpTestSuite() {
        const auto& site = updateSite();
        const auto versions = [&](const std::string& folder, const char* setup, const char* update) {
            site.put(folder + "/version.txt",
                     std::string("[VERSION]\r\nSETUP=") + setup + "\r\nUPDATE=" + update + "\r\n");
        };
        // Folder, announced dates, the installer and the trusted comment of its signature.
        const struct {
            const char* folder;
            const char* setup;
            const char* update;
            const char* installer;
            const char* comment; // empty: minisign's own
        } signedSites[] = {
            {"upd-setup", "24/05/01", "24/05/01", "assetup.exe", "file:ASSetup.exe date:20240501"},
            {"upd-update", "22/01/01", "24/06/01", "asupdate.exe", "hashed date:20240601\tfile:asupdate.exe"},
            {"upd-badsig", "24/05/01", "", "assetup.exe", "file:ASSetup.exe date:20240501"},
            {"upd-old", "27/01/15", "", "assetup.exe", "file:ASSetup.exe date:20220101"},
            {"upd-otherfile", "24/05/01", "", "assetup.exe", "file:ASUpdate.exe date:20240501"},
            {"upd-setupdate", "24/05/01", "24/06/01", "asupdate.exe", "file:ASUpdate.exe date:20240501"},
            {"upd-nodate", "24/05/01", "", "assetup.exe", ""},
            {"upd-nofile", "24/05/01", "", "assetup.exe", "timestamp:1700000000 date:20240501 hashed"},
            {"upd-altered", "27/01/15", "", "assetup.exe", "file:ASSetup.exe date:20220101"},
        };
        for (const auto& s : signedSites) {
            versions(s.folder, s.setup, s.update);
            const std::string installer = std::string(s.folder) + "/" + s.installer;
            site.put(installer, kSetupExe);
            site.sign(installer, s.comment);
        }
        versions("upd-equal", "23/01/30", "23/01/30");
        versions("upd-damaged", "24/99/99", "kaputt");
        versions("upd-nosig", "24/05/01", "");
        site.put("upd-badsig/assetup.exe", kSetupExe + "verändert");
        site.put("upd-nosig/assetup.exe", kSetupExe);
        // The date of the version file's announcement written over the signed one.
        changeTrustedComment(site.root() / "upd-altered/assetup.exe.minisig",
                             "file:ASSetup.exe date:20270115");
    }
};

} // namespace

TEST_F(InternetUpdateTest, VersionsDownloadsAndFaults) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(temp_.path());
        std::filesystem::create_directories(temp_.path());
        box_.shown.clear();
        shell_.opened.clear();
        shell_.result = c.shellResult;
        appState().closeWithoutAsking = false;
        const std::string server = c.server;
        const bool ours = server == "good" || server == "rogue" || server == "expired" ||
                          server == "othername" || server == "closed";
        const std::string host = ours ? site_.host(server) : server;
        user("URLMerix", c.url          ? std::string(c.url)
                         : host.empty() ? "https://localhost/upd"
                                        : "https://" + host + "/" + c.folder);
        user("DateiVersion", c.versionFile);
        user("DateiEXE", c.setupFile);
        user("UpdateEXE", c.updateFile);
        user("TimeOut", std::to_string(c.timeout));
        user("UpdateDatum", "");
        auto answer = c.answers.begin();
        for (const std::string& caption : c.captions)
            box_.expect(caption == kAsk ? *answer++ : BoxButton::Ok);

        const bool started = INTERNETUPDATE(nullptr, "ARTISCOPE", true, open_);

        EXPECT_THAT(captions(), ElementsAreArray(c.captions));
        EXPECT_EQ(started, *c.started != '\0');
        EXPECT_EQ(appState().closeWithoutAsking, started);
        EXPECT_EQ(userValue("UpdateDatum").empty(), c.captions.front() == "Fehler Internet-Parameter");
        if (*c.started) {
            ASSERT_EQ(shell_.opened.size(), 1u);
            const std::string file = shell_.opened[0].substr(5); // after "open "
            EXPECT_EQ(std::filesystem::path(file).filename(), c.started);
            EXPECT_TRUE(readBytes(file) == kSetupExe);
            EXPECT_EQ(std::filesystem::status(std::filesystem::path(file).parent_path()).permissions() &
                          std::filesystem::perms::all,
                      std::filesystem::perms::owner_all)
                << "the download folder is the user's alone";
        } else {
            // Only where the shell itself fails was a start tried.
            EXPECT_EQ(shell_.opened.size(), c.shellResult <= 32 ? 1u : 0u);
            EXPECT_TRUE(leftFiles().empty()) << leftFiles().front();
        }
    }
}

// The box texts of the decisions and of a refused signature name what they are about:
// a refused old installer names its date and the one announced.
TEST_F(InternetUpdateTest, MessagesNameVersionsAndFiles) {
    user("DateiVersion", "version.txt");
    user("DateiEXE", "ASSetup.exe");
    for (const auto& [folder, date] : {std::pair{"upd-badsig", "01.05.2024"}, {"upd-old", "15.01.2027"}}) {
        box_.shown.clear();
        user("URLMerix", "https://" + site_.host("good") + "/" + folder);
        box_.expect(BoxButton::Yes).expect(BoxButton::Ok);
        EXPECT_FALSE(INTERNETUPDATE(nullptr, "ARTISCOPE", true, open_));
        ASSERT_EQ(box_.shown.size(), 2u);
        const std::string offer = "Es liegt ein neues ARTISCOPE-Programm-Setup vom " + std::string(date);
        EXPECT_THAT(box_.shown[0].text, ::testing::StartsWith(offer + " vor.\r\n"));
        EXPECT_THAT(box_.shown[0].text, ::testing::EndsWith("Möchten Sie den Setup-Vorgang jetzt starten ?"));
        EXPECT_THAT(box_.shown[1].text, ::testing::HasSubstr("\r\nASSetup.exe\r\n"));
    }
    EXPECT_THAT(box_.shown[1].text, ::testing::HasSubstr("01.01.2022"));
    EXPECT_THAT(box_.shown[1].text, ::testing::HasSubstr("15.01.2027"));

    // A download that cannot be written says so with the system's reason and the path.
    box_.shown.clear();
    box_.expect(BoxButton::Ok);
    const std::string nowhere = temp_.folder() + "gone/";
    EXPECT_FALSE(
        DOWNLOAD_DATEI(nullptr, site_.host("good"), "/upd-setup/version.txt", nowhere, "version.txt"));
    ASSERT_THAT(captions(), ElementsAreArray({"Fehler"}));
    EXPECT_THAT(box_.shown[0].text,
                ::testing::StartsWith("Die herunter geladene Datei konnte nicht gespeichert "
                                      "werden.\r\n" +
                                      nowhere + "version.txt\r\n"));
}

// An installer's signature vouches for it when its trusted comment names the file (in
// any case) and the announced date, newer than the program "23/01/30"; the tokens stand
// among others in any order, separated by blanks or tabs.
TEST(SignedRelease, TrustedCommentNamesFileAndDate) {
    const struct {
        const char* comment;
        const char* announced; // as the version file writes it
        ReleaseFault fault;
    } cases[] = {
        {"file:ASSetup.exe date:20270115", "27/01/15", ReleaseFault::None},
        {"timestamp:1700000000\tfile:assetup.exe\tdate:20270115\thashed", "27/01/15", ReleaseFault::None},
        {"  date:20270115 \t file:ASSETUP.EXE  ", "20270115", ReleaseFault::None},
        {"timestamp:1700000000\tfile:assetup.exe\thashed", "27/01/15", ReleaseFault::Unnamed},
        {"date:20270115", "27/01/15", ReleaseFault::Unnamed},
        {"file: date:20270115", "27/01/15", ReleaseFault::Unnamed},
        {"file:ASSetup.exe date:2027115", "27/01/15", ReleaseFault::Unnamed},
        {"file:ASSetup.exe date:20270115x", "27/01/15", ReleaseFault::Unnamed},
        {"file:ASUpdate.exe date:20270115", "27/01/15", ReleaseFault::OtherFile},
        {"file:ASSetup.exe date:20220101", "27/01/15", ReleaseFault::OtherDate},
        {"file:ASSetup.exe date:20230130", "23/01/30", ReleaseFault::NotNewer},
        {"file:ASSetup.exe date:20220101", "22/01/01", ReleaseFault::NotNewer},
    };
    for (const auto& c : cases) {
        const SignedRelease release = signedRelease(c.comment);
        const std::uint32_t announced = versionNumber(c.announced);
        const ReleaseFault fault = releaseFault(release, "ASSetup.exe", announced, versionNumber("23/01/30"));
        EXPECT_EQ(fault, c.fault) << c.comment;
        EXPECT_EQ(releaseRefusal(fault, release, announced, "23/01/30").empty(), fault == ReleaseFault::None)
            << c.comment;
    }
}

TEST(UpdateAddress, SchemeHostAndFolder) {
    const struct {
        const char* url;
        const char* host;
        const char* path;
    } cases[] = {
        {"https://www.example.test/updates", "www.example.test", "/updates/"},
        {"http://www.example.test:8443/a/b/", "www.example.test:8443", "/a/b/"},
        {"www.example.test", "", ""},
    };
    for (const auto& c : cases) {
        const UpdateAddress a = splitUpdateAddress(c.url);
        EXPECT_EQ(a.host, c.host) << c.url;
        EXPECT_EQ(a.path, c.path) << c.url;
    }
}

// A download is written and hashed on a worker thread in blocks of 1 MB: whatever the
// pieces, the file holds them in order and the hash is that of the whole; a file that
// cannot be made reports it.
TEST(BodyFile, PiecesArriveWholeAndHashed) {
    const std::size_t mb = std::size_t{1} << 20;
    const std::vector<std::vector<std::size_t>> patterns = {
        {}, {0, 1, 0}, {mb - 1, 1, 1}, {mb, mb}, {3 * mb + 17}, std::vector<std::size_t>(40, mb / 2 + 3)};
    const std::string path = std::string(ARTI_TEST_OUTPUT) + "/body_file.part";
    std::filesystem::create_directories(ARTI_TEST_OUTPUT);
    for (const auto& sizes : patterns) {
        std::string whole;
        {
            BodyFile file(path);
            for (const std::size_t size : sizes) {
                std::string piece(size, '\0');
                for (char& c : piece)
                    c = static_cast<char>((whole.size() + (&c - piece.data())) * 131 % 251);
                file.add(piece);
                whole += piece;
            }
            ASSERT_TRUE(file.finish()) << sizes.size();
            StreamHash expected;
            expected.update(whole);
            EXPECT_EQ(file.digest(), expected.final()) << sizes.size();
        }
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), whole) << sizes.size();
    }
    BodyFile nowhere(std::string(ARTI_TEST_OUTPUT) + "/no/such/folder/x.part");
    nowhere.add("bytes");
    EXPECT_FALSE(nowhere.finish());
    EXPECT_EQ(nowhere.error(), ENOENT);
}

// A disk slower than the line: while the worker's queue is full, and at the end, the
// caller's thread still gets its turns (the window's messages), and nothing is lost.
TEST(BodyFile, ASlowDiskKeepsTheCallerTurning) {
    const std::string fifo = std::string(ARTI_TEST_OUTPUT) + "/body_file.fifo";
    std::filesystem::create_directories(ARTI_TEST_OUTPUT);
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    fcntl(reader, F_SETPIPE_SZ, 1 << 20);
    std::size_t drained = 0;
    int turns = 0;
    // Each turn takes a little from the "disk": the whole body needs many turns.
    const auto drain = [&] {
        ++turns;
        static char buffer[1 << 20];
        for (int i = 0; i < 2; ++i) {
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n <= 0) break;
            drained += static_cast<std::size_t>(n);
        }
    };
    const std::size_t size = std::size_t{24} << 20;
    {
        BodyFile file(fifo, drain);
        file.add(std::string(size, 'x'));
        while (drained < size - (std::size_t{1} << 20))
            drain(); // the last block waits for finish
        EXPECT_TRUE(file.finish());
    }
    drain();
    ::close(reader);
    EXPECT_EQ(drained, size);
    EXPECT_GT(turns, 10);
}
