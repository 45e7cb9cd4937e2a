// Golden files: every folder under tests/data/golden holds one ELDANORM input file
// ("input.*"), optionally "answers" (one box answer per line: ok, yes, no, cancel) and
// "boxes" (the captions and texts of every box shown, in order), "steps" (what the user does after choosing
// the file, one per line: start, next, back, bof, eof, jump N, stop, popups-off, start-stop N, start-quit N),
// and the expected "Error.log". The test chooses the file, runs the steps (default: start) and compares the
// whole log, except the time of its first line.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/Fakes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace arti;
using namespace arti::test;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const fs::path& p) {
    std::vector<std::string> out;
    std::ifstream in(p);
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] != '#') out.push_back(l);
    return out;
}

// The folder of the run differs from run to run: it is written as "<Daten>/".
std::string withoutFolder(std::string text, const std::string& folder) {
    for (std::size_t p = 0; (p = text.find(folder, p)) != std::string::npos;)
        text.replace(p, folder.size(), "<Daten>/");
    return text;
}

// The log header's first line carries the time of the run.
std::string withoutTime(std::string log) {
    const auto eol = log.find("\r\n");
    if (eol != std::string::npos && log.rfind("Fehlerprotokoll vom ", 0) == 0)
        log.replace(0, eol, "Fehlerprotokoll vom <Zeit>");
    return log;
}

BoxButton answerOf(const std::string& w) {
    if (w == "yes") return BoxButton::Yes;
    if (w == "no") return BoxButton::No;
    if (w == "cancel") return BoxButton::Cancel;
    return BoxButton::Ok;
}

// A click on a disabled button does nothing, as for a person at the window.
void click(PRUEF_WND& w, Ctl button, void (PRUEF_WND::*handler)()) {
    if (w.controls.enabled(button)) (w.*handler)();
}

// "start-stop N" / "start-quit N": a run in which the user presses "Stop" / "Beenden"
// while the N-th batch of messages goes through.
void runInterrupted(PRUEF_WND& w, FakeWindowServices& window, int at, void (PRUEF_WND::*handler)()) {
    window.onPump = [&w, at, handler](int pump) {
        if (pump == at) (w.*handler)();
    };
    window.pumps = 0;
    click(w, Ctl::OCCPSHSTART, &PRUEF_WND::PSHSTART);
    window.onPump = nullptr;
}

void runStep(PRUEF_WND& w, FakeWindowServices& window, const std::string& step) {
    std::istringstream in(step);
    std::string verb;
    in >> verb;
    if (verb == "start")
        click(w, Ctl::OCCPSHSTART, &PRUEF_WND::PSHSTART);
    else if (verb == "next")
        click(w, Ctl::OCCPSHNEXT, &PRUEF_WND::PSHNEXT);
    else if (verb == "back")
        click(w, Ctl::OCCPSHBACK, &PRUEF_WND::PSHBACK);
    else if (verb == "bof")
        click(w, Ctl::OCCPSHBOF, &PRUEF_WND::PSHBOF);
    else if (verb == "eof")
        click(w, Ctl::OCCPSHEOF, &PRUEF_WND::PSHEOF);
    else if (verb == "stop")
        click(w, Ctl::OCCPSHSTOP, &PRUEF_WND::PSHSTOP);
    else if (verb == "popups-off") {
        if (!w.controls.enabled(Ctl::ODCCHK3)) return;
        w.applyOption(Ctl::ODCCHK3, false);
        w.BUTTONCLICK(Ctl::ODCCHK3);
    } else if (verb == "jump") {
        std::string n;
        in >> n;
        if (!w.controls.enabled(Ctl::ODCSLE1)) return;
        w.controls.userText(Ctl::ODCSLE1, n);
        w.EDITCHANGE();
        click(w, Ctl::OCCPSHOK, &PRUEF_WND::PSHOK);
    } else if (verb == "start-stop" || verb == "start-quit") {
        int at = 0;
        in >> at;
        runInterrupted(w, window, at, verb == "start-stop" ? &PRUEF_WND::PSHSTOP : &PRUEF_WND::PSHCANCEL);
    } else
        ADD_FAILURE() << "unknown step " << step;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ErrorLogMatches) {
    const fs::path dir = GetParam();
    TempDir data, registry;
    setenv("ARTISCOPE_REGISTRY_DIR", registry.path().c_str(), 1);
    fs::path input;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("input", 0) == 0) input = e.path();
    ASSERT_FALSE(input.empty()) << "no input file in " << dir;
    const fs::path copy = data.path() / input.filename().string().substr(6);
    fs::copy_file(input, copy);

    FakeMessageBox box;
    for (const auto& a : lines(dir / "answers"))
        box.expect(answerOf(a));
    FakeWindowServices window;
    FixedClock clock(LocalDateTime{std::chrono::year{2026} / 12 / 8, 10, 15, 0});
    FakeFileDialogs dialogs;
    dialogs.files.push_back(copy.string());
    FakeShell shell;
    ServicesScope scope(&box, &window, &clock, &dialogs, &shell);
    appState() = AppState{};
    settings() = Settings{};
    settings().installPath = data.folder();
    settings().artiQuelle = data.folder();
    settings().waehrung = "EUR";
    settings().uDatum = std::chrono::year{2026} / 11 / 8;
    settings().oDatum = std::chrono::year{2027} / 1 / 7;

    const std::string before = readFile(copy);
    {
        FakePruefView view;
        PRUEF_WND w;
        w.attachView(&view);
        w.INIT();
        w.SETUP();
        w.PSHDATEI();
        auto steps = lines(dir / "steps");
        if (steps.empty()) steps.push_back("start");
        for (const auto& s : steps)
            runStep(w, window, s);
        w.engine.closeFiles();
    }
    EXPECT_EQ(box.pendingAnswers(), 0u) << "queued answers were not asked for";
    std::string boxes;
    for (const ShownBox& b : box.shown) {
        std::string text = b.text;
        for (std::size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos;)
            text.replace(p, 2, "\\n");
        boxes += withoutFolder(b.caption + " | " + text, data.folder()) + "\n";
    }
    // What differs is written into the build folder, never into the sources.
    const fs::path actual = fs::path(ARTI_TEST_OUTPUT) / "golden" / dir.filename();
    if (boxes != readFile(dir / "boxes")) {
        fs::create_directories(actual);
        std::ofstream(actual / "boxes", std::ios::binary) << boxes;
        ADD_FAILURE() << "the boxes differ; actual boxes written to " << (actual / "boxes");
    }
    EXPECT_EQ(readFile(copy), before) << "the check changed the data file";
    const std::string log = withoutFolder(withoutTime(readFile(data.path() / "Error.log")), data.folder());
    const std::string expected = readFile(dir / "Error.log");
    if (log != expected) {
        fs::create_directories(actual);
        std::ofstream(actual / "Error.log", std::ios::binary) << log;
        ADD_FAILURE() << "Error.log differs; actual log written to " << (actual / "Error.log");
    }
    unsetenv("ARTISCOPE_REGISTRY_DIR");
}

std::vector<std::string> cases() {
    std::vector<std::string> out;
    const fs::path golden = fs::path(ARTI_TEST_DATA) / "golden";
    if (!fs::is_directory(golden)) return out;
    for (const auto& e : fs::directory_iterator(golden))
        if (e.is_directory()) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Files, Golden, ::testing::ValuesIn(cases()), [](const auto& param) {
    std::string name = fs::path(param.param).filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// Without its data the suite above would pass having run nothing ...
// ... and nothing a run writes (actual logs and boxes) lands among the expected files.
TEST(GoldenData, CasesAreFoundAndHoldOnlyTheirOwnFiles) {
    EXPECT_GE(cases().size(), 52u);
    for (const std::string& dir : cases()) {
        for (const auto& e : fs::directory_iterator(dir)) {
            const std::string name = e.path().filename().string();
            const bool own = name.rfind("input.", 0) == 0 || name == "answers" || name == "boxes" ||
                             name == "steps" || name == "Error.log";
            EXPECT_TRUE(own) << e.path();
        }
    }
}
