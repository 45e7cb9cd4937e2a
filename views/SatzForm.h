// The form of the sequence viewer: the labelled values of one article sequence, filled
// record by record. A later record of a type overwrites what an earlier one of the type
// set; text lines gather in the text box, which stops at kTextLimit. Only what the form
// shows is kept, so a sequence of any length costs the same memory.
#pragma once

#include "rules/Version.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace arti {

// The value labels TXT1 to TXT75 by the caption beside them; the raw-material grid's
// cells follow the captions row by row (kGrid + 8 × row + column).
enum SatzLabel : int {
    kVerarbeitung = 1,
    kGtin,
    kHersteller,
    kGrosshaendler,
    kBezeichnung1,
    kBezeichnung2,
    kTypenbezeichnung,
    kZusatztext,
    kHerstellername,
    kMatchcode,
    kMengeneinheit,
    kVerpackungseinheit,
    kKleinsteVpe,
    kGewicht,
    kPreiskennzeichen,
    kPreiseinheit,
    kPreis,
    kWaehrung,
    kPreisGueltig,
    kWarengruppe,
    kPreisgruppe,
    kRabattgruppe,
    kRabattsatz,
    kKatalogseite,
    kRmt1,
    kRmt2,
    kRmt3,
    kRmtWert1,
    kRmtWert2,
    kRmtWert3,
    kUrsprung,
    kVerweisDatei,
    kVerweisText,
    kHerstellerKz,
    kAuslaufdatum,
    kUmrechnung,
    kMengeneinheit2,
    kRabattgruppeHerst,
    kPraeferenz,
    kUrsprungsland,
    kUrsprungBrd,
    kWarennummer,
    kMasseinheit,
    kGrid = 44,
    kLastLabel = kGrid + 4 * 8 - 1,
};
enum GridColumn : int {
    kGridArt,
    kGridGewicht,
    kGridBasis,
    kGridKzBetrag,
    kGridBetrag,
    kGridSprung,
    kGridKzSprung,
    kGridKzZuGu
};
constexpr int gridLabel(int row, int column) {
    return kGrid + 8 * row + column;
}

class SequenceForm {
public:
    // The text box stops here; a last line says that the text was cut.
    static constexpr std::size_t kTextLimit = 1 << 20;

    explicit SequenceForm(Version version = Version::None) : version_(version) {}

    // Empties every label and the text box.
    void clear();
    // Shows one record of the sequence by its type.
    void add(std::string_view record);
    // After the last record: a 01/96 long-text key fetches its stored text through
    // `lookup` (key without surrounding blanks; none when it is not stored).
    void finish(const std::function<std::optional<std::string>(const std::string&)>& lookup);

    const std::string& label(int n) const { return labels_.at(static_cast<std::size_t>(n)); }
    const std::string& text() const { return text_; }
    bool dimensionsPossible() const { return dimensions_; }

private:
    void set(int n, std::string_view value) { labels_[static_cast<std::size_t>(n)].assign(value); }
    void appendText(std::string_view line);
    void addArticleHead(std::string_view r);
    void add0590(std::string_view r);
    void add0196(std::string_view r);
    void add2000(std::string_view r);
    void addGridFixed(std::string_view r);
    void addText0196(std::string_view r);
    std::string decoded(std::string_view keyword, std::string_view value) const;

    Version version_;
    std::array<std::string, kLastLabel + 1> labels_{};
    std::string text_;
    bool cut_ = false;
    bool dimensions_ = false;
};

// Merges the dimension values written before the first line of 40 "-" into the "$"
// places of the long text after it; the text unchanged without such a line.
std::string mergeDimensions(const std::string& text);

} // namespace arti
