// The automatic check run through the real Qt main window, and the latency of "Stop".
//
// The window is the program's own: PRUEF_WND with its Qt face PruefDialog, shown on the
// offscreen platform (set here when no platform is set), with the Qt message pump and
// timers (QtWindowServices). Only the file dialog and the message boxes are stand-ins:
// the file dialog returns the generated file, the boxes answer as the command-line
// checker does (OK; Yes to deleting the long texts of an earlier run).
//
// The file is the one of run_bench: a generated 01/96 file of 1,000,000 records (130 MB;
// header, K record, long texts, articles A B D Z), written once and reused:
//   $ARTI_BENCH_RUN_FILE, default /tmp/artiscope-bench/run-0196.dat
//
// Every pass drives the window as a person would, by clicks on its widgets: "Datei"
// (the file chosen anew, as the command-line checker does for every file), "Fehler PopUp"
// unticked, "List-Anzeige" ticked or unticked, delay 0, "Durchlauf Start"; the time is
// that of the click on "Durchlauf Start", which returns when the run has ended. The same
// run of the same window logic behind a face that shows nothing, in this program and
// between the window's passes, gives the headless throughput the window is compared
// with. The passes of the three kinds alternate, so that a load on the machine that
// comes and goes is shared by them.
//
// The field checks do not fill the findings list yet. So that "List-Anzeige ein" costs
// what it will, the benchmark stands in for them: at every record of a run with the
// list ticked it hands the list 15 rows through PRUEF_WND::FILLLISTVIEW (the record
// cut into 15 fields: content, field name, length, type, M/K, position, number), at
// the place where the field checks run (the message pump call right before them).
//
// "Stop": during runs started from the beginning of the file, another thread picks a
// random moment, notes the time and posts a click on the "Stop" button into the event
// queue, as the window system would deliver a person's click; the run loop lets it
// through at its next pump. The latency is the time from that moment to the return of
// the click on "Durchlauf Start" (the run loop has ended and the window is restored).
//
// Usage: qt_run_bench [passes] [stops]   (default 3 and 20). Run a Release build.
#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "platform/qt/QtServices.h"
#include "settings/Settings.h"
#include "tools/bench/BenchFiles.h"
#include "tools/gen/Generator.h"
#include "views/qt/QtSecondaryWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QMetaObject>
#include <QStyleFactory>
#include <QTest>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace arti;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kRecords = 1'000'000;
constexpr const char* kRegistryVariable = "ARTISCOPE_REGISTRY_DIR";

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double best(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}
double worst(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The registry stand-in of this program's run: a folder of its own, removed at the end,
// so that the file choice does not note the benchmark's folder for the user.
class RegistrySandbox {
public:
    RegistrySandbox() {
        std::string pattern = (fs::path(platform::userTempFolder()) / "artiscope-qtbench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        folder_ = pattern;
        setenv(kRegistryVariable, folder_.c_str(), 1);
    }
    ~RegistrySandbox() {
        if (folder_.empty()) return;
        unsetenv(kRegistryVariable);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::string folder_;
};

// The boxes of the file choice get the answers of the command-line checker. A box during
// a run (pop-ups are off) is counted: the run would not be comparable.
class AnsweringBox final : public IMessageBox {
public:
    BoxButton show(Owner, BoxKind kind, const std::string& caption, const std::string& text) override {
        if (duringRun) {
            ++shownDuringRun;
            lastDuringRun = ansiToUtf8(caption) + ": " + ansiToUtf8(text);
        }
        if (kind == BoxKind::OkCancel) return BoxButton::Cancel;
        if (kind != BoxKind::YesNo) return BoxButton::Ok;
        if (caption == "Frage" && text.find("vorherigen Lauf") != std::string::npos) return BoxButton::Yes;
        return caption == "Gravierender Fehler" ? BoxButton::Yes : BoxButton::No;
    }

    bool duringRun = false;
    int shownDuringRun = 0;
    std::string lastDuringRun;
};

class GivenFile final : public IFileDialogs {
public:
    explicit GivenFile(std::string file) : file_(std::move(file)) {}
    std::string openFile(Owner, const std::string&, const std::string&, const std::string&) override {
        return file_;
    }
    std::string chooseFolder(Owner, const std::string&, const std::string&) override { return {}; }

private:
    std::string file_;
};

// The pump of the headless run: nothing to let through.
class NoPump final : public IWindowServices {
public:
    void processMessages() override {}
    TimerId startTimer(unsigned, bool, std::function<void()>) override { return 0; }
    void killTimer(TimerId) override {}
    void beep(unsigned, unsigned) override {}
};

// The end of the log, to tell a run that reached the end of the file from one that did not.
std::string logTail(const std::string& folder) {
    std::ifstream in(folder + "Error.log", std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - 2048);
    in.seekg(from);
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return tail;
}

bool reachedEnd(const std::string& folder) {
    const std::string tail = logTail(folder);
    const std::size_t end = tail.rfind("Uhr, das Datei-Ende wurde erreicht.");
    return end != std::string::npos && tail.find("Abbruch", end) == std::string::npos &&
           tail.find("Stop-Button", end) == std::string::npos;
}

// The headless run: the window logic behind a face that shows nothing.
class HeadlessRun {
public:
    HeadlessRun(const std::string& file, std::string folder) : dialogs_(file), folder_(std::move(folder)) {
        ServicesScope scope(&box_, &pump_, nullptr, &dialogs_);
        wnd_.attachView(&view_);
        wnd_.INIT();
        wnd_.SETUP();
    }
    ~HeadlessRun() { close(); }
    HeadlessRun(const HeadlessRun&) = delete;
    HeadlessRun& operator=(const HeadlessRun&) = delete;

    // One pass; the seconds of "Durchlauf Start", or a negative value when it failed.
    double pass() {
        // As in a program without Qt: Qt's code, run between the passes, must not slow
        // the engine's SSE code down (see qt::leaveVectorStateClean).
        qt::leaveVectorStateClean();
        ServicesScope scope(&box_, &pump_, nullptr, &dialogs_);
        settings().installPath = folder_;
        wnd_.PSHDATEI();
        if (!wnd_.controls.enabled(Ctl::OCCPSHSTART)) return -1;
        click(Ctl::ODCCHK3, false);
        click(Ctl::ODCCHK4, false);
        wnd_.engine.flushLog();
        box_.duringRun = true;
        const auto t0 = Clock::now();
        wnd_.PSHSTART();
        const auto t1 = Clock::now();
        box_.duringRun = false;
        const bool ok = !wnd_.run.stopRequest && box_.shownDuringRun == 0 && reachedEnd(folder_);
        close();
        return ok ? seconds(t0, t1) : -1;
    }

private:
    void click(Ctl c, bool on) {
        if (wnd_.controls.checked(c) == on) return;
        wnd_.controls.userChecked(c, on);
        wnd_.BUTTONCLICK(c);
    }
    void close() {
        wnd_.engine.closeTextTable();
        wnd_.engine.closeFiles();
    }

    AnsweringBox box_;
    NoPump pump_;
    GivenFile dialogs_;
    HeadlessPruefView view_;
    PRUEF_WND wnd_;
    std::string folder_;
};

// The program's main window on the screen (offscreen), driven by clicks.
class QtWindow {
public:
    QtWindow(const std::string& file, std::string folder)
        : dialogs_(file), scope_(&box_, &pump_, nullptr, &dialogs_), folder_(std::move(folder)) {
        wnd_.INIT();
        wnd_.attachView(&dialog_);
        wnd_.SETUP();
        dialog_.show();
        exposed_ = QTest::qWaitForWindowExposed(&dialog_);
    }
    ~QtWindow() {
        wnd_.engine.closeTextTable();
        wnd_.engine.closeFiles();
        dialog_.hide();
    }
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    bool exposed() const { return exposed_; }
    PRUEF_WND& logic() { return wnd_; }
    const AnsweringBox& boxes() const { return box_; }

    // A click where a person clicks: on a check box's box, on a button's middle.
    void click(Ctl c) {
        QWidget* target = dialog_.control(c);
        const QPoint at =
            qobject_cast<QCheckBox*>(target) ? QPoint(6, target->height() / 2) : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }
    bool enabled(Ctl c) const { return dialog_.control(c)->isEnabled(); }

    // "Datei" with the file, pop-ups off, the list as asked; false when the file was refused.
    bool choose(bool list) {
        settings().installPath = folder_;
        click(Ctl::OCCPSHDATEI);
        QCoreApplication::processEvents();
        // The delay stays at its start value 0: no wait between the records.
        if (!enabled(Ctl::OCCPSHSTART) || toNumber(wnd_.controls.text(Ctl::ODCTXT5)) != 0) return false;
        setBox(Ctl::ODCCHK3, false);
        setBox(Ctl::ODCCHK4, list);
        return !wnd_.controls.checked(Ctl::ODCCHK3) && wnd_.controls.checked(Ctl::ODCCHK4) == list;
    }

    // Clicks "Durchlauf Start" and returns the moments of the click and of its return.
    std::pair<Clock::time_point, Clock::time_point> run() {
        wnd_.engine.flushLog();
        box_.duringRun = true;
        const auto t0 = Clock::now();
        click(Ctl::OCCPSHSTART);
        const auto t1 = Clock::now();
        box_.duringRun = false;
        return {t0, t1};
    }

    // One whole pass; the seconds of the run, or a negative value when it failed.
    double pass(bool list) {
        if (!choose(list)) return -1;
        const auto [t0, t1] = run();
        const bool ok = !logic().run.stopRequest && box_.shownDuringRun == 0 && reachedEnd(folder_);
        return ok ? seconds(t0, t1) : -1;
    }

private:
    void setBox(Ctl c, bool on) {
        if (wnd_.controls.checked(c) != on) click(c);
    }

    AnsweringBox box_;
    qt::QtWindowServices pump_;
    GivenFile dialogs_;
    ServicesScope scope_;
    std::string folder_;
    PRUEF_WND wnd_;
    qt::PruefDialog dialog_{wnd_};
    bool exposed_ = false;
};

struct StopTimes {
    std::vector<double> latencyMs; // from the moment of the click to the end of the run
    std::vector<double> queuedMs;  // of that: until the run loop let the click through
    int missed = 0;                // the run had ended before the click came
};

// `count` runs from the beginning of the file, each stopped at a random moment between
// `fromMs` and `toMs` after its start.
bool measureStops(QtWindow& w, bool list, int count, int fromMs, int toMs, std::mt19937& random,
                  StopTimes& out) {
    if (!w.choose(list)) return false;
    std::uniform_int_distribution<int> delay(fromMs, toMs);
    for (int i = 0; i < count + 5 && static_cast<int>(out.latencyMs.size()) < count; ++i) {
        if (i > 0) w.click(Ctl::OCCPSHBOF);
        if (!w.enabled(Ctl::OCCPSHSTART)) return false;
        Clock::time_point clickAt{}, deliveredAt{};
        bool delivered = false;
        const int waitMs = delay(random);
        std::thread user([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
            clickAt = Clock::now();
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    deliveredAt = Clock::now();
                    delivered = true;
                    w.click(Ctl::OCCPSHSTOP);
                },
                Qt::QueuedConnection);
        });
        const Clock::time_point t1 = w.run().second;
        user.join();
        // A click that came after the run had ended finds "Stop" disabled.
        QCoreApplication::processEvents();
        // A stopped run stays where it stopped; one that reached the end shows the header.
        if (!delivered || deliveredAt > t1 || !w.logic().run.stopByUser || w.logic().run.recordCounter <= 2) {
            ++out.missed;
            continue;
        }
        out.latencyMs.push_back(1000.0 * seconds(clickAt, t1));
        out.queuedMs.push_back(1000.0 * seconds(clickAt, deliveredAt));
    }
    return static_cast<int>(out.latencyMs.size()) == count;
}

struct Throughput {
    std::vector<double> secs;
    double bestMBs(double mb) const { return mb / best(secs); }
    double medianMBs(double mb) const { return mb / median(secs); }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int stops = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    const std::string file = bench::runFile();
    if (!bench::ensureRunFile(file, kRecords)) return 1;
    const std::string base = withSeparator(fs::path(file).parent_path().string());
    const std::string headlessFolder = base + "qt-bench-headless/";
    const std::string windowFolder = base + "qt-bench-window/";
    fs::create_directories(headlessFolder);
    fs::create_directories(windowFolder);
    const double mb = static_cast<double>(fs::file_size(file)) / 1e6;

    RegistrySandbox registry;
    QApplication application(argc, argv);
    // The program's default style (the visual-styles setting off).
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(plain);

    appState() = AppState{};
    appState().programFolder = platform::currentFolder();
    appState().closeWithoutAsking = true;
    Settings& s = settings();
    s = Settings{};
    s.artiQuelle = base;
    s.waehrung = "EUR";
    s.lCode = "DE";
    s.nks = 2;
    s.uDatum = Date{std::chrono::year{2000}, std::chrono::month{1}, std::chrono::day{1}};
    s.oDatum = Date{std::chrono::year{2099}, std::chrono::month{12}, std::chrono::day{31}};
    s.startDlg = false;
    qt::QtSecondaryWindows secondary;
    ServicesScope secondaryScope({.secondary = &secondary});

    const std::string engineFile = utf8ToAnsi(file);
    HeadlessRun headless(engineFile, headlessFolder);
    QtWindow window(engineFile, windowFolder);
    if (!window.exposed()) {
        std::fprintf(stderr, "qt_run_bench: the window was not shown (platform %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }

    // A first pass over the file is slower (the heap and the caches are still cold); it
    // does not count.
    if (headless.pass() < 0) {
        std::fprintf(stderr, "qt_run_bench: the headless run did not reach the end of the file cleanly\n");
        return 1;
    }
    Throughput engine, off, on;
    for (int i = 0; i < passes; ++i) {
        const double h = headless.pass();
        const double a = window.pass(false);
        const double b = window.pass(true);
        if (h < 0 || a < 0 || b < 0) {
            std::fprintf(
                stderr, "qt_run_bench: a run did not reach the end of the file cleanly (%s%s%s)%s%s\n",
                h < 0 ? "headless " : "", a < 0 ? "list off " : "", b < 0 ? "list on" : "",
                window.boxes().shownDuringRun ? "; box: " : "", window.boxes().lastDuringRun.c_str());
            return 1;
        }
        engine.secs.push_back(h);
        off.secs.push_back(a);
        on.secs.push_back(b);
        std::fprintf(stderr, "pass %d: headless %.3f s, window list off %.3f s, list on %.3f s\n", i + 1, h,
                     a, b);
    }

    // Stops at moments inside the first 80 % of the shortest run of each kind.
    std::mt19937 random(20240115);
    StopTimes stopOff, stopOn;
    const int offTo = std::max(40, static_cast<int>(800.0 * best(off.secs)));
    const int onTo = std::max(40, static_cast<int>(800.0 * best(on.secs)));
    if (!measureStops(window, false, stops, 20, offTo, random, stopOff) ||
        !measureStops(window, true, stops, 20, onTo, random, stopOn)) {
        std::fprintf(stderr, "qt_run_bench: the stop runs could not be made (%d and %d missed)\n",
                     stopOff.missed, stopOn.missed);
        return 1;
    }

    const double records = static_cast<double>(kRecords);
    const double ratioBest = off.bestMBs(mb) / engine.bestMBs(mb);
    const double ratioMedian = off.medianMBs(mb) / engine.medianMBs(mb);
    std::printf("file                 %s (%.1f MB, %llu records)\n", file.c_str(), mb,
                static_cast<unsigned long long>(kRecords));
    std::printf("window               PruefDialog shown on the \"%s\" platform, style Windows; pop-ups off, "
                "delay 0\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("passes               %d of each kind, alternating; best / median\n", passes);
    std::printf("headless engine      %.3f / %.3f s   %.1f / %.1f MB/s   %.0f / %.0f records/s\n",
                best(engine.secs), median(engine.secs), engine.bestMBs(mb), engine.medianMBs(mb),
                records / best(engine.secs), records / median(engine.secs));
    std::printf("window, list off     %.3f / %.3f s   %.1f / %.1f MB/s   %.0f / %.0f records/s\n",
                best(off.secs), median(off.secs), off.bestMBs(mb), off.medianMBs(mb),
                records / best(off.secs), records / median(off.secs));
    std::printf("  / headless         %.2f / %.2f (goal >= 0.50)\n", ratioBest, ratioMedian);
    std::printf(
        "window, list on      %.3f / %.3f s   %.1f / %.1f MB/s   %.0f / %.0f records/s (goal >= 50000)\n",
        best(on.secs), median(on.secs), on.bestMBs(mb), on.medianMBs(mb), records / best(on.secs),
        records / median(on.secs));
    std::printf("  the field checks fill the list with the fields of every record\n");
    const auto printStops = [](const char* label, const StopTimes& t, int to) {
        std::printf(
            "stop, %-14s %zu stops at random 20..%d ms into the run: click to end of run median %.1f ms, "
            "max %.1f ms (goal < 100); until the loop took the click median %.1f ms, max %.1f ms\n",
            label, t.latencyMs.size(), to, median(t.latencyMs), worst(t.latencyMs), median(t.queuedMs),
            worst(t.queuedMs));
    };
    printStops("list off", stopOff, offTo);
    printStops("list on", stopOn, onTo);

    const bool met = ratioBest >= 0.5 && records / best(on.secs) >= 50'000 &&
                     worst(stopOff.latencyMs) < 100 && worst(stopOn.latencyMs) < 100;
    return met ? 0 : 3;
}
