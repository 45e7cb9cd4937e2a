#include "views/FeldWnd.h"

#include "core/Dates.h"
#include "core/Oem.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "rules/CodeTables.h"
#include "rules/SharedRules.h"
#include "run/CheckRun.h"
#include "settings/Settings.h"
#include "views/ViewerText.h"

#include <cmath>

namespace arti {

using namespace arti::literals;

namespace {

constexpr const char* kNames[] = {"TXTNORM", "TXTSATZ", "TXTOFFSET", "TXTNR",   "TXTPOS",   "TXTLENMAX",
                                  "TXTTYP",  "TXTMK",   "TXTLENAKT", "TXTFILL", "TXTTOTAL", "TXTNAME",
                                  "TXTCHR",  "TXTINFO", "SLEMASKE",  "PSHSAVE", "PSHCHR",   "PSHCANCEL"};
static_assert(std::size(kNames) == static_cast<std::size_t>(FeldCtl::Count));

std::string notSaved() {
    return "Der geänderte Wert wurde nicht gespeichert !\r\n\r\n"_ansi;
}

bool fixedVersion(const std::string& norm) {
    return norm == "0196" || norm == "0590";
}

// A number with a decimal comma as the program reads it ("0,12" is 0.12).
double commaNumber(std::string_view text) {
    std::string t(text);
    for (char& c : t)
        if (c == ',') c = '.';
    return fieldNumber(t);
}

// The numeric value of a text that begins with "0", without its leading zeros.
std::string withoutLeadingZeros(const std::string& text) {
    const double v = commaNumber(text);
    const std::size_t comma = text.find_first_of(",.");
    if (comma == std::string::npos || v == std::floor(v)) return plainNumber(static_cast<long long>(v));
    return decimalText(v, static_cast<int>(text.size() - comma - 1));
}

} // namespace

std::string nulAsShown(const CheckRun& run) {
    return run.LASCII_ ? oemToAnsiCopy(run.CCHR0_) : run.CCHR0_;
}

const char* feldControlName(FeldCtl c) {
    return kNames[static_cast<std::size_t>(c)];
}

void FELD_WND::show(FeldCtl c, const std::string& text) {
    if (view_) view_->setText(c, text);
}

bool FELD_WND::SETUP(const std::optional<ListedField>& field, const std::string& recordType,
                     const std::string& nulReplacement) {
    nul_ = nulReplacement;
    filled_ = field.has_value();
    if (!filled_) {
        for (std::size_t i = 0; i <= static_cast<std::size_t>(FeldCtl::SLEMASKE); ++i)
            show(static_cast<FeldCtl>(i), "");
        edit_.clear();
        content_.clear();
        NFELDLEN_ = 0;
        if (view_) {
            view_->setEnabled(FeldCtl::SLEMASKE, false);
            view_->setEnabled(FeldCtl::PSHSAVE, false);
            view_->setEnabled(FeldCtl::PSHCHR, false);
        }
        return true;
    }
    // A position or running number of 0 is not shown.
    const auto shown = [](std::uint32_t n) { return n > 0 ? plainNumber(n) : std::string(); };
    norm_ = std::string(versionText(run_.version));
    offset_ = run_.NZEIGER_;
    show(FeldCtl::TXTNORM, norm_);
    show(FeldCtl::TXTSATZ, recordType);
    show(FeldCtl::TXTOFFSET, plainNumber(offset_));
    show(FeldCtl::TXTCHR, "");
    name_ = field->name, lenMax_ = field->length, typ_ = field->type, mk_ = field->mk;
    nr_ = shown(field->number);
    width_ = field->width, wholeWidth_ = field->wholeWidth;
    position_ = field->position;
    for (const auto& [c, text] : {std::pair{FeldCtl::TXTNR, nr_},
                                  {FeldCtl::TXTLENMAX, lenMax_},
                                  {FeldCtl::TXTTYP, typ_},
                                  {FeldCtl::TXTPOS, shown(field->position)},
                                  {FeldCtl::TXTMK, mk_},
                                  {FeldCtl::TXTNAME, name_}})
        show(c, text);
    const std::size_t nLen = width_;
    content_ = edit_ = field->content;
    show(FeldCtl::SLEMASKE, edit_);
    const std::size_t actual = trim(edit_).size();
    show(FeldCtl::TXTLENAKT, plainNumber(static_cast<long long>(actual)));
    show(FeldCtl::TXTFILL, plainNumber(static_cast<long long>(edit_.size() - actual)));
    show(FeldCtl::TXTTOTAL, plainNumber(static_cast<long long>(edit_.size())));
    show(FeldCtl::TXTINFO, FELDINFO(name_, edit_));
    // An empty field of a version 2000 record has no bytes to write over.
    const bool editable = !(norm_ == "2000A" && actual == 0) && position_ > 0;
    NFELDLEN_ = editable ? edit_.size() : 0;
    if (view_) {
        view_->setEnabled(FeldCtl::SLEMASKE, editable);
        view_->setEnabled(FeldCtl::PSHCHR, editable);
        // Never shorter than the content: the box would cut it before the user typed.
        if (editable) view_->setMaxLength(static_cast<int>(std::max(nLen, edit_.size())));
        view_->setEnabled(FeldCtl::PSHSAVE, false);
    }
    return true;
}

std::string FELD_WND::FELDINFO(const std::string& name, const std::string& content) {
    const bool fixed = fixedVersion(norm_);
    const std::string trimmed = trim(content);
    std::string result = content;
    if (name == "Währung"_ansi && content != settings().waehrung) {
        box().error(owner(), "Fehler", "Währung entspricht nicht der Systemeinstellung!"_ansi);
    } else if (name != "Reserve" && mk_ == "M" && trimmed.empty()) {
        box().error(owner(), "Fehler", "Muss-Feld muss Zeichen enthalten!");
    } else if (fixed && name == "Reserve" && !trimmed.empty()) {
        box().error(owner(), "Fehler", "Reserve-Feld darf nur Leerzeichen enthalten!");
    } else if (name.find("Datum") != std::string::npos) {
        const auto date =
            readDigitDate(trimmed, norm_ == "2000A" ? DigitOrder::YearMonthDay : DigitOrder::DayMonthYear);
        const auto& s = settings();
        if (!date || (s.uDatum && *date < *s.uDatum) || (s.oDatum && *date > *s.oDatum))
            box().error(owner(), "Fehler", "Datum ist ungültig oder außerhalb des Prüfbereiches !"_ansi);
        return date ? formatDate(*date) : std::string();
    } else if (norm_ == "0590" && !content.empty() && !nul_.empty() &&
               content.find_first_not_of(nul_[0]) == std::string::npos) {
        result = "binär 0 gefüllt"_ansi;
    } else {
        result = decodeValue(run_.version, name, content);
    }
    if (fixed && name.find("Preis, kl") != std::string::npos)
        result = decimalText(fieldNumber(content) / 100.0, 2);
    if (fixed && typ_ == "N" && startsWith(result, "0")) result = withoutLeadingZeros(result);
    if (result == edit_ || result == trim(edit_)) result.clear();
    return result;
}

void FELD_WND::showCounts(bool changed) {
    const std::size_t actual = trimRight(edit_).size();
    show(FeldCtl::TXTLENAKT, plainNumber(static_cast<long long>(actual)));
    show(FeldCtl::TXTTOTAL, plainNumber(static_cast<long long>(edit_.size())));
    show(FeldCtl::TXTFILL, plainNumber(static_cast<long long>(edit_.size() - actual)));
    if (view_) view_->setEnabled(FeldCtl::PSHSAVE, filled_ && NFELDLEN_ > 0 && actual > 0 && changed);
}

void FELD_WND::EDITCHANGE(const std::string& text) {
    if (!filled_) return;
    edit_ = text;
    // The text the box showed, with or without the blanks that entering it takes away,
    // is no change.
    showCounts(edit_ != content_ && edit_ != trim(content_));
}

void FELD_WND::EDITFOCUSCHANGE(bool gained) {
    if (!filled_ || NFELDLEN_ == 0) return;
    if (gained) {
        edit_ = trim(edit_);
        show(FeldCtl::SLEMASKE, edit_);
        show(FeldCtl::TXTFILL, "");
        show(FeldCtl::TXTTOTAL, "");
        show(FeldCtl::TXTINFO, "");
        if (view_) view_->setHighlight(true);
    } else {
        if (view_) view_->setHighlight(false);
        FORMAT();
    }
}

std::string FELD_WND::normalised(std::string t) const {
    if (fixedVersion(norm_)) {
        if (t.size() < width_) {
            if (typ_ == "N")
                t.insert(0, width_ - t.size(), '0');
            else
                t.append(width_ - t.size(), ' ');
        }
    }
    if (name_ == "Preis" && t.find_first_of(",.") != std::string::npos)
        t = decimalText(commaNumber(t) / std::pow(10.0, settings().nks), 2);
    t.resize(NFELDLEN_, ' ');
    return t;
}

void FELD_WND::FORMAT() {
    if (!filled_ || NFELDLEN_ == 0) return;
    edit_ = normalised(edit_);
    show(FeldCtl::SLEMASKE, edit_);
    // Leaving the box unchanged gives the same text; only another one may be saved.
    showCounts(edit_ != normalised(trim(content_)));
    show(FeldCtl::TXTINFO, FELDINFO(name_, edit_));
}

std::optional<std::string> FELD_WND::fieldInFile(long long at) const {
    // From the file itself, not from the reader's cache: another program may have
    // changed it since the record was read.
    if (BufferedFile* file = files::find(run_.source.handle())) file->dropCache();
    if (FSEEK(run_.source.handle(), at) != at) return std::nullopt;
    std::string bytes = FREADSTR(run_.source.handle(), NFELDLEN_);
    if (bytes.size() != NFELDLEN_) return std::nullopt;
    // The 05/90 reader shows a zero byte as the NUL replacement; every reader converts
    // from code page 850 for an OEM file.
    if (run_.version == Version::V0590 && !run_.CCHR0_.empty())
        for (char& c : bytes)
            if (c == '\0') c = run_.CCHR0_[0];
    if (run_.LASCII_) oemToAnsi(bytes);
    return bytes;
}

std::string FELD_WND::refusal() const {
    if (edit_.find_first_of("\r\n\x1A") != std::string::npos)
        return notSaved() + "Zeilenumbrüche und das Dateiende-Zeichen sind in einem Feld nicht erlaubt."_ansi;
    if (run_.version == Version::V2000 && !run_.separator.empty() &&
        edit_.find(run_.separator[0]) != std::string::npos)
        return notSaved() + "Das Trennzeichen \"" + run_.separator + "\" ist in einem Feld nicht erlaubt.";
    return {};
}

void FELD_WND::PSHSAVE() {
    if (view_) view_->setEnabled(FeldCtl::PSHSAVE, false);
    if (!filled_ || NFELDLEN_ == 0 || run_.source.handle() == 0) return;
    // Only a text of exactly the field's length may be written over it.
    if (fixedVersion(norm_) && edit_.size() != NFELDLEN_) FORMAT();
    if (fixedVersion(norm_) && !nul_.empty() && edit_.find(nul_) != std::string::npos) {
        // The box names the file's own version, 01/96 or 05/90.
        const std::string version = norm_.substr(0, 2) + "/" + norm_.substr(2);
        box().info(owner(), "V" + version + " speichern",
                   notSaved() + "In der Version " + version +
                       " ist Speichern nur möglich, wenn kein Binär 0 im Text vorhanden ist."_ansi);
        return;
    }
    if (norm_ == "2000A" && edit_.size() != NFELDLEN_) {
        box().info(
            owner(), "V2000 speichern",
            notSaved() +
                "In der Version 2000 ist Speichern nur möglich, wenn sich die Feldlänge nicht verändert."_ansi);
        return;
    }
    if (const std::string why = refusal(); !why.empty()) {
        box().error(owner(), "Speichern", why);
        return;
    }
    // A file that another has replaced on disk would take the value where nobody sees it.
    if (run_.source.replaced()) {
        box().error(owner(), "Speichern",
                    notSaved() + replacedFileText(run_.source.path()) +
                        "\r\nWählen Sie die Datei mit \"Datei\" erneut aus."_ansi);
        return;
    }
    const long long at = offset_ + static_cast<long long>(position_) - 1;
    // The file must still hold what the window was filled with, else the record has
    // changed since it was read and the field's place may be another.
    const std::optional<std::string> before = fieldInFile(at);
    if (!before || *before != content_) {
        box().error(
            owner(), "Speichern",
            notSaved() +
                "Der Feld-Inhalt in der Datei stimmt nicht mehr mit dem angezeigten überein: "
                "die Datei wurde geändert, seit der Satz gelesen wurde. Bitte den Satz neu einlesen."_ansi);
        return;
    }
    if (FSEEK(run_.source.handle(), at) != at ||
        !BIN_W(owner(), run_.source.handle(), edit_, 0, run_.LASCII_)) {
        FSEEK(run_.source.handle(), offset_);
        return;
    }
    if (const std::optional<std::string> now = fieldInFile(at)) content_ = *now;
    FSEEK(run_.source.handle(), offset_);
    windowServices().processMessages();
    main_.LIESSATZ();
}

void FELD_WND::PSHCHR() {
    if (!filled_ || NFELDLEN_ == 0 || nul_.empty()) return;
    const std::string t(wholeWidth_, nul_[0]);
    show(FeldCtl::SLEMASKE, t);
    EDITCHANGE(t);
}

void FELD_WND::PSHCANCEL() {
    main_.ISCHILD(false);
    if (view_) view_->endDialog();
}

void FELD_WND::CHRVIEW(int code) {
    show(FeldCtl::TXTCHR, plainNumber(code));
}

bool FELD_WND::SLEMASKE(int code) {
    CHRVIEW(code);
    if (typ_ == "N" && code != 8) return code >= '0' && code <= '9';
    return true;
}

} // namespace arti
