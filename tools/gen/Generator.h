// Test data for the ELDANORM checker: files of the versions 05/90, 01/96 and 2000 of any
// size, the same bytes for the same seed, valid by the rules of the check run (header
// with date, announcement and version marks, K record, articles in the announced order,
// long texts, CR LF, end mark) or with one fault of a named kind at a known record: a
// record or order fault, or a faulty field that the field checks report once. One more
// kind spoils fields of every record, for a run full of findings. Output is streamed in
// blocks: memory does not grow with the file.
#pragma once

#include "tools/gen/Records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti::gen {

enum class Version { V0590, V0196, V2000 };

enum class Fault {
    None,
    WrongLength,         // one record of 127 characters (05/90, 01/96)
    CrLfInBlock,         // a record's CR LF moved from its end into its middle
    EndMarkInBlock,      // the end mark 26 inside a record
    MissingEndMark,      // no end mark at the end of the file (05/90, 01/96)
    BadSeparator,        // a field separator outside the allowed list (2000)
    UnreadableHeader,    // the file begins with an empty line
    WrongSecondRecord,   // an A record where the K record belongs (05/90, 01/96)
    UnannouncedType,     // a record type the header does not announce, inside an article (01/96, 2000)
    RefusedAnnouncement, // an announcement the order rules refuse
    BrokenOrder,         // inside one article a record type ahead of its turn
    // Field faults, each reported by exactly one finding of the field checks and put into
    // the first record of a type that can carry it, at or behind the fault record.
    BadCheckDigit,     // a GTIN whose last digit is off by one (A; 2000: I or X)
    DateOutsideWindow, // the valid date 31.12.1999 in a price date field
    InvalidDate,       // month 13 in a price date field
    ForeignCurrency,   // "USD" in a currency field
    NonDigit,          // the letter O in a numeric field
    BadCharacter,      // the control character 7 in a name or text field
    FilledReserve,     // an "X" in a Reserve field (05/90, 01/96)
    ValueNotInList,    // a coded field outside its list of allowed values
    EmptyMandatory,    // a mandatory field left blank (05/90, 2000: 01/96 never reports a blank field)
    RecordRule,        // a rule across fields broken: 05/90 Z material without weight, 01/96 B
                       // conversion fields 16 to 18 half filled, 2000 Z weight missing
    // Every record behind the header with two or three field faults of the kinds above,
    // for a check run full of findings.
    FieldFaultsEverywhere,
};

struct FileRecipe {
    Version version = Version::V0196;
    std::uint64_t records = 100; // records of the file, header included, end mark not counted
    std::uint64_t seed = 1;
    Fault fault = Fault::None;
    // The record that gets a record or article fault (1-based); 0: about the middle.
    std::uint64_t faultRecord = 0;
    // Record types of the file. 01/96 and 2000: the header's announcement; 05/90: the
    // kind of file ("ABZ", "AB", "A", "P", "R", "S"). Empty: the version's default
    // (05/90 ABZ, 01/96 ABDTZ, 2000 IHPTZK).
    std::string types;
    Date date{std::chrono::year{2024}, std::chrono::month{1}, std::chrono::day{15}};
    char separator = ';'; // version 2000
};

struct Report {
    std::uint64_t records = 0;      // records written
    std::uint64_t bytes = 0;        // file length
    std::uint64_t textRecords = 0;  // 01/96 long-text records
    std::string announcement;       // as the header announces it (05/90: the types of the file)
    std::uint64_t faultRecord = 0;  // the record that carries the fault, 0 for none or a file fault
    std::uint64_t faultOffset = 0;  // file offset at which that record starts
    std::string faultNote;          // what was done, in a few words
    std::uint64_t faultyFields = 0; // fields changed by a field fault, each one finding
};

std::optional<Version>
versionByName(std::string_view name);    // "0590", "05/90", "0196", "01/96", "2000", "2000A"
std::string_view versionName(Version v); // "0590", "0196", "2000"
std::optional<Fault> faultByName(std::string_view name);
std::string_view faultName(Fault f);
std::string_view faultSummary(Fault f); // what the fault does, in a few words
const std::vector<Fault>& allFaults();  // every fault but None
bool faultApplies(Fault f, Version v);
std::string defaultTypes(Version v);

// Why the file cannot be generated; empty when it can.
std::string checkFileRecipe(const FileRecipe& want);

// Receives the file's bytes in blocks; returns false when it could not take them.
using Sink = std::function<bool(std::string_view)>;

// Writes the file of `want` to `sink`. False, with `error` set, for a file that cannot
// be generated or a failed write.
bool generate(const FileRecipe& want, const Sink& sink, Report& report, std::string& error);
// The same into a file (created or emptied).
bool generateFile(const FileRecipe& want, const std::string& path, Report& report, std::string& error);
// The same into memory, for small files; throws std::runtime_error when it cannot be generated.
std::string generateBytes(const FileRecipe& want, Report* report = nullptr);

// The demo set: a few small files of each version and some with a typical fault, named
// "ELDANORM_*" so that the file choice offers them. Returns the paths written.
bool writeDemoFiles(const std::string& folder, const Date& date, std::vector<std::string>& written,
                    std::string& error);

} // namespace arti::gen
