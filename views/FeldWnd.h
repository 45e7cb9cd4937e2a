// FELD_WND: the field window "Feld-Auflösung". It shows one field of the current record
// (number, lengths, type, position, M/K, name, content and the content's meaning) and
// writes an edited content straight back into the data file, over exactly the field's
// bytes. The logic holds what the window shows; its face shows it and reports the
// user's edits, keys and clicks.
#pragma once

#include "core/Services.h"
#include "views/RecordViewers.h"

#include <optional>
#include <string>

namespace arti {

enum class FeldCtl {
    TXTNORM,   // "Version"
    TXTSATZ,   // "aktl.Satzart"
    TXTOFFSET, // the record's file offset (top right)
    TXTNR,     // "Feld-Nummer"
    TXTPOS,    // "Feld-Position"
    TXTLENMAX, // "Feld-Länge max."
    TXTTYP,    // "Feld-Typ"
    TXTMK,     // "Feld-M/K"
    TXTLENAKT, // "Feld-Länge akt."
    TXTFILL,   // "+ Füllzeichen"
    TXTTOTAL,  // "="
    TXTNAME,   // "Feld-Name"
    TXTCHR,    // "CHR"
    TXTINFO,   // "aufgelöster Feld-Inhalt"
    SLEMASKE,  // the edit box "Feld-Inhalt"
    PSHSAVE,   // "Speichern"
    PSHCHR,    // "Feld CHR(0)"
    PSHCANCEL, // "Beenden"
    Count
};
// The control's name in the window template.
const char* feldControlName(FeldCtl c);

class IFeldView {
public:
    virtual ~IFeldView() = default;
    // Labels and the edit box (Windows-1252 text).
    virtual void setText(FeldCtl c, const std::string& text) = 0;
    virtual void setEnabled(FeldCtl c, bool on) = 0;
    // The most characters the edit box takes.
    virtual void setMaxLength(int length) = 0;
    // The edit box's highlight background while it has the focus.
    virtual void setHighlight(bool on) = 0;
    virtual void endDialog() = 0;
};

// The NUL replacement as the check window shows a zero byte of the file: the reader puts
// the replacement (a code page 850 byte) in its place and converts an OEM file's record
// to Windows-1252; an ANSI file's record keeps the byte as it is.
std::string nulAsShown(const CheckRun& run);

class FELD_WND {
public:
    // `main` hears of the close (ISCHILD) and reads the record again after a save.
    FELD_WND(IViewerOwner& main, CheckRun& run) : main_(main), run_(run) {}
    FELD_WND(const FELD_WND&) = delete;
    FELD_WND& operator=(const FELD_WND&) = delete;

    void attachView(IFeldView* view) { view_ = view; }
    Owner owner() const { return this; }

    // Fills the window from the field of a findings-list row (content, name, length,
    // type, M/K, position, number), or clears it and locks the edit box without one.
    bool SETUP(const std::optional<ListedField>& field, const std::string& recordType,
               const std::string& nulReplacement);
    // The decoded content for "aufgelöster Feld-Inhalt"; may show a box.
    std::string FELDINFO(const std::string& name, const std::string& content);
    // The edit box's text changed (typed, pasted or set).
    void EDITCHANGE(const std::string& text);
    // The edit box gains (true) or loses (false) the focus.
    void EDITFOCUSCHANGE(bool gained);
    // Brings the edit text to the field's length and shows its meaning.
    void FORMAT();
    void PSHSAVE();
    void PSHCHR();
    void PSHCANCEL();
    void CHRVIEW(int code);
    // A typed character reaches the edit box: shows its code, and says whether it
    // passes (a numeric field takes digits and backspace only).
    bool SLEMASKE(int code);

    const std::string& TYP() const { return typ_; }
    const std::string& editText() const { return edit_; }
    std::size_t NFELDLEN_ = 0;

private:
    void show(FeldCtl c, const std::string& text);
    // Shows the edit text's lengths; "Speichern" only for a changed, non-empty text.
    void showCounts(bool changed);
    // The edit text as leaving the box makes it: the field's declared and real length.
    std::string normalised(std::string t) const;
    // Why the edit text may not be written, as the refusal box's text; empty: it may.
    std::string refusal() const;
    // The field's bytes as they are in the file now, read the way the record was.
    std::optional<std::string> fieldInFile(long long at) const;

    IViewerOwner& main_;
    CheckRun& run_;
    IFeldView* view_ = nullptr;
    bool filled_ = false;
    std::string norm_;     // "0590", "0196", "2000A"
    long long offset_ = 0; // the record's first byte in the file
    std::string nr_, lenMax_, typ_, mk_, name_;
    std::size_t width_ = 0;      // characters of the declared length
    std::size_t wholeWidth_ = 0; // its integer part
    std::size_t position_ = 0;
    std::string content_; // the field as the window was filled with it
    std::string edit_;    // the edit box's text
    std::string nul_;     // the NUL replacement as the check window shows it
};

} // namespace arti
