// Random edits through the field window on generated files of each version: a save
// changes at most the field's bytes and never the file's length; a refused save (the
// file changed since the record was read, NUL replacement, separator, line end, length)
// leaves the file byte-identical.
#include "core/Oem.h"
#include "tests/support/ListedFields.h"
#include "tests/views/ViewerFixture.h"
#include "views/FeldWnd.h"

#include <random>

using namespace arti;
using namespace arti::test;

namespace {

constexpr int kEditsPerVersion = 10000;
constexpr int kRecords = 40;

class FeldSaveProperty : public ViewerFixture {
protected:
    FeldSaveProperty() { box_.onUnexpected = nullptr; } // decoding boxes are not the subject here

    std::string randomText(std::size_t n, bool wild) {
        // Umlauts, the euro sign (not in code page 850), and with `wild` the NUL
        // replacement, the separator, line ends and a zero byte.
        static const std::string tame = "ABCxyz0123456789 .,-/" + utf8ToAnsi("äöüÄÖÜß€µ");
        const std::string pool = wild ? tame + ";\r\n" + nulAsShown(run_) + std::string(1, '\0') : tame;
        std::string t;
        for (std::size_t i = 0; i < n; ++i)
            t += pool[pick(pool.size())];
        return t;
    }
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    // The file's records with their offsets, as raw lines without CR LF.
    std::vector<std::pair<long long, std::string>> writeFile(Version v, bool oem) {
        std::vector<std::pair<long long, std::string>> records;
        std::string bytes;
        for (int r = 0; r < kRecords; ++r) {
            std::string rec;
            if (v == Version::V2000) {
                rec = "B";
                for (std::size_t f = 0, n = 2 + pick(12); f < n; ++f)
                    rec += ";" + randomText(pick(15), false);
            } else {
                rec = "B" + randomText(127, false);
                if (v == Version::V0590 && pick(3) == 0) rec[1 + pick(127)] = '\0';
            }
            if (oem) ansiToOem(rec);
            records.emplace_back(static_cast<long long>(bytes.size()), rec);
            bytes += rec + "\r\n";
        }
        openFile(bytes, v, oem);
        run_.separator = ";";
        return records;
    }

    // The record as the reader shows it to the window.
    std::string asRead(std::string raw) const {
        if (run_.version == Version::V0590)
            for (char& c : raw)
                if (c == '\0') c = run_.CCHR0_[0];
        if (run_.LASCII_) oemToAnsi(raw);
        return raw;
    }

    std::mt19937 rng_{20261209};
};

TEST_F(FeldSaveProperty, EditsTouchOnlyTheirField) {
    const char* names[] = {"Bezeichnung 1", "Mengeneinheit", "Preis", "Reserve", "Preis, kl", "Matchcode"};
    for (const Version v : {Version::V0590, Version::V0196, Version::V2000}) {
        SCOPED_TRACE(versionText(v));
        int saved = 0, refused = 0;
        for (int half = 0; half < 2; ++half) {
            const auto records = writeFile(v, half == 1);
            for (int i = 0; i < kEditsPerVersion / 2; ++i) {
                // The record as the file holds it now (earlier saves changed it).
                const auto& [offset, raw] = records[pick(records.size())];
                const std::string rec =
                    asRead(fileBytes().substr(static_cast<std::size_t>(offset), raw.size()));
                std::size_t pos = 0, len = 0;
                if (v == Version::V2000) {
                    std::vector<std::size_t> starts{0};
                    for (std::size_t at = 0; (at = rec.find(';', at)) != std::string::npos; ++at)
                        starts.push_back(at + 1);
                    pos = starts[pick(starts.size())] + 1;
                    len = std::min(rec.find(';', pos - 1), rec.size()) - (pos - 1);
                } else {
                    pos = 1 + pick(128);
                    len = 1 + pick(std::min<std::size_t>(20, 129 - pos));
                }
                const std::string content = rec.substr(pos - 1, len);
                run_.NZEIGER_ = offset;
                FELD_WND wnd(main_, run_);
                wnd.SETUP(listedField(content, names[pick(std::size(names))], std::to_string(len),
                                      pick(2) ? "A" : "N", pick(4) ? "K" : "M",
                                      static_cast<std::uint32_t>(pos), 2),
                          "B", nulAsShown(run_));
                wnd.EDITCHANGE(randomText(pick(len + 4), pick(4) == 0));
                if (pick(2)) wnd.EDITFOCUSCHANGE(false);
                const bool external = len > 0 && pick(10) == 0;
                if (external) {
                    std::fstream f(path_, std::ios::binary | std::ios::in | std::ios::out);
                    const long long at = offset + static_cast<long long>(pos - 1 + pick(len));
                    f.seekg(at);
                    const char old = static_cast<char>(f.get());
                    f.seekp(at);
                    f.put(old == 'x' ? 'y' : 'x');
                }
                const std::string before = fileBytes();
                const int reads = main_.reads;
                wnd.PSHSAVE();
                const std::string after = fileBytes();
                ASSERT_EQ(after.size(), before.size());
                if (main_.reads == reads) {
                    ASSERT_EQ(after, before) << "refused save changed the file";
                    ++refused;
                    continue;
                }
                ASSERT_FALSE(external) << "saved over a field changed since it was read " << versionText(v)
                                       << " pos " << pos << " len " << len << " [" << content << "] ["
                                       << before.substr(static_cast<std::size_t>(offset) + pos - 1, len)
                                       << "] -> [" << wnd.editText() << "]";
                const std::size_t at = static_cast<std::size_t>(offset) + pos - 1;
                ASSERT_EQ(after.substr(0, at), before.substr(0, at));
                ASSERT_EQ(after.substr(at + len), before.substr(at + len));
                ASSERT_EQ(after.substr(at, len),
                          run_.LASCII_ ? ansiToOemCopy(wnd.editText()) : wnd.editText());
                ++saved;
            }
        }
        EXPECT_GT(saved, kEditsPerVersion / 10);
        EXPECT_GT(refused, kEditsPerVersion / 10);
    }
}

} // namespace
