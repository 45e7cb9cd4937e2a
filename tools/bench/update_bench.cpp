// update_bench [MB] [passes]: downloads a signed installer (default 100 MB) from a
// loopback HTTPS site made in $ARTI_BENCH_DIR/update (default /tmp/artiscope-bench/update)
// through the update's download with its wait window on the offscreen Qt platform, and
// prints its speed against the curl command on the same file (the goal: at least half
// of it), the best of the passes each, and the longest time the wait window went
// without repainting during the download (the goal: at most 100 ms).
#include "core/AppState.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "tools/loopback/LoopbackSite.h"
#include "update/InternetUpdate.h"
#include "update/Signature.h"
#include "update/WinHttp.h"
#include "views/qt/QtSecondaryWindows.h"
#include "views/qt/WaitDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The longest gap between two paints of the wait window.
class PaintGaps final : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::Paint && target->isWidgetType()) {
            auto* w = static_cast<QWidget*>(target);
            if (qobject_cast<arti::qt::WaitDialog*>(w->window())) {
                const auto now = Clock::now();
                if (painted_) longest = std::max(longest, now - last_);
                last_ = now;
                painted_ = true;
            }
        }
        return false;
    }
    void reset() {
        painted_ = false;
        longest = {};
    }
    Clock::duration longest{};

private:
    Clock::time_point last_{};
    bool painted_ = false;
};

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const long mb = argc > 1 ? std::atol(argv[1]) : 100;
    const int passes = argc > 2 ? std::atoi(argv[2]) : 3;
    const char* base = std::getenv("ARTI_BENCH_DIR");
    const std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp/artiscope-bench") / "update";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "registry");
    std::filesystem::create_directories(dir / "program");
    setenv("ARTISCOPE_REGISTRY_DIR", (dir / "registry").c_str(), 1);

    QApplication app(argc, argv);
    arti::loopback::Site site(ARTI_SOURCE_DIR "/tools/loopback", dir / "site");
    std::string installer(static_cast<std::size_t>(mb) << 20, '\0');
    // Bytes like those of a compressed installer: every value, in no order ("<" of the
    // HTML test every 256 bytes on average).
    std::uint64_t x = 0x9e3779b97f4a7c15u;
    for (char& c : installer) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        c = static_cast<char>(x >> 56);
    }
    site.put("bench/assetup.exe", installer);
    site.sign("bench/assetup.exe", "file:ASSetup.exe date:20270115");
    arti::appState().programFolder = (dir / "program").string() + "/";
    std::filesystem::copy_file(site.publicKey(), arti::updateKeyFile());
    arti::SAVEREG_EINZELWERT(nullptr, "HKCU", "", "CAFile", site.authority().string());

    const std::string url = "https://" + site.host("good") + "/bench/assetup.exe";
    const std::string folder = (dir / "download").string() + "/";
    std::filesystem::create_directories(folder);
    // curl into a file of the download folder, as a download is kept, and into nothing.
    const auto curl = [&](const std::string& output) {
        Clock::duration best = Clock::duration::max();
        for (int i = 0; i < passes; ++i) {
            std::filesystem::remove(folder + "curl.exe");
            const auto start = Clock::now();
            const std::string command =
                "curl -sf -o '" + output + "' --cacert '" + site.authority().string() + "' '" + url + "'";
            if (std::system(command.c_str()) != 0) {
                std::cerr << "curl fehlgeschlagen: " << command << "\n";
                std::exit(1);
            }
            best = std::min(best, Clock::now() - start);
        }
        return best;
    };
    const Clock::duration curlBest = curl(folder + "curl.exe");
    const Clock::duration curlNull = curl("/dev/null");

    // The client alone, without window, tests and file.
    Clock::duration clientBest = Clock::duration::max();
    for (int i = 0; i < passes; ++i) {
        arti::WINHTTP client;
        client.USESSL(true);
        client.CAFILE(site.authority().string());
        const auto start = Clock::now();
        if (client.GETURL(site.host("good"), "/bench/assetup.exe").size() != installer.size()) {
            std::cerr << "GETURL fehlgeschlagen: " << client.ERRORMESSAGE() << "\n";
            return 1;
        }
        clientBest = std::min(clientBest, Clock::now() - start);
    }

    // A refused download is reported on standard error and ends the benchmark.
    arti::HeadlessMessageBox boxes;
    arti::qt::QtWindowServices pump;
    arti::qt::QtSecondaryWindows windows;
    arti::ServicesScope scope({.box = &boxes, .window = &pump, .secondary = &windows});
    PaintGaps gaps;
    app.installEventFilter(&gaps);
    const arti::AnnouncedRelease announced{20270115};
    Clock::duration oursBest = Clock::duration::max();
    std::vector<Clock::duration> passGaps;
    for (int i = 0; i < passes; ++i) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        gaps.reset();
        const auto start = Clock::now();
        if (!arti::DOWNLOAD_DATEI(nullptr, site.host("good"), "/bench/assetup.exe", folder, "ASSetup.exe",
                                  &announced)) {
            std::cerr << "Download fehlgeschlagen\n";
            return 1;
        }
        oursBest = std::min(oursBest, Clock::now() - start);
        passGaps.push_back(gaps.longest);
    }
    const double mbytes = static_cast<double>(mb);
    const double curlRate = mbytes / seconds(curlBest);
    const double ourRate = mbytes / seconds(oursBest);
    std::printf("curl -o DATEI:  %6.1f MB/s (%.2f s)\n", curlRate, seconds(curlBest));
    std::printf("curl -o /dev/null: %6.1f MB/s (%.2f s)\n", mbytes / seconds(curlNull), seconds(curlNull));
    std::printf("WINHTTP GETURL: %6.1f MB/s (%.2f s)\n", mbytes / seconds(clientBest), seconds(clientBest));
    std::printf("DOWNLOAD_DATEI: %6.1f MB/s (%.2f s, mit Signaturprüfung und Schreiben) = %.0f %% von curl "
                "-o DATEI, Ziel >= 50 %%\n",
                ourRate, seconds(oursBest), 100.0 * ourRate / curlRate);
    std::printf("längste Zeit ohne Neuzeichnen des Wartefensters je Durchgang:");
    for (const Clock::duration& gap : passGaps)
        std::printf(" %.0f ms", std::chrono::duration<double, std::milli>(gap).count());
    std::printf(", Ziel <= 100 ms\n");
    return 0;
}
