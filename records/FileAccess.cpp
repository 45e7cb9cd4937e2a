#include "records/FileAccess.h"

#include "core/Oem.h"
#include "core/Text.h"
#include "records/IoFailure.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti {

using namespace literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr const char* kReadErrorTitle = "Lese-Fehler in Binär-Datei !";
constexpr const char* kWriteErrorTitle = "Schreib-Fehler in Binär-Datei !";

void showError(Owner owner, const std::string& text) {
    box().error(owner, kFileErrorCaption, text);
}

// The file error box of a failed operation, and the failure handed on as a value.
void failed(Owner owner, IoOperation operation, FileHandle handle, int code, const std::string& fileName,
            const std::string& title) {
    DOS_ERRORBOX(owner, code, fileName, title);
    reportIoFailure(
        IoFailure{operation, handle, fileName, dosErrorText(code), dosErrorMessage(code, fileName, title)});
}

// A refused record: the user is told, and the check run stops before its next record.
std::string refuse(Owner owner, const std::string& text) {
    showError(owner, text);
    reportIoStop(IoStop::RecordRefused);
    return {};
}

// What a block holds that its reading must deal with: a NUL byte or the end-of-file mark
// (`special`), and bytes above 127, which the OEM conversion changes (`high`). One pass
// for both: nearly every record has neither, and this runs for every block of a large
// file. Sixteen bytes are looked at once where the processor can, else eight at a time in
// a word (a NUL is a zero byte of x, an end mark one of x ^ 0x1A..1A).
struct BlockBytes {
    bool special = false;
    bool high = false;
};

BlockBytes scanBlock(std::string_view s) {
    const char* p = s.data();
    std::size_t n = s.size();
    BlockBytes found;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i mark = _mm_set1_epi8(kEndOfFileMark);
    __m128i special = zero;
    __m128i any = zero;
    const auto take = [&](const char* at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        special = _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(x, zero), _mm_cmpeq_epi8(x, mark)));
        any = _mm_or_si128(any, x);
    };
    if (n >= 16) {
        for (; n >= 16; p += 16, n -= 16)
            take(p);
        // The last bytes: the text's last sixteen (looked at twice does not matter).
        if (n > 0) take(p + n - 16);
        n = 0;
    }
    found.special = _mm_movemask_epi8(special) != 0;
    found.high = _mm_movemask_epi8(any) != 0;
#endif
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x8080808080808080ULL;
    constexpr std::uint64_t kMarks = kOnes * static_cast<unsigned char>(kEndOfFileMark);
    const auto hasZeroByte = [](std::uint64_t x) { return ((x - kOnes) & ~x & kTops) != 0; };
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        found.special = found.special || hasZeroByte(x) || hasZeroByte(x ^ kMarks);
        found.high = found.high || (x & kTops) != 0;
    }
    for (; n > 0; ++p, --n) {
        found.special = found.special || *p == 0 || *p == kEndOfFileMark;
        found.high = found.high || (static_cast<unsigned char>(*p) & 0x80) != 0;
    }
    return found;
}

bool endsWithCrLf(std::string_view s) {
    return s.size() >= 2 && s.substr(s.size() - 2) == kCrLf;
}

bool onlyBlankOrLineEnds(std::string_view s) {
    for (const char c : s) // mostly decided by the first byte
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

void replaceNul(std::string& buf, const std::string& replacement) {
    if (replacement.size() == 1) {
        // Eight bytes at a time: the zero bytes of a word are found exactly (no carry
        // crosses a byte) and replaced through a byte mask.
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
        const std::uint64_t with = 0x0101010101010101ULL * static_cast<unsigned char>(replacement[0]);
        char* p = buf.data();
        std::size_t n = buf.size();
        for (; n >= 8; p += 8, n -= 8) {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x) & ~kLow7;
            if (zero == 0) continue;
            const std::uint64_t bytes = (zero >> 7) * 0xFF;
            x = (x & ~bytes) | (with & bytes);
            std::memcpy(p, &x, 8);
        }
        for (; n > 0; ++p, --n)
            if (*p == '\0') *p = replacement[0];
        return;
    }
    std::string out;
    out.reserve(buf.size() + replacement.size());
    for (char c : buf) {
        if (c == '\0')
            out += replacement;
        else
            out += c;
    }
    buf.swap(out);
}

// Reads `count` bytes into a buffer of as many blanks. Returns the DOS code of a failure.
int readBlock(FileHandle handle, std::size_t count, std::string& buf) {
    BufferedFile* f = files::find(handle);
    if (!f) return platform::dos::kInvalidHandle;
    IoResult r;
    try {
        r = f->readPadded(buf, count);
    } catch (const std::exception&) {
        r.error = platform::dos::kNotEnoughMemory;
    }
    files::setError(r.error);
    return r.error;
}

std::string missingCrLfText(long long positionAfter, std::string_view buf) {
    const auto code = [&](std::size_t i) { return static_cast<unsigned char>(buf[i]); };
    const std::size_t n = buf.size();
    const unsigned v1 = n >= 2 ? code(n - 2) : 0;
    const unsigned v2 = n >= 1 ? code(n - 1) : 0;
    std::string t =
        "Warnung ! Satz-ENDE-Marke 0D0A nicht erkannt !\r\nbei Byte " + plainNumber(positionAfter - 2);
    t += "\r\ngelesener Wert1 ist Dezimal " + plainNumber(v1) + " = Hex " + hexNumber(v1);
    t += "\r\ngelesener Wert2 ist Dezimal " + plainNumber(v2) + " = Hex " + hexNumber(v2);
    t += "\r\n>";
    t += buf.substr(0, 65);
    t += "\r\n";
    if (n > 65) t += buf.substr(65);
    t += "<\r\n\r\nAbbruch des Lesevorganges";
    return t;
}

// The record checks of a block read, in the order the refusals are reported: true when
// the block passes, else the refusal is shown and the block emptied.
bool checkedBlock(Owner owner, FileHandle handle, std::string& buf, bool mayHoldEndMark) {
    const auto refused = [&](const std::string& text) {
        refuse(owner, text);
        buf.clear();
        return false;
    };
    const bool crLfAtEnd = endsWithCrLf(buf);
    if (!crLfAtEnd && buf.find(kCrLf) != std::string::npos)
        return refused("Warnung !  Fehlerhafter Satz\r\n\r\nCRLF nicht am Ende, Abbruch des Lesevorganges");
    if (mayHoldEndMark && buf.find(kEndOfFileMark) != std::string::npos)
        return refused("Datei-ENDE-Marke 1A innerhalb des Puffers erkannt !\r\nbei Byte " +
                       plainNumber(FTELL(handle)) + "\r\n\r\nAbbruch des Lesevorganges");
    if (!crLfAtEnd) return refused(missingCrLfText(FTELL(handle), buf));
    if (onlyBlankOrLineEnds(buf))
        return refused("Warnung !  Kein Satz-Inhalt !\r\n\r\nAbbruch des Lesevorganges");
    return true;
}

std::string lengthErrorText(std::string_view data, std::size_t length) {
    std::string t = "Satz-Längen-Fehler\r\nPuffer >"_ansi;
    t += data.substr(0, 64);
    t += "\r\n";
    if (data.size() > 64) t += data.substr(64);
    t += "\r\nPufferlänge >"_ansi + plainNumber(static_cast<long long>(data.size())) + " Bytes";
    t += "\r\nStringlänge >"_ansi + plainNumber(static_cast<long long>(length));
    return t;
}

bool fileExists(const std::string& fileName) {
    return platform::fileIdentity(systemPath(fileName)).has_value();
}

} // namespace

FileHandle BIN_OPEN(Owner owner, const std::string& fileName, int mode) {
    const FileHandle h = FOPEN(fileName, mode);
    if (h == 0) failed(owner, IoOperation::Open, 0, FERROR(), fileName, "Datei-Öffnungs-Fehler !"_ansi);
    return h;
}

void BIN_LES(Owner owner, FileHandle handle, std::size_t byteCount, std::size_t /*expectedLength*/, bool oem,
             const std::string& nulReplacement, std::string& buf) {
    if (readBlock(handle, byteCount, buf) != 0) {
        failed(owner, IoOperation::Read, handle, FERROR(), {}, utf8ToAnsi(kReadErrorTitle));
        buf.clear();
        return;
    }
    // The OEM conversion maps no byte to 26 or away from it, and a NUL replacement only
    // acts when `special` is set: a block without either needs neither scan again.
    const BlockBytes bytes = scanBlock(buf);
    const bool special = bytes.special;
    // The conversion keeps NUL bytes and maps no other byte to NUL, and it goes byte by
    // byte: converting the block first and putting the converted replacement in place of
    // each NUL gives what replacing first and converting then gives, without converting
    // the replacement at every place (a code-0 filler is a byte above 127).
    if (oem && bytes.high) oemToAnsi(buf); // bytes below 128 stay as they are
    if (special && !nulReplacement.empty())
        replaceNul(buf, oem ? oemToAnsiCopy(nulReplacement) : nulReplacement);
    if (buf.empty() || buf == std::string_view(&kEndOfFileMark, 1) || byteCount == 1) return;
    checkedBlock(owner, handle, buf, special);
}

std::string BIN_LES(Owner owner, FileHandle handle, std::size_t byteCount, std::size_t expectedLength,
                    bool oem, const std::string& nulReplacement) {
    std::string buf;
    BIN_LES(owner, handle, byteCount, expectedLength, oem, nulReplacement, buf);
    return buf;
}

bool readRecordLine(Owner owner, FileHandle handle, BufferedFile* file, std::size_t maxLength, bool oem,
                    std::string& line) {
    int err = platform::dos::kInvalidHandle;
    if (file) {
        file->readLine(line, maxLength, err);
        files::setError(err);
    }
    if (err != 0) {
        failed(owner, IoOperation::Read, handle, FERROR(), {}, utf8ToAnsi(kReadErrorTitle));
        line.clear();
        return false;
    }
    if (oem) oemToAnsi(line);
    return true;
}

void STRING_LES(Owner owner, FileHandle handle, std::size_t maxLength, std::size_t /*expectedLength*/,
                bool oem, std::string& line) {
    line.clear();
    if (readRecordLine(owner, handle, files::find(handle), maxLength, oem, line))
        windowServices().processMessages();
}

std::string STRING_LES(Owner owner, FileHandle handle, std::size_t maxLength, std::size_t expectedLength,
                       bool oem) {
    std::string line;
    STRING_LES(owner, handle, maxLength, expectedLength, oem, line);
    return line;
}

bool BIN_W(Owner owner, FileHandle handle, const std::string& data, std::size_t length, bool oem) {
    const std::size_t n = length == 0 ? data.size() : length;
    if (n > data.size()) {
        // Never write bytes the caller does not have: refused before anything is written.
        reportIoStop(IoStop::WriteRefused);
        showError(owner, lengthErrorText(data, n));
        return false;
    }
    std::string converted;
    std::string_view out(data.data(), n);
    if (oem) {
        converted = ansiToOemCopy(out);
        out = converted;
    }
    IoResult r{0, platform::dos::kInvalidHandle};
    if (BufferedFile* f = files::find(handle)) r = files::write(*f, out.data(), out.size());
    if (r.bytes == n) return true;
    reportIoStop(IoStop::WriteFailed);
    if (r.error != 0)
        failed(owner, IoOperation::Write, handle, r.error, {}, utf8ToAnsi(kWriteErrorTitle));
    else
        showError(owner, lengthErrorText(data, n));
    return false;
}

std::string READ_STREAM(Owner owner, const std::string& fileName, std::optional<std::size_t> byteCount,
                        bool oem) {
    const FileHandle h = FOPEN(fileName, FO_READ);
    if (h == 0) {
        DOS_ERRORBOX(owner, FERROR(), {}, "Datei-Öffnungsfehler !"_ansi);
        return {};
    }
    std::size_t count = 0;
    if (byteCount) {
        count = *byteCount;
    } else {
        const long long len = FLENGTH(h);
        count = len > 0 ? static_cast<std::size_t>(len) : 0;
    }
    std::string content = FERROR() == 0 ? FREADSTR(h, count) : std::string();
    const int err = FERROR();
    FCLOSE(h); // closed on the error path too
    if (err != 0) {
        DOS_ERRORBOX(owner, err, {}, "Datei-Lesefehler !");
        return {};
    }
    if (oem) oemToAnsi(content);
    return content;
}

bool WRITE_STREAM(Owner owner, const std::string& data, const std::string& fileName, bool oem,
                  bool overwrite) {
    const bool create = overwrite || !fileExists(fileName);
    const FileHandle h = create ? FCREATE(fileName) : FOPEN(fileName, FO_READWRITE | FO_SHARED);
    if (h == 0) {
        showError(owner, create ? "Datei konnte nicht erzeugt werden !"
                                : "Datei konnte nicht geöffnet werden !"_ansi);
        return false;
    }
    bool ok = true;
    if (FSEEK(h, 0, SeekOrigin::End) < 0) {
        failed(owner, IoOperation::Write, h, FERROR(), {}, utf8ToAnsi(kWriteErrorTitle));
        ok = false;
    } else {
        const std::string out = oem ? ansiToOemCopy(data) : data;
        if (FWRITE(h, out) != out.size()) {
            // A short write is a failure, not only a message.
            showError(owner, "Die Anzahl der geschriebenen Bytes ist fehlerhaft !");
            ok = false;
        }
    }
    FCLOSE(h);
    return ok;
}

} // namespace arti
