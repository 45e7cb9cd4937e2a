#include "tools/gen/Generator.h"

#include "tools/gen/FieldFaults.h"
#include "tools/gen/Plan.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace arti::gen {

namespace {

constexpr std::size_t kBlock = 1 << 20;

// Collects the bytes of the file and hands them to the sink in blocks of 1 MiB.
class Output {
public:
    explicit Output(const Sink& sink) : sink_(sink) { buf_.reserve(kBlock + 512); }
    void put(std::string_view bytes) {
        buf_.append(bytes);
        total_ += bytes.size();
        if (buf_.size() >= kBlock) flush();
    }
    bool flush() {
        if (!failed_ && !buf_.empty() && !sink_(buf_)) failed_ = true;
        buf_.clear();
        return !failed_;
    }
    bool failed() const { return failed_; }
    std::uint64_t total() const { return total_; }

private:
    const Sink& sink_;
    std::string buf_;
    std::uint64_t total_ = 0;
    bool failed_ = false;
};

// Writes one file of a plan: header, second record, long texts, articles, end mark,
// and the requested fault where it belongs.
class Writer {
public:
    Writer(const FileRecipe& want, const Plan& plan, Output& out, Report& report)
        : want_(want), plan_(plan), out_(out), report_(report), rng_(want.seed), render_(want, plan) {
        faultAt_ = want.faultRecord != 0 ? want.faultRecord : defaultFaultRecord(want);
        fieldType_ = fieldFaultType(want, plan);
    }

    void run() {
        if (want_.fault == Fault::UnreadableHeader) {
            markFault(1, "empty first line before the header");
            out_.put("\r\n");
        }
        if (want_.fault == Fault::BadSeparator) markFault(1, "separator ',' (code 44)");
        emit(render_.header(headerAnnouncement()), false);
        if (want_.version != Version::V2000) secondRecord();
        if (plan_.leadingTexts) texts();
        if (want_.version == Version::V0590 && want_.fault == Fault::RefusedAnnouncement)
            foreignThirdRecord();
        articles();
        end();
    }
    bool faultPlaced() const { return want_.fault == Fault::None || faultDone_; }

private:
    static std::uint64_t defaultFaultRecord(const FileRecipe& want) {
        std::uint64_t first = want.version == Version::V2000 ? 2 : 3;
        if (want.version == Version::V0590 && want.fault == Fault::BrokenOrder)
            first = 6; // after the first article
        return std::max(first, want.records / 2);
    }

    // The record type that gets a single field fault: the first the fault prefers among
    // the types of the file's articles.
    static char fieldFaultType(const FileRecipe& want, const Plan& plan) {
        if (!isFieldFault(want.fault) || want.fault == Fault::FieldFaultsEverywhere) return 0;
        for (char t : fieldFaultTypes(want.fault, want.version))
            if (plan.order.find(t) != std::string::npos) return t;
        return 0;
    }

    bool room() const { return next_ <= want_.records; }

    void markFault(std::uint64_t record, const std::string& note) {
        faultDone_ = true;
        report_.faultRecord = record;
        report_.faultOffset = out_.total();
        report_.faultNote = note;
    }

    std::string headerAnnouncement() {
        std::string a = plan_.announcement;
        if (want_.fault != Fault::RefusedAnnouncement || want_.version == Version::V0590) return a;
        if (want_.version == Version::V0196)
            a = withLetter(a, a.find('P') == std::string::npos ? 'P' : 'A');
        else
            a += 'Q';
        markFault(1, "header announces " + a);
        return a;
    }

    void secondRecord() {
        if (want_.fault == Fault::WrongSecondRecord) {
            markFault(2, "A record instead of the K record");
            emit(render_.record('A', makeArticle(rng_, 0), 1, '1'), false);
            return;
        }
        emit(render_.customer(), false);
    }

    // Long texts of 01/96: T records before the first article, one or two per text.
    void texts() {
        const std::uint64_t keys = textKeys(want_.records);
        for (std::uint64_t k = 1; k <= keys && next_ + 2 <= want_.records; ++k) {
            char key[16];
            std::snprintf(key, sizeof key, "TX%09llu", static_cast<unsigned long long>(k));
            const bool two = rng_.chance(50) && next_ + 3 <= want_.records;
            emitText(key, 1, true);
            if (two) emitText(key, 3, false);
        }
    }

    // A text record with one line, or two when `both`; a single line ends the text.
    void emitText(const std::string& key, int line, bool both) {
        const int second = both ? line + 1 : 0;
        emit(fixed::text0196(key, line, longTextLine(rng_, line), second, longTextLine(rng_, second)), false);
        ++report_.textRecords;
    }

    void foreignThirdRecord() {
        const char foreign = plan_.announcement == "S" ? 'R' : 'S';
        markFault(next_, std::string(1, foreign) + " record ahead of the file's own records");
        emit(render_.record(foreign, makeArticle(rng_, 0), 1, '1'), false);
    }

    void articles() {
        std::uint64_t index = 1;
        while (room() && !out_.failed()) {
            ArticleData a = makeArticle(rng_, index);
            std::vector<char> types = plan_.articleTypes(rng_, index == 1);
            applyArticleFault(types);
            a.surcharge = std::find(types.begin(), types.end(), 'Z') != types.end();
            int repeat = 0;
            for (std::size_t i = 0; i < types.size() && room(); ++i) {
                repeat = (i > 0 && types[i] == types[i - 1]) ? repeat + 1 : 1;
                emit(render_.record(types[i], a, repeat, plan_.status), true);
            }
            ++index;
        }
    }

    void applyArticleFault(std::vector<char>& types) {
        if (faultDone_ || next_ < faultAt_ || next_ + 1 > want_.records) return;
        if (want_.fault == Fault::BrokenOrder) {
            // The last type the order rules follow (they let K records pass unseen) moves
            // right behind the article's first record.
            types = plan_.fullArticle();
            const auto moved = std::find_if(types.rbegin(), types.rend(), [](char c) { return c != 'K'; });
            const char type = *moved;
            types.erase(std::next(moved).base());
            types.insert(types.begin() + 1, type);
            markFault(next_ + 1, std::string(1, type) + " record right after the article's first record");
        } else if (want_.fault == Fault::UnannouncedType) {
            const char extra = plan_.unannouncedType();
            types.insert(types.begin() + 1, extra);
            markFault(next_ + 1, std::string(1, extra) + " record inside an article");
        }
    }

    // One record with its line end; record faults go to the first article record at
    // or behind the fault record.
    void emit(std::string body, bool articleRecord) {
        std::string_view lineEnd = "\r\n";
        if (articleRecord && !faultDone_ && next_ >= faultAt_) {
            if (want_.fault == Fault::WrongLength) {
                body.pop_back();
                markFault(next_, "record of 127 characters");
            } else if (want_.fault == Fault::CrLfInBlock) {
                const std::size_t half = body.size() / 2;
                body = body.substr(0, half) + "\r\n" + body.substr(half);
                lineEnd = {};
                markFault(next_, "CR LF after character " + std::to_string(half) + " instead of the end");
            } else if (want_.fault == Fault::EndMarkInBlock) {
                body[body.size() / 2] = '\x1A';
                markFault(next_, "end mark at character " + std::to_string(body.size() / 2 + 1));
            }
        }
        fieldFaults(body, articleRecord);
        out_.put(body);
        out_.put(lineEnd);
        ++next_;
        ++report_.records;
    }

    // Field faults keep the record's length and type: one field of the first record of
    // the chosen type at or behind the fault record, or several fields of every record
    // behind the header.
    void fieldFaults(std::string& body, bool articleRecord) {
        if (want_.fault == Fault::FieldFaultsEverywhere) {
            if (next_ > 1) report_.faultyFields += spoilRecord(want_.version, body, want_.separator);
            return;
        }
        if (!articleRecord || faultDone_ || next_ < faultAt_ || body.empty() || body[0] != fieldType_) return;
        markFault(next_, putFieldFault(want_.fault, want_.version, body, want_.separator));
        report_.faultyFields = 1;
    }

    void end() {
        if (want_.fault == Fault::FieldFaultsEverywhere) {
            markFault(0, std::to_string(report_.faultyFields) +
                             " field faults in the records behind the header");
            report_.faultOffset = 0;
        }
        if (want_.version == Version::V2000) return;
        if (want_.fault == Fault::MissingEndMark) {
            markFault(0, "no end mark");
            return;
        }
        out_.put("\x1A");
    }

    const FileRecipe& want_;
    const Plan& plan_;
    Output& out_;
    Report& report_;
    Rng rng_;
    Renderer render_;
    std::uint64_t next_ = 1;
    std::uint64_t faultAt_ = 0;
    char fieldType_ = 0;
    bool faultDone_ = false;
};

} // namespace

std::optional<Version> versionByName(std::string_view n) {
    if (n == "0590" || n == "05/90" || n == "590") return Version::V0590;
    if (n == "0196" || n == "01/96" || n == "196") return Version::V0196;
    if (n == "2000" || n == "2000A") return Version::V2000;
    return std::nullopt;
}

std::string_view versionName(Version v) {
    switch (v) {
    case Version::V0590:
        return "0590";
    case Version::V0196:
        return "0196";
    case Version::V2000:
        break;
    }
    return "2000";
}

namespace {
struct FaultName {
    Fault fault;
    std::string_view name;
    std::string_view summary;
};
constexpr FaultName kFaultNames[] = {
    {Fault::WrongLength, "wrong-length", "one record of 127 characters"},
    {Fault::CrLfInBlock, "crlf-in-block", "a record's CR LF moved into its middle"},
    {Fault::EndMarkInBlock, "eof-in-block", "the end mark inside a record"},
    {Fault::MissingEndMark, "missing-eof", "no end mark"},
    {Fault::BadSeparator, "bad-separator", "a field separator outside the allowed list"},
    {Fault::UnreadableHeader, "bad-header", "an empty line before the header"},
    {Fault::WrongSecondRecord, "wrong-second", "an A record where the K record belongs"},
    {Fault::UnannouncedType, "unannounced", "a record type the header does not announce"},
    {Fault::RefusedAnnouncement, "refused-announcement", "an announcement the order rules refuse"},
    {Fault::BrokenOrder, "broken-order", "a record type ahead of its turn"},
    {Fault::BadCheckDigit, "bad-check-digit", "a GTIN with a wrong check digit"},
    {Fault::DateOutsideWindow, "date-outside-window", "the price date 31.12.1999"},
    {Fault::InvalidDate, "invalid-date", "a price date in month 13"},
    {Fault::ForeignCurrency, "foreign-currency", "the currency USD"},
    {Fault::NonDigit, "non-digit", "the letter O in a number"},
    {Fault::BadCharacter, "bad-character", "the control character 7 in a name or text"},
    {Fault::FilledReserve, "filled-reserve", "an X in a Reserve field"},
    {Fault::ValueNotInList, "value-not-in-list", "a code outside its list of values"},
    {Fault::EmptyMandatory, "empty-mandatory", "a mandatory field left blank"},
    {Fault::RecordRule, "record-rule", "a rule across the fields of one record broken"},
    {Fault::FieldFaultsEverywhere, "field-faults-everywhere", "two or three field faults in every record"},
};
} // namespace

std::optional<Fault> faultByName(std::string_view name) {
    if (name == "none") return Fault::None;
    for (const FaultName& f : kFaultNames)
        if (f.name == name) return f.fault;
    return std::nullopt;
}

std::string_view faultName(Fault fault) {
    for (const FaultName& f : kFaultNames)
        if (f.fault == fault) return f.name;
    return "none";
}

std::string_view faultSummary(Fault fault) {
    for (const FaultName& f : kFaultNames)
        if (f.fault == fault) return f.summary;
    return "no fault";
}

const std::vector<Fault>& allFaults() {
    static const std::vector<Fault> all = [] {
        std::vector<Fault> v;
        for (const FaultName& f : kFaultNames)
            v.push_back(f.fault);
        return v;
    }();
    return all;
}

bool faultApplies(Fault f, Version v) {
    switch (f) {
    case Fault::WrongLength:
    case Fault::MissingEndMark:
    case Fault::WrongSecondRecord:
        return v != Version::V2000;
    case Fault::BadSeparator:
        return v == Version::V2000;
    case Fault::UnannouncedType:
        return v != Version::V0590;
    default:
        return !isFieldFault(f) || !fieldFaultTypes(f, v).empty();
    }
}

std::string checkFileRecipe(const FileRecipe& want) {
    std::string error;
    const std::optional<Plan> plan = Plan::make(want.version, want.types, error);
    if (!plan) return error;
    return plan->check(want);
}

bool generate(const FileRecipe& want, const Sink& sink, Report& report, std::string& error) {
    report = Report{};
    const std::optional<Plan> plan = Plan::make(want.version, want.types, error);
    if (!plan) return false;
    if (error = plan->check(want); !error.empty()) return false;
    report.announcement = plan->announcement;
    Output out(sink);
    try {
        Writer w(want, *plan, out, report);
        w.run();
        if (!w.faultPlaced()) {
            error = "the fault " + std::string(faultName(want.fault)) +
                    " found no place at or behind record " + std::to_string(want.faultRecord);
            return false;
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    if (!out.flush()) {
        error = "write failed";
        return false;
    }
    report.bytes = out.total();
    return true;
}

} // namespace arti::gen
