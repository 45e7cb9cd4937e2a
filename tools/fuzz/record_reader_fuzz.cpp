// The record file routines (block and line readers, positional writes, whole-file reads
// and appends) against a plain model of the file: a string of its bytes and the position
// of each handle. Every result, position, refusal and box must match the model.
//
// Input: one byte L, a script of L bytes, then the file's bytes. The script's first byte
// may put a filler of records before the file so that its bytes straddle the readers'
// 64 KiB cache; the rest are operations with their arguments. Handle 0 is read-write,
// handle 1 read-only.
#include "core/Oem.h"
#include "core/Services.h"
#include "records/FileAccess.h"
#include "records/FileHandles.h"
#include "records/IoFailure.h"
#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <array>

namespace {

using namespace arti;
using arti::fuzz::Bytes;

class CountingBox final : public IMessageBox {
public:
    BoxButton show(Owner, BoxKind, const std::string&, const std::string&) override {
        ++shown;
        return BoxButton::Ok;
    }
    int shown = 0;
};

std::string toAnsi(std::string s) {
    for (char& c : s)
        c = static_cast<char>(oemToAnsiByte(static_cast<unsigned char>(c)));
    return s;
}

std::string toOem(std::string s) {
    for (char& c : s)
        c = static_cast<char>(ansiToOemByte(static_cast<unsigned char>(c)));
    return s;
}

// What a block read returns, by the rules of the readers, in the plainest terms.
struct Block {
    std::string value;
    bool refused = false;
};

Block expectedBlock(std::string buf, std::size_t n, bool oem, const std::string& nul) {
    const bool marked = buf.find('\0') != std::string::npos || buf.find('\x1A') != std::string::npos;
    if (marked && !nul.empty()) {
        std::string out;
        for (char c : buf) {
            if (c == '\0')
                out += nul;
            else
                out += c;
        }
        buf = out;
    }
    if (oem) buf = toAnsi(buf);
    if (buf.empty() || buf == "\x1A" || n == 1) return {buf, false};
    const bool crLfAtEnd = buf.size() >= 2 && buf.compare(buf.size() - 2, 2, "\r\n") == 0;
    const bool refused = (!crLfAtEnd && buf.find("\r\n") != std::string::npos) ||
                         (marked && buf.find('\x1A') != std::string::npos) || !crLfAtEnd ||
                         buf.find_first_not_of(" \t\r\n") == std::string::npos;
    return refused ? Block{{}, true} : Block{buf, false};
}

// A byte count: mostly below 1024 (records are 130 bytes), with flag 0x40 up to 64 KiB,
// with 0xC0 above it (reads that bypass the cache).
std::size_t count(Bytes& in, std::uint8_t flags) {
    std::size_t n = in.u16();
    if ((flags & 0x40) == 0) n %= 1024;
    if ((flags & 0xC0) == 0xC0) n += 65536;
    return n;
}

// Whether a file routine ended the check, as the check engine learns of it.
struct StopRecorder final : IIoFailureObserver {
    bool stopped = false;
    void ioFailed(const IoFailure&) override {}
    void ioStopped(IoStop) override { stopped = true; }
};

class Session {
public:
    Session(std::string path, std::string content) : path_(std::move(path)), file_(std::move(content)) {
        arti::fuzz::writeFile(path_, file_);
        h_[0] = BIN_OPEN(nullptr, path_, FO_READWRITE);
        h_[1] = BIN_OPEN(nullptr, path_, FO_READ | FO_SHARED);
        ARTI_FUZZ_EXPECT(h_[0] != 0 && h_[1] != 0, path_);
    }
    ~Session() {
        FCLOSE(h_[0]);
        FCLOSE(h_[1]);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void step(Bytes& in);

private:
    long long length() const { return static_cast<long long>(file_.size()); }
    // The bytes from the position, at most n, and the position behind them.
    std::string bytesAt(int k, std::size_t n) const {
        if (pos_[k] >= length()) return {};
        return file_.substr(static_cast<std::size_t>(pos_[k]), n);
    }
    static std::string nulReplacement(Bytes& in, std::uint8_t flags) {
        switch ((flags >> 1) & 3) {
        case 0:
            return {};
        case 1:
            return " ";
        case 2:
            return in.take(1);
        default:
            return in.take(2);
        }
    }
    void expectState(const char* op);
    void seek(Bytes& in, int k);
    void blockRead(Bytes& in, int k);
    void lineRead(Bytes& in, int k);
    void rawRead(Bytes& in, int k);
    void write(Bytes& in, int k);
    void append(Bytes& in);
    void wholeRead(Bytes& in);

    std::string path_;
    std::string file_;
    std::array<FileHandle, 2> h_{};
    std::array<long long, 2> pos_{};
    std::string reused_;
    int boxes_ = 0;
    StopRecorder stops_;
    IoFailureWatch watch_{stops_};

public:
    CountingBox box;
};

void Session::expectState(const char* op) {
    for (int k = 0; k < 2; ++k) {
        ARTI_FUZZ_EXPECT(FTELL(h_[k]) == pos_[k], op);
        ARTI_FUZZ_EXPECT(FEOF(h_[k]) == (pos_[k] >= length()), op);
    }
    ARTI_FUZZ_EXPECT(FLENGTH(h_[0]) == length(), op);
    ARTI_FUZZ_EXPECT(box.shown == boxes_, op);
}

void Session::seek(Bytes& in, int k) {
    const long long target = (in.u16() | (static_cast<long long>(in.byte()) << 16)) % (length() + 300);
    ARTI_FUZZ_EXPECT(FSEEK(h_[k], target) == target, "FSEEK");
    pos_[k] = target;
}

void Session::blockRead(Bytes& in, int k) {
    const std::uint8_t flags = in.byte();
    const std::size_t n = count(in, flags);
    const bool oem = flags & 1;
    const std::string nul = nulReplacement(in, flags);
    std::string raw = bytesAt(k, n);
    const auto got = static_cast<long long>(raw.size());
    raw.resize(n, ' ');
    const Block want = expectedBlock(raw, n, oem, nul);
    stops_.stopped = false;
    std::string value;
    if (flags & 0x08) {
        BIN_LES(nullptr, h_[k], n, 0, oem, nul, reused_);
        value = reused_;
    } else {
        value = BIN_LES(nullptr, h_[k], n, 0, oem, nul);
    }
    ARTI_FUZZ_EXPECT(value == want.value,
                     "BIN_LES of " + std::to_string(n) + " bytes at " + std::to_string(pos_[k]));
    ARTI_FUZZ_EXPECT(stops_.stopped == want.refused, "BIN_LES stop request");
    boxes_ += want.refused ? 1 : 0;
    pos_[k] += got;
}

void Session::lineRead(Bytes& in, int k) {
    const std::uint8_t flags = in.byte();
    const std::size_t maxLength = in.u16();
    const bool oem = flags & 1;
    std::string want;
    long long next = pos_[k];
    if (pos_[k] < length()) {
        const auto at = static_cast<std::size_t>(pos_[k]);
        const std::size_t crLf = file_.find("\r\n", at);
        const std::size_t end = crLf == std::string::npos ? file_.size() : crLf;
        want = file_.substr(at, std::min(end - at, maxLength));
        next = static_cast<long long>(crLf == std::string::npos ? end : end + 2);
    }
    if (oem) want = toAnsi(want);
    std::string value;
    if (flags & 0x08) {
        STRING_LES(nullptr, h_[k], maxLength, 0, oem, reused_);
        value = reused_;
    } else {
        value = STRING_LES(nullptr, h_[k], maxLength, 0, oem);
    }
    ARTI_FUZZ_EXPECT(value == want, "STRING_LES at " + std::to_string(pos_[k]));
    pos_[k] = next;
}

void Session::rawRead(Bytes& in, int k) {
    const std::uint8_t flags = in.byte();
    const std::size_t n = count(in, flags);
    const std::string want = bytesAt(k, n);
    ARTI_FUZZ_EXPECT(FREADSTR(h_[k], n) == want, "FREADSTR at " + std::to_string(pos_[k]));
    ARTI_FUZZ_EXPECT(FERROR() == 0, "FREADSTR error");
    pos_[k] += static_cast<long long>(want.size());
}

void Session::write(Bytes& in, int k) {
    const std::uint8_t flags = in.byte();
    const std::string data = in.take(flags & 0x3F);
    const std::size_t length = (flags & 0x40) ? in.byte() % 80 : 0;
    const bool oem = flags & 0x80;
    const std::size_t n = length == 0 ? data.size() : length;
    stops_.stopped = false;
    const bool written = BIN_W(nullptr, h_[k], data, length, oem);
    // A length beyond the data is refused before writing; handle 1 is read-only, which
    // only shows when there is something to write.
    const bool refused = n > data.size() || (k == 1 && n > 0);
    ARTI_FUZZ_EXPECT(written == !refused, "BIN_W");
    ARTI_FUZZ_EXPECT(stops_.stopped == refused, "BIN_W stop request");
    if (refused) {
        ++boxes_;
        return;
    }
    if (n == 0) return; // nothing written: a position behind the end leaves the file as it is
    const std::string bytes = oem ? toOem(data.substr(0, n)) : data.substr(0, n);
    const auto at = static_cast<std::size_t>(pos_[k]);
    if (file_.size() < at + n) file_.resize(std::max(file_.size(), at), '\0');
    file_.replace(at, n, bytes);
    pos_[k] += static_cast<long long>(n);
}

void Session::append(Bytes& in) {
    const std::uint8_t flags = in.byte();
    const std::string data = in.take(flags & 0x3F);
    const bool oem = flags & 0x40;
    const bool overwrite = flags & 0x80;
    ARTI_FUZZ_EXPECT(WRITE_STREAM(nullptr, data, path_, oem, overwrite), "WRITE_STREAM");
    if (overwrite) file_.clear();
    file_ += oem ? toOem(data) : data;
}

void Session::wholeRead(Bytes& in) {
    const std::uint8_t flags = in.byte();
    const bool oem = flags & 1;
    std::optional<std::size_t> count;
    if (flags & 2) count = in.u16();
    std::string want = file_.substr(0, count.value_or(file_.size()));
    if (oem) want = toAnsi(want);
    ARTI_FUZZ_EXPECT(READ_STREAM(nullptr, path_, count, oem) == want, "READ_STREAM");
}

void Session::step(Bytes& in) {
    const std::uint8_t op = in.byte();
    const int k = (op >> 4) & 1;
    switch (op % 8) {
    case 0:
        seek(in, k);
        break;
    case 1:
        blockRead(in, k);
        break;
    case 2:
        lineRead(in, k);
        break;
    case 3:
        rawRead(in, k);
        break;
    case 4:
        write(in, k);
        break;
    case 5:
        append(in);
        break;
    case 6:
        wholeRead(in);
        break;
    default:
        break; // only the checks below
    }
    expectState("after an operation");
}

// A filler of records before the file's bytes: none, or up to the cache's size or twice it.
std::string filler(std::uint8_t mode, std::uint8_t amount) {
    std::size_t n = 0;
    if ((mode & 7) == 6) n = 65536 - amount;
    if ((mode & 7) == 7) n = 131072 - 2u * amount;
    std::string record(128, 'F');
    record += "\r\n";
    std::string out;
    while (out.size() < n)
        out += record;
    out.resize(n);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes all(data, size);
    const std::string script = all.take(all.byte());
    const std::string content = all.rest();
    Bytes in(reinterpret_cast<const std::uint8_t*>(script.data()), script.size());
    const std::uint8_t mode = in.byte();
    static const std::string path = (arti::fuzz::Scratch::get().fresh("rec") / "RECORDS.DAT").string();
    const int descriptors = arti::fuzz::openDescriptors();
    {
        Session s(path, filler(mode, in.byte()) + content);
        ServicesScope scope(&s.box);
        int steps = 0;
        while (!in.empty() && ++steps <= 64)
            s.step(in);
    }
    ARTI_FUZZ_EXPECT(arti::fuzz::openDescriptors() == descriptors, "a handle stayed open");
    return 0;
}
