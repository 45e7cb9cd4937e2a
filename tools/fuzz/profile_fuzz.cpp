// Profile (INI) files: arbitrary bytes are parsed, written back and parsed again; the
// sections, keys and values must survive, in memory and through a file, and must read
// the same through INIFILE. Then one entry named by the input's last bytes is written and
// must read back as a reader sees it. The file part is made for one input in four.
//
// Every line keeps its own line end through a rewrite, runs of CRs included, so the
// bytes are taken as they are.
#include "platform/ProfileFile.h"
#include "settings/IniFile.h"
#include "tools/fuzz/FuzzSupport.h"

namespace {

using arti::INIFILE;
using arti::platform::ProfileDocument;

// What a reader gets for a value written as it is: blanks and tabs around it cut, and
// one pair of matching quotes taken off.
std::string asRead(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t'))
        v.remove_suffix(1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

void expectSameEntries(const ProfileDocument& a, const ProfileDocument& b, const char* where) {
    const auto sections = a.sectionNames();
    ARTI_FUZZ_EXPECT(sections == b.sectionNames(), where);
    for (const std::string& s : sections) {
        const auto keys = a.keys(s);
        ARTI_FUZZ_EXPECT(keys == b.keys(s), std::string(where) + " [" + s + "]");
        for (const std::string& k : keys)
            ARTI_FUZZ_EXPECT(a.get(s, k) == b.get(s, k), std::string(where) + " " + k);
    }
}

// The entries as INIFILE reads them from the file (the first few: each read is a load).
void expectIniFileReads(const ProfileDocument& doc, const std::string& path) {
    const INIFILE ini(path);
    int reads = 0;
    for (const std::string& s : doc.sectionNames()) {
        std::size_t listed = 0;
        for (const std::string& k : doc.keys(s)) {
            std::string v = *doc.get(s, k);
            if (v.size() > 4095) v.resize(4095);
            if (++reads <= 4) ARTI_FUZZ_EXPECT(ini.GETSTRING(s, k) == v, "GETSTRING " + k);
            listed += k.size() + 1;
        }
        if (listed < 8000 && ++reads <= 6)
            ARTI_FUZZ_EXPECT(ini.GETSECTION(s) == doc.keys(s), "GETSECTION " + s);
    }
}

// One entry written through INIFILE: section, key and value are cut from `line` at its
// first two '|'. Names or a value a profile file cannot hold must be refused.
void writeEntry(const std::string& path, std::string_view line) {
    const auto bar1 = line.find('|');
    const auto bar2 = bar1 == std::string_view::npos ? bar1 : line.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos) return;
    const std::string_view section = line.substr(0, bar1);
    const std::string_view key = line.substr(bar1 + 1, bar2 - bar1 - 1);
    const std::string_view value = line.substr(bar2 + 1);
    const bool valid = ProfileDocument::validSectionName(section) && ProfileDocument::validKeyName(key) &&
                       ProfileDocument::validValue(value);
    INIFILE ini(path);
    ARTI_FUZZ_EXPECT(ini.WRITESTRING(section, key, value) == valid, "WRITESTRING");
    if (!valid) return;
    std::string want = asRead(value);
    if (want.size() > 4095) want.resize(4095);
    ARTI_FUZZ_EXPECT(ini.GETSTRING(section, key) == want, "GETSTRING after WRITESTRING");
    ProfileDocument again;
    ARTI_FUZZ_EXPECT(again.load(path) == ProfileDocument::LoadStatus::Loaded, "load after WRITESTRING");
    ProfileDocument twice;
    ARTI_FUZZ_EXPECT(twice.parse(again.text()), "parse after WRITESTRING");
    expectSameEntries(again, twice, "rewrite after WRITESTRING");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string bytes(raw);
    ProfileDocument first;
    if (!first.parse(bytes)) {
        ARTI_FUZZ_EXPECT(bytes.find('\0') != std::string::npos, "refused without a NUL byte");
        return 0;
    }
    const std::string text = first.text();
    ProfileDocument second;
    ARTI_FUZZ_EXPECT(second.parse(text), "the rewrite does not parse");
    expectSameEntries(first, second, "rewrite");
    ARTI_FUZZ_EXPECT(second.text() == text, "a second rewrite changes the text");

    // The file round trip costs many times the parsing: it is made for one input in four,
    // chosen by the input's bytes so that a finding replays.
    unsigned sum = 0;
    for (unsigned char c : raw)
        sum += c;
    if (sum % 4 != 0) return 0;
    static const std::string path = (arti::fuzz::Scratch::get().fresh("ini") / "fuzz.ini").string();
    ::unlink(path.c_str());
    ARTI_FUZZ_EXPECT(first.save(path), path);
    ProfileDocument loaded;
    ARTI_FUZZ_EXPECT(loaded.load(path) == ProfileDocument::LoadStatus::Loaded, path);
    ARTI_FUZZ_EXPECT(loaded.text() == text, "the saved file reads back otherwise");
    expectIniFileReads(first, path);

    // The entry to write: the text behind the last line break of the input.
    const auto nl = raw.rfind('\n');
    writeEntry(path, nl == std::string_view::npos ? std::string_view() : raw.substr(nl + 1));
    return 0;
}
