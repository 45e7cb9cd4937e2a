// The generator's file and memory outputs and the demo set.
#include "tools/gen/Generator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace arti::gen {

bool generateFile(const FileRecipe& want, const std::string& path, Report& report, std::string& error) {
    if (std::string why = checkFileRecipe(want); !why.empty()) {
        error = why;
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    int writeErrno = 0;
    const Sink sink = [&](std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size()) return true;
        writeErrno = errno;
        return false;
    };
    bool ok = generate(want, sink, report, error);
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        writeErrno = errno;
    }
    if (!ok) {
        if (writeErrno != 0) error = path + ": " + std::strerror(writeErrno);
        // A cut-off file would look like a file with faults nobody asked for.
        std::remove(path.c_str());
    }
    return ok;
}

std::string generateBytes(const FileRecipe& want, Report* report) {
    std::string out;
    Report r;
    std::string error;
    const Sink sink = [&](std::string_view bytes) {
        out.append(bytes);
        return true;
    };
    if (!generate(want, sink, r, error)) throw std::runtime_error(error);
    if (report) *report = r;
    return out;
}

namespace {

struct DemoFile {
    const char* name;
    Version version;
    const char* types;
    std::uint64_t records;
    Fault fault;
};

constexpr DemoFile kDemoFiles[] = {
    {"ELDANORM_0590_ARTIKEL.001", Version::V0590, "ABZ", 40, Fault::None},
    {"ELDANORM_0590_PREISE.001", Version::V0590, "P", 12, Fault::None},
    {"ELDANORM_0196_ARTIKEL.001", Version::V0196, "ABDTZ", 60, Fault::None},
    {"ELDANORM_0196_RABATT.001", Version::V0196, "R", 15, Fault::None},
    {"ELDANORM_2000_ARTIKEL.001", Version::V2000, "IHPTZK", 60, Fault::None},
    {"ELDANORM_2000_WARENGRUPPEN.001", Version::V2000, "W", 15, Fault::None},
    {"ELDANORM_0590_FEHLER_ENDEMARKE.001", Version::V0590, "ABZ", 20, Fault::MissingEndMark},
    {"ELDANORM_0196_FEHLER_SATZLAENGE.001", Version::V0196, "ABDTZ", 40, Fault::WrongLength},
    {"ELDANORM_2000_FEHLER_REIHENFOLGE.001", Version::V2000, "IHPTZK", 40, Fault::BrokenOrder},
};

} // namespace

bool writeDemoFiles(const std::string& folder, const Date& date, std::vector<std::string>& written,
                    std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    std::uint64_t seed = 1;
    for (const DemoFile& d : kDemoFiles) {
        FileRecipe want;
        want.version = d.version;
        want.types = d.types;
        want.records = d.records;
        want.fault = d.fault;
        want.seed = seed++;
        want.date = date;
        const std::string path = (std::filesystem::path(folder) / d.name).string();
        Report report;
        if (!generateFile(want, path, report, error)) return false;
        written.push_back(path);
    }
    return true;
}

} // namespace arti::gen
