// The whole check run over arbitrary bytes, as the command-line checker drives the main
// window's logic: file choice, switches, "Durchlauf Start", log.
//
// Input: two control bytes, then the data file.
//   byte 0, bit 0 field checks, 1 pop-ups, 2 findings list, 3 ASCII check off,
//           bits 4-7 the answers: go on after a length fault, delete the long texts of an
//           earlier run, widen the date window, adopt another currency.
//   byte 1, bit 0 check the file twice (the second run meets the long texts of the first),
//           bit 1 a date window that leaves out the generator's header date.
// The data file and the user data folder lie in a scratch folder that is emptied after
// every input; the registry writes of the file choice go to a scratch folder too.
#include "cli/FileCheck.h"
#include "tools/fuzz/FuzzSupport.h"

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace arti;
using arti::fuzz::Bytes;
using arti::fuzz::Scratch;

cli::CheckParameters parameters(std::uint8_t switches, std::uint8_t more) {
    cli::CheckParameters p;
    p.fieldChecks = (switches & 0x01) != 0;
    p.popups = (switches & 0x02) != 0;
    p.listDisplay = (switches & 0x04) != 0;
    p.asciiCheckOff = (switches & 0x08) != 0;
    p.answers.continueAfterLengthFault = (switches & 0x10) != 0;
    p.answers.deleteOldTexts = (switches & 0x20) != 0;
    p.answers.widenDateWindow = (switches & 0x40) != 0;
    p.answers.adoptCurrency = (switches & 0x80) != 0;
    using namespace std::chrono;
    // The generator dates its headers 15.01.2024.
    if (more & 0x02) {
        p.dateFrom = year{2030} / 1 / 1;
        p.dateTo = year{2030} / 12 / 31;
    } else {
        p.dateFrom = year{2023} / 12 / 16;
        p.dateTo = year{2024} / 2 / 14;
    }
    return p;
}

void expectSound(const cli::FileResult& r, const std::string& dataFolder) {
    // Every file operation of the check is on a scratch folder of ours: none may fail.
    ARTI_FUZZ_EXPECT(r.outcome != cli::Outcome::IoError, r.reason);
    ARTI_FUZZ_EXPECT(r.outcome != cli::Outcome::Missing, r.reason);
    ARTI_FUZZ_EXPECT(r.outcome != cli::Outcome::Interrupted, r.reason);
    ARTI_FUZZ_EXPECT(r.bytes <= r.fileSize, std::to_string(r.bytes) + " of " + std::to_string(r.fileSize));
    ARTI_FUZZ_EXPECT(fs::exists(fs::path(dataFolder) / "Error.log"), dataFolder);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path registry = Scratch::get().fresh("registry");
    setenv("ARTISCOPE_REGISTRY_DIR", registry.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t switches = in.byte();
    const std::uint8_t more = in.byte();
    const fs::path work = Scratch::get().fresh("run");
    const fs::path source = work / "ELDANORM.DAT";
    const fs::path userData = work / "daten";
    fs::create_directories(userData);
    const std::string file = in.rest();
    arti::fuzz::writeFile(source, file);

    const cli::CheckParameters p = parameters(switches, more);
    const cli::RunEnvironment env{};
    const int descriptors = arti::fuzz::openDescriptors();
    for (int pass = 0; pass < ((more & 0x01) ? 2 : 1); ++pass) {
        const cli::FileResult r = cli::checkFile(source.string(), userData.string(), p, env);
        expectSound(r, userData.string());
    }
    ARTI_FUZZ_EXPECT(arti::fuzz::openDescriptors() == descriptors, "a file of the check stayed open");
    // The check opens the data file read-write for the field editor but never writes it.
    ARTI_FUZZ_EXPECT(arti::fuzz::readFile(source) == file, "the check changed the data file");
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
