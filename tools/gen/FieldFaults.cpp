#include "tools/gen/FieldFaults.h"

#include "tools/gen/Records.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace arti::gen {

namespace {

constexpr char kBell = '\x07'; // a control character: no version admits it in a text
constexpr char kDel = '\x7F';  // passes in ANSI files, so only the OEM versions get it

// How a field is changed.
enum class Edit : std::uint8_t {
    CheckDigit, // the last digit of a GTIN moves on by one
    Month13,    // the month of a date becomes 13
    Put,        // character `c` at place `at` (0-based) of the field
    Text,       // the field becomes `text`; a fixed field is padded with blanks
    Surplus,    // version 2000: one field more than the record type has, holding `text`
};

// One field of one record type and what is done to it. Fixed records name the field's
// place (start 1-based, width) as the field table of the version has it; version 2000
// records only the running number. The layouts are written down here on their own, so
// that a generated file also tests the checker's tables.
struct Target {
    char type;
    std::uint8_t field;
    std::uint8_t start;
    std::uint8_t width;
    Edit edit;
    std::uint8_t at;
    char c;
    std::string_view text;
};

constexpr std::uint8_t u8(int n) {
    return static_cast<std::uint8_t>(n);
}

constexpr Target put(char type, int field, int start, int width, int at, char c) {
    return {type, u8(field), u8(start), u8(width), Edit::Put, u8(at), c, {}};
}
constexpr Target put(char type, int field, int at, char c) {
    return put(type, field, 0, 0, at, c);
}
constexpr Target set(char type, int field, int start, int width, std::string_view text) {
    return {type, u8(field), u8(start), u8(width), Edit::Text, 0, 0, text};
}
constexpr Target set(char type, int field, std::string_view text) {
    return set(type, field, 0, 0, text);
}
constexpr Target by(char type, int field, int start, int width, Edit e) {
    return {type, u8(field), u8(start), u8(width), e, 0, 0, {}};
}
constexpr Target by(char type, int field, Edit e) {
    return by(type, field, 0, 0, e);
}

constexpr Version V0590 = Version::V0590;
constexpr Version V0196 = Version::V0196;
constexpr Version V2000 = Version::V2000;

struct FaultTarget {
    Fault fault;
    Version version;
    Target target;
};

// The single field faults: per version the record types that can carry a fault, the
// preferred first. Every change meets exactly one rule of the field checks and leaves
// alone what other rules read (processing status, article numbers, record rule fields).
constexpr FaultTarget kSingle[] = {
    {Fault::BadCheckDigit, V0590, by('A', 3, 3, 14, Edit::CheckDigit)},
    {Fault::BadCheckDigit, V0196, by('A', 3, 3, 14, Edit::CheckDigit)},
    {Fault::BadCheckDigit, V2000, by('I', 3, Edit::CheckDigit)},
    {Fault::BadCheckDigit, V2000, by('X', 2, Edit::CheckDigit)},
    // "Datum, gültig ab" of a price.
    {Fault::DateOutsideWindow, V0590, set('B', 17, 73, 8, "31121999")},
    {Fault::DateOutsideWindow, V0590, set('P', 9, 32, 8, "31121999")},
    {Fault::DateOutsideWindow, V0196, set('B', 23, 81, 8, "31121999")},
    {Fault::DateOutsideWindow, V0196, set('P', 9, 32, 8, "31121999")},
    {Fault::DateOutsideWindow, V2000, set('P', 5, "19991231")},
    {Fault::InvalidDate, V0590, by('B', 17, 73, 8, Edit::Month13)},
    {Fault::InvalidDate, V0590, by('P', 9, 32, 8, Edit::Month13)},
    {Fault::InvalidDate, V0196, by('B', 23, 81, 8, Edit::Month13)},
    {Fault::InvalidDate, V0196, by('P', 9, 32, 8, Edit::Month13)},
    {Fault::InvalidDate, V2000, by('P', 5, Edit::Month13)},
    {Fault::ForeignCurrency, V0590, set('B', 16, 70, 3, "USD")},
    {Fault::ForeignCurrency, V0590, set('P', 8, 29, 3, "USD")},
    {Fault::ForeignCurrency, V0196, set('B', 22, 78, 3, "USD")},
    {Fault::ForeignCurrency, V0196, set('P', 8, 29, 3, "USD")},
    {Fault::ForeignCurrency, V2000, set('P', 4, "USD")},
    // Numbers without a list whose value no record rule reads: weights, prices, discounts.
    {Fault::NonDigit, V0590, put('B', 10, 51, 6, 3, 'O')},
    {Fault::NonDigit, V0590, put('P', 7, 21, 8, 3, 'O')},
    {Fault::NonDigit, V0590, put('R', 4, 7, 4, 1, 'O')},
    {Fault::NonDigit, V0196, put('B', 12, 47, 6, 3, 'O')},
    {Fault::NonDigit, V0196, put('P', 7, 21, 8, 3, 'O')},
    {Fault::NonDigit, V0196, put('R', 4, 7, 5, 1, 'O')},
    {Fault::NonDigit, V2000, put('H', 13, 1, 'O')},
    {Fault::NonDigit, V2000, put('P', 3, 1, 'O')},
    {Fault::NonDigit, V2000, put('U', 5, 1, 'O')},
    {Fault::NonDigit, V2000, put('R', 6, 1, 'O')},
    // Names and texts.
    {Fault::BadCharacter, V0590, put('A', 6, 47, 27, 2, kBell)},
    {Fault::BadCharacter, V0590, put('B', 29, 112, 10, 2, kBell)},
    {Fault::BadCharacter, V0590, put('P', 13, 46, 15, 2, kBell)},
    {Fault::BadCharacter, V0590, put('R', 5, 11, 30, 2, kBell)},
    {Fault::BadCharacter, V0590, put('S', 3, 6, 30, 2, kBell)},
    {Fault::BadCharacter, V0196, put('A', 6, 47, 27, 2, kBell)},
    {Fault::BadCharacter, V0196, put('D', 8, 34, 40, 2, kBell)},
    {Fault::BadCharacter, V0196, put('P', 12, 46, 15, 2, kBell)},
    {Fault::BadCharacter, V0196, put('R', 5, 12, 30, 2, kBell)},
    {Fault::BadCharacter, V0196, put('S', 3, 6, 30, 2, kBell)},
    {Fault::BadCharacter, V2000, put('H', 2, 2, kBell)},
    {Fault::BadCharacter, V2000, put('I', 4, 2, kBell)},
    {Fault::BadCharacter, V2000, put('R', 4, 2, kBell)},
    {Fault::BadCharacter, V2000, put('W', 3, 2, kBell)},
    {Fault::FilledReserve, V0590, put('A', 10, 122, 7, 0, 'X')},
    {Fault::FilledReserve, V0590, put('B', 18, 81, 4, 0, 'X')},
    {Fault::FilledReserve, V0590, put('P', 10, 40, 4, 0, 'X')},
    {Fault::FilledReserve, V0590, put('R', 7, 71, 58, 0, 'X')},
    {Fault::FilledReserve, V0590, put('S', 5, 66, 63, 0, 'X')},
    {Fault::FilledReserve, V0196, put('D', 11, 117, 12, 0, 'X')},
    {Fault::FilledReserve, V0196, put('Z', 37, 123, 6, 0, 'X')},
    {Fault::FilledReserve, V0196, put('P', 10, 40, 5, 0, 'X')},
    {Fault::FilledReserve, V0196, put('R', 7, 72, 57, 0, 'X')},
    {Fault::FilledReserve, V0196, put('S', 5, 66, 63, 0, 'X')},
    // Coded fields: units, origin, price and discount switches.
    {Fault::ValueNotInList, V0590, set('B', 11, 57, 1, "X")},
    {Fault::ValueNotInList, V0590, set('P', 5, 19, 1, "5")},
    {Fault::ValueNotInList, V0590, set('R', 3, 6, 1, "5")},
    {Fault::ValueNotInList, V0196, set('B', 15, 60, 2, "99")},
    {Fault::ValueNotInList, V0196, set('P', 5, 19, 1, "5")},
    {Fault::ValueNotInList, V0196, set('R', 3, 6, 1, "5")},
    {Fault::ValueNotInList, V2000, set('H', 8, "99")},
    {Fault::ValueNotInList, V2000, set('P', 6, "7")},
    {Fault::ValueNotInList, V2000, set('R', 2, "3")},
    {Fault::ValueNotInList, V2000, set('T', 4, "5")},
    {Fault::ValueNotInList, V2000, set('K', 2, "X")},
    {Fault::ValueNotInList, V2000, set('Z', 4, "X")},
    // 05/90 reports a blank mandatory field only when it may hold code 0 instead (flag
    // "T"); 01/96 never reports a field that is blank over its whole width.
    {Fault::EmptyMandatory, V0590, set('A', 6, 47, 27, "")},
    {Fault::EmptyMandatory, V0590, set('B', 17, 73, 8, "")},
    {Fault::EmptyMandatory, V0590, set('P', 11, 44, 1, "")},
    {Fault::EmptyMandatory, V0590, set('S', 3, 6, 30, "")},
    {Fault::EmptyMandatory, V2000, set('H', 2, "")},
    {Fault::EmptyMandatory, V2000, set('P', 3, "")},
    {Fault::EmptyMandatory, V2000, set('K', 3, "")},
    {Fault::EmptyMandatory, V2000, set('T', 3, "")},
    {Fault::EmptyMandatory, V2000, set('S', 2, "")},
    {Fault::EmptyMandatory, V2000, set('R', 4, "")},
    {Fault::EmptyMandatory, V2000, set('W', 3, "")},
    {Fault::EmptyMandatory, V2000, set('U', 5, "")},
    // 05/90: the second material block names copper but its weight stays code 0; or the
    // second discount switch set without its rate. 01/96: conversion switch 1 without figure and
    // unit. 2000: material base without weight.
    {Fault::RecordRule, V0590, set('Z', 13, 45, 2, "01")},
    {Fault::RecordRule, V0590, set('B', 24, 101, 1, "1")},
    {Fault::RecordRule, V0196, set('B', 16, 62, 1, "1")},
    {Fault::RecordRule, V2000, set('Z', 8, "")},
};

struct Spoil {
    Version version;
    Target target;
};

// FieldFaultsEverywhere: two or three faults per record type, each in a field of its
// own and each reported by one finding. No dates and currencies: a run over the file
// asks no questions.
constexpr Spoil kEverywhere[] = {
    {V0590, put('K', 2, 2, 13, 3, 'O')},
    {V0590, put('K', 3, 15, 30, 2, kBell)},
    {V0590, put('K', 6, 88, 41, 0, 'X')},
    {V0590, by('A', 3, 3, 14, Edit::CheckDigit)},
    {V0590, put('A', 6, 47, 27, 2, kBell)},
    {V0590, put('A', 10, 122, 7, 0, 'X')},
    {V0590, put('B', 10, 51, 6, 3, 'O')},
    {V0590, put('B', 18, 81, 4, 0, 'X')},
    {V0590, put('B', 29, 112, 10, 1, kDel)},
    {V0590, put('Z', 10, 38, 5, 2, 'O')},
    {V0590, set('Z', 13, 45, 2, "01")},
    {V0590, put('Z', 37, 123, 6, 0, 'X')},
    {V0590, put('P', 7, 21, 8, 3, 'O')},
    {V0590, put('P', 10, 40, 4, 0, 'X')},
    {V0590, put('P', 13, 46, 15, 2, kBell)},
    {V0590, put('R', 4, 7, 4, 1, 'O')},
    {V0590, put('R', 5, 11, 30, 2, kBell)},
    {V0590, put('R', 7, 71, 58, 0, 'X')},
    {V0590, put('S', 3, 6, 30, 2, kBell)},
    {V0590, put('S', 4, 36, 30, 1, kDel)},
    {V0590, put('S', 5, 66, 63, 0, 'X')},

    {V0196, put('K', 2, 2, 13, 3, 'O')},
    {V0196, put('K', 3, 15, 30, 2, kBell)},
    {V0196, put('K', 7, 100, 29, 0, 'X')},
    {V0196, put('T', 6, 18, 40, 2, kBell)},
    {V0196, put('T', 7, 58, 13, 0, 'X')},
    {V0196, by('A', 3, 3, 14, Edit::CheckDigit)},
    {V0196, put('A', 6, 47, 27, 2, kBell)},
    {V0196, put('A', 8, 94, 20, 1, kDel)},
    {V0196, put('B', 12, 47, 6, 3, 'O')},
    {V0196, set('B', 15, 60, 2, "99")},
    {V0196, put('B', 34, 119, 10, 1, kBell)},
    {V0196, put('D', 8, 34, 40, 2, kBell)},
    {V0196, put('D', 11, 117, 12, 0, 'X')},
    {V0196, put('Z', 2, 2, 1, 0, 'X')},
    {V0196, put('Z', 10, 38, 5, 2, 'O')},
    {V0196, set('Z', 13, 45, 2, "01")},
    {V0196, put('P', 7, 21, 8, 3, 'O')},
    {V0196, put('P', 10, 40, 5, 0, 'X')},
    {V0196, put('P', 12, 46, 15, 2, kBell)},
    {V0196, put('R', 4, 7, 5, 1, 'O')},
    {V0196, put('R', 5, 12, 30, 2, kBell)},
    {V0196, put('R', 7, 72, 57, 0, 'X')},
    {V0196, put('S', 3, 6, 30, 2, kBell)},
    {V0196, put('S', 4, 36, 30, 1, kDel)},
    {V0196, put('S', 5, 66, 63, 0, 'X')},

    {V2000, by('I', 3, Edit::CheckDigit)},
    {V2000, put('I', 4, 2, kBell)},
    {V2000, put('I', 5, 1, kBell)},
    {V2000, put('H', 2, 2, kBell)},
    {V2000, put('H', 13, 1, 'O')},
    {V2000, set('H', 18, "98")},
    {V2000, put('P', 3, 1, 'O')},
    {V2000, set('P', 6, "7")},
    {V2000, set('P', 7, "5O")},
    {V2000, set('T', 2, "9")},
    {V2000, put('T', 3, 2, kBell)},
    {V2000, set('T', 4, "5")},
    {V2000, set('K', 2, "X")},
    {V2000, put('K', 3, 2, kBell)},
    {V2000, put('K', 4, 2, kBell)},
    {V2000, set('Z', 4, "X")},
    {V2000, put('Z', 7, 1, 'O')},
    {V2000, set('Z', 8, "")},
    {V2000, put('U', 2, 1, 'O')},
    {V2000, set('U', 4, "17")},
    {V2000, put('U', 5, 1, 'O')},
    {V2000, put('S', 2, 2, kBell)},
    // The S record has one field to spoil; a field too many is its second finding.
    {V2000, {'S', 3, 0, 0, Edit::Surplus, 0, 0, "X"}},
    {V2000, by('X', 2, Edit::CheckDigit)},
    {V2000, put('X', 3, 2, kBell)},
    {V2000, put('X', 4, 1, kBell)},
    {V2000, set('R', 2, "3")},
    {V2000, put('R', 4, 2, kBell)},
    {V2000, put('R', 6, 1, 'O')},
    {V2000, put('W', 2, 1, kBell)},
    {V2000, put('W', 3, 2, kBell)},
};

[[noreturn]] void unfit(const Target& t, const std::string& field) {
    throw std::logic_error(std::string("field ") + std::to_string(t.field) + " of the " + t.type +
                           " record cannot take the fault: \"" + field + "\"");
}

// Changes one field's content; a fixed field keeps its width.
void change(const Target& t, std::string& field, bool fixed) {
    switch (t.edit) {
    case Edit::CheckDigit: {
        const std::size_t last = field.find_last_not_of(' ');
        if (last == std::string::npos || field[last] < '0' || field[last] > '9') unfit(t, field);
        field[last] = static_cast<char>('0' + (field[last] - '0' + 1) % 10);
        return;
    }
    case Edit::Month13: {
        const std::size_t month = fixed ? 2 : 4; // DDMMYYYY or YYYYMMDD
        if (field.size() < month + 2) unfit(t, field);
        field.replace(month, 2, "13");
        return;
    }
    case Edit::Put:
        if (t.at >= field.size()) unfit(t, field);
        field[t.at] = t.c;
        return;
    case Edit::Text:
    case Edit::Surplus:
        field.assign(t.text);
        if (fixed) field.resize(t.width, ' ');
        return;
    }
}

// Text of a field for a note: printable ASCII as it is, any other byte as <code>.
std::string shown(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c < 127)
            out += ch;
        else
            out += "<" + std::to_string(c) + ">";
    }
    return out + "\"";
}

std::string note(const Target& t, const std::string& before, const std::string& after) {
    std::string s = "field " + std::to_string(t.field) + " of the " + t.type + " record: ";
    if (t.edit == Edit::Put) {
        const std::string one(1, t.c);
        return s + "character " + shown(one) + " at place " + std::to_string(t.at + 1) + " of " +
               shown(before);
    }
    if (t.edit == Edit::Surplus) return s + "one field more, " + shown(after);
    return s + shown(after) + " in place of " + shown(before);
}

std::string applyFixed(const Target& t, std::string& record) {
    if (t.start == 0 || t.start - 1u + t.width > record.size()) unfit(t, record);
    std::string field = record.substr(t.start - 1u, t.width);
    const std::string before = field;
    change(t, field, true);
    record.replace(t.start - 1u, t.width, field);
    return note(t, before, field);
}

std::vector<std::string> splitFields(const std::string& record, char separator) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t at = record.find(separator); at != std::string::npos;
         at = record.find(separator, from)) {
        fields.push_back(record.substr(from, at - from));
        from = at + 1;
    }
    fields.push_back(record.substr(from));
    return fields;
}

std::string applyFields(const Target& t, std::vector<std::string>& fields) {
    if (t.edit == Edit::Surplus) {
        if (fields.size() + 1 != t.field) unfit(t, std::to_string(fields.size()) + " fields");
        fields.emplace_back();
    }
    if (t.field == 0 || t.field > fields.size()) unfit(t, std::to_string(fields.size()) + " fields");
    std::string& field = fields[t.field - 1u];
    const std::string before = field;
    change(t, field, false);
    return note(t, before, field);
}

const Target* singleTarget(Fault f, Version v, char type) {
    for (const FaultTarget& s : kSingle)
        if (s.fault == f && s.version == v && s.target.type == type) return &s.target;
    return nullptr;
}

} // namespace

bool isFieldFault(Fault f) {
    return static_cast<int>(f) >= static_cast<int>(Fault::BadCheckDigit);
}

std::string fieldFaultTypes(Fault f, Version v) {
    std::string types;
    const auto add = [&](char t) {
        if (types.find(t) == std::string::npos) types += t;
    };
    if (f == Fault::FieldFaultsEverywhere) {
        for (const Spoil& s : kEverywhere)
            if (s.version == v) add(s.target.type);
        return types;
    }
    for (const FaultTarget& s : kSingle)
        if (s.fault == f && s.version == v) add(s.target.type);
    return types;
}

std::string putFieldFault(Fault f, Version v, std::string& record, char separator) {
    const Target* t = record.empty() ? nullptr : singleTarget(f, v, record[0]);
    if (!t) return {};
    if (v != Version::V2000) return applyFixed(*t, record);
    std::vector<std::string> fields = splitFields(record, separator);
    std::string what = applyFields(*t, fields);
    record = v2000::join(fields, separator);
    return what;
}

unsigned spoilRecord(Version v, std::string& record, char separator) {
    if (record.empty()) return 0;
    unsigned n = 0;
    std::vector<std::string> fields;
    if (v == Version::V2000) fields = splitFields(record, separator);
    for (const Spoil& s : kEverywhere) {
        if (s.version != v || s.target.type != record[0]) continue;
        if (v == Version::V2000)
            applyFields(s.target, fields);
        else
            applyFixed(s.target, record);
        ++n;
    }
    if (v == Version::V2000 && n > 0) record = v2000::join(fields, separator);
    return n;
}

} // namespace arti::gen
