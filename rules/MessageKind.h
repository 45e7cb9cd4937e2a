// What a finding says, apart from the values filled into its text: one kind per message of
// the checks and the run (where the versions word the same message differently, they share
// its kind). A kind has a stable short name for reports, a severity that decides whether the
// finding counts as an error, and tells whether the finding is about the record at hand (its record type is
// named) or about the file or the run as a whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace arti {

enum class MessageKind : std::uint8_t {
    // --- Field checks, every version ---
    MandatoryEmpty,         // a mandatory field without content
    ReserveFilled,          // a reserve field that holds more than blanks
    CurrencyDiffers,        // a currency code other than the run's
    DateInvalid,            // a date field that holds no calendar date
    DateOutsideWindow,      // a date outside the run's date window
    NumberCharacterRefused, // a numeric field with a character it may not hold
    NumberNotListed,        // a numeric value outside its list
    CharacterRefused,       // a character the character rule refuses
    ValueNotListed,         // a coded value outside its list
    BlanksOnly,             // a field of blanks only (2000)
    // --- The record as a whole ---
    RecordTypeUnknown, // a record type without a table
    RecordTypeShort,   // a table whose widths do not make a whole record
    TooManyFields,     // more fields than the record type has (2000)
    // --- Rules between the fields of a record ---
    ArticleNumberMissing,       // none of the article numbers given
    CheckDigitWrong,            // the GTIN/EAN check digit does not match
    GtinLength,                 // a GTIN/EAN of neither 8 nor 13 digits (2000)
    ConversionIncomplete,       // 01/96 B: fields 16 to 18 filled in part
    ConversionWithoutZero,      // 01/96 B: field 25 filled, field 26 not 0000
    DiscountMissing,            // B: a discount kind without its rate or multiplier
    TextLineAndTextMissing,     // 01/96 D: neither a long-text reference nor line and text
    LongTextReferenceMissing,   // 01/96 D: field 6 without its long-text reference
    LineNumberMissing,          // 01/96 D: field 7 without a line number
    LineNumberMissingForText,   // 01/96 D, T: a text without its line number
    TextMissing,                // 01/96 D, T: a line number without its text
    DimensionMarksMissing,      // 01/96 D: a dimension text without its two $ marks
    FileReferenceMissing,       // 01/96 D: field 6 without its file reference
    FileReferenceWithDot,       // 01/96 D: a file reference with a dot
    FileReferenceNotPadded,     // 01/96 D: a file reference not padded on the left
    LineNumberNotAllowed,       // 01/96 D: a line number beside a file reference
    TextNotAllowed,             // 01/96 D: a text beside a file reference
    RawMaterialWeightMissing,   // 05/90, 01/96 Z: material without its weight
    ConversionFieldMissing,     // 2000 H: field 11 or 12 not delivered
    ConversionFieldNotPositive, // 2000 H: field 11 or 12 not above 0
    SurchargePercentMissing,    // 2000 Z: field 5
    SurchargeAmountMissing,     // 2000 Z: field 6
    MaterialBasisMissing,       // 2000 Z: field 7
    MaterialWeightMissing,      // 2000 Z: field 8
    SurchargeValueMissing,      // 2000 Z: fields 5 and 6 both 0 beside field 9
    // --- Between the records of an article ---
    ArticleSwitchMismatch, // the article-number switch names another number
    SurchargeNotAnnounced, // a Z record the B record before it did not announce
    // --- The file choice ---
    FileLength,          // the file's length, the first line of a check
    EndMarkMissing,      // no end mark 1A
    FileEndBroken,       // the file does not end in CR LF
    SeparatorRefused,    // a field separator outside the allowed ones (2000)
    FileUnopenable,      // the file could not be opened
    FileEmpty,           // a file of 0 bytes
    HeaderUnreadable,    // the header record could not be read
    HeaderNotRecognised, // the first record is no header
    VersionNotSupported, // a version that cannot be checked
    OrderEntryMissing,   // the header without its order entry (2000)
    FileLengthFault,     // a length that is no whole number of records (05/90)
    HeaderCopy,          // the header record copied into the log
    // --- The record step and the order of the records ---
    RecordLength,         // a record of the wrong length
    ControlRecordMissing, // the second record is not the control record
    OrderBroken,          // the records of an article leave the order
    TypeNotAnnounced,     // a record type the header does not announce
    RecordUnreadable,     // a record that could not be read
    AnnouncementSwapped,  // 2000: an announcement "HI..." put right to "IH..."
    SequenceRefused,      // an announcement the order rules refuse
    SequenceRefusedLong,  // 2000: a long "IH..." announcement with a letter not admitted
    FileEndMarkRead,      // a step read the end mark
    FileEndReached,       // a step reached the end of the file
    // --- The run ---
    RunStoppedByUser, // the run was stopped before its next record
    RunEnded,         // the run's closing line at the end of the file
    StopButton,       // "Stop" was clicked
    // --- The long-text store ---
    TextStoreFault,  // the store cannot take the texts of the file
    TextStoreRemade, // a damaged store was made anew
};

// The running number of a finding's field; none when it is about a whole record, the run
// or the file (field numbers begin at 1).
inline constexpr std::uint32_t kNoField = 0;

// An error says that the file breaks its format (or could not be checked as a whole); a note
// is one of the log's informational lines: the file's length, the copy of its header, where
// and how a check ended.
enum class Severity : std::uint8_t { Error, Note };

struct MessageKindTraits {
    std::string_view name; // ASCII, stable: reports and scripts group by it
    Severity severity;
    bool ofRecord; // about the record at hand, whose record type it names
};

namespace detail {
using T = MessageKindTraits;
inline constexpr Severity Error = Severity::Error;
inline constexpr Severity Note = Severity::Note;
inline constexpr std::array<MessageKindTraits, 67> kMessageKinds{{
    T{"mandatory_empty", Error, true},
    T{"reserve_filled", Error, true},
    T{"currency_differs", Error, true},
    T{"date_invalid", Error, true},
    T{"date_outside_window", Error, true},
    T{"number_character_refused", Error, true},
    T{"number_not_listed", Error, true},
    T{"character_refused", Error, true},
    T{"value_not_listed", Error, true},
    T{"blanks_only", Error, true},
    T{"record_type_unknown", Error, true},
    T{"record_type_short", Error, true},
    T{"too_many_fields", Error, true},
    T{"article_number_missing", Error, true},
    T{"check_digit_wrong", Error, true},
    T{"gtin_length", Error, true},
    T{"conversion_incomplete", Error, true},
    T{"conversion_without_zero", Error, true},
    T{"discount_missing", Error, true},
    T{"text_line_and_text_missing", Error, true},
    T{"long_text_reference_missing", Error, true},
    T{"line_number_missing", Error, true},
    T{"line_number_missing_for_text", Error, true},
    T{"text_missing", Error, true},
    T{"dimension_marks_missing", Error, true},
    T{"file_reference_missing", Error, true},
    T{"file_reference_with_dot", Error, true},
    T{"file_reference_not_padded", Error, true},
    T{"line_number_not_allowed", Error, true},
    T{"text_not_allowed", Error, true},
    T{"raw_material_weight_missing", Error, true},
    T{"conversion_field_missing", Error, true},
    T{"conversion_field_not_positive", Error, true},
    T{"surcharge_percent_missing", Error, true},
    T{"surcharge_amount_missing", Error, true},
    T{"material_basis_missing", Error, true},
    T{"material_weight_missing", Error, true},
    T{"surcharge_value_missing", Error, true},
    T{"article_switch_mismatch", Error, true},
    T{"surcharge_not_announced", Error, true},
    T{"file_length", Note, false},
    T{"end_mark_missing", Error, false},
    T{"file_end_broken", Error, false},
    T{"separator_refused", Error, false},
    T{"file_unopenable", Error, false},
    T{"file_empty", Error, false},
    T{"header_unreadable", Error, false},
    T{"header_not_recognised", Error, false},
    T{"version_not_supported", Error, false},
    T{"order_entry_missing", Error, false},
    T{"file_length_fault", Error, false},
    T{"header_copy", Note, true},
    T{"record_length", Error, true},
    T{"control_record_missing", Error, true},
    T{"order_broken", Error, true},
    T{"type_not_announced", Error, true},
    T{"record_unreadable", Error, false},
    T{"announcement_swapped", Error, false},
    T{"sequence_refused", Error, false},
    T{"sequence_refused_long", Error, false},
    T{"file_end_mark_read", Note, false},
    T{"file_end_reached", Note, false},
    T{"run_stopped_by_user", Note, false},
    T{"run_ended", Note, false},
    T{"stop_button", Note, false},
    T{"text_store_fault", Error, false},
    T{"text_store_remade", Note, false},
}};
static_assert(kMessageKinds.size() == static_cast<std::size_t>(MessageKind::TextStoreRemade) + 1,
              "one entry per kind, in the order of the kinds");
} // namespace detail

constexpr const MessageKindTraits& traitsOf(MessageKind kind) {
    return detail::kMessageKinds[static_cast<std::size_t>(kind)];
}
constexpr std::string_view messageKindName(MessageKind kind) {
    return traitsOf(kind).name;
}
constexpr bool countsAsError(MessageKind kind) {
    return traitsOf(kind).severity == Severity::Error;
}
// Every kind, in their order (for reports that list them).
constexpr std::size_t kMessageKindCount = detail::kMessageKinds.size();

} // namespace arti
