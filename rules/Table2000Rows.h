// The constant field tables of version 2000 with the row flags and check plans worked
// out from them, visible at compile time: the field checks compile one check per record
// type from them, with every row's plan fixed.
#pragma once

#include "rules/FieldTable.h"
#include "rules/Table2000.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace arti::rows2000 {

// Non-ASCII letters are written as Windows-1252 escapes; a literal is closed after each
// escape so that a following letter is not read as a hex digit.
inline constexpr std::array<FieldDef, 18> kH{{
    {"Satzartkennzeichen", "1", "A", "M", "H", "F"},
    {"Bezeichnung 1", "35", "A", "M", "", "F"},
    {"Bezeichnung 2", "35", "A", "K", "", "F"},
    {"Typenbezeichnung", "35", "A", "M", "", "F"},
    {"Herstellername", "35", "A", "M", "", "F"},
    {"Herstellerk\xFC"
     "rzel",
     "10", "A", "K", "", "F"},
    {"Verpackungsmenge kl.", "8", "N", "M", "", "F"},
    {"Mengeneinheit 1", "2", "N", "M", "01/11/12/13/21/22/23/31/32/33/41/42/43", "F"},
    {"Datum Auslauf", "8", "N", "K", "", "F"},
    {"Schalter Umrechnung", "1", "N", "K", "1/2", "F"},
    {"Zahlenwert", "6", "N", "K", "", "F"},
    {"Mengeneinheit 2", "2", "N", "K", "01/11/12/13/21/22/23/31/32/33/41/42/43", "F"},
    {"Gewicht in Gramm kl.Menge", "6", "N", "K", "", "F"},
    {"Rabattgruppe Herst.", "4", "A", "K", "", "F"},
    {"Rabattgruppe Gro\xDF"
     "h.",
     "4", "A", "K", "", "F"},
    {"Preisgruppe", "4", "A", "K", "", "F"},
    {"Warengruppe", "8", "A", "K", "", "F"},
    {"Verpackungsart", "2", "N", "K", "01/02/03/04/05/06/07/11/12/13/14/21/22/23/24/25/31/32/33/41/42/99",
     "F"},
}};

inline constexpr std::array<FieldDef, 5> kI{{
    {"Satzartkennzeichen", "1", "A", "M", "I", "F"},
    {"Status, Verarbeitung", "1", "A", "M", "S/L", "F"},
    {"EAN/GTIN", "14", "N", "K", "", "F"},
    {"Hersteller-Nr.", "35", "A", "K", "", "F"},
    {"Gro\xDF"
     "h\xE4"
     "ndler-Nr.",
     "15", "A", "K", "", "F"},
}};

inline constexpr std::array<FieldDef, 5> kK{{
    {"Satzartkennzeichen", "1", "A", "M", "K", "F"},
    {"Schalter Klasse/Merkmal", "1", "A", "M", "K/M", "F"},
    {"Klasse/Merkmal", "35", "A", "M", "", "F"},
    {"Gruppe/Inhalt", "35", "A", "M", "", "F"},
    {"Objekt/Ma\xDF"
     "angabe",
     "35", "A", "K", "", "F"},
}};

inline constexpr std::array<FieldDef, 7> kP{{
    {"Satzartkennzeichen", "1", "A", "M", "P", "F"},
    {"Preiskennzeichen", "1", "N", "M", "1/2/3/4/5", "F"},
    {"Preis", "10", "N", "M", "", "F"},
    {"W\xE4"
     "hrung",
     "3", "A", "M", "", "F"},
    {"Datum, g\xFC"
     "ltig ab",
     "8", "N", "M", "", "F"},
    {"Preiseinheit", "1", "N", "M", "1/2/3/4", "F"},
    {"Rabattsatz", "5", "N", "K", "", "F"},
}};

inline constexpr std::array<FieldDef, 6> kR{{
    {"Satzartkennzeichen", "1", "A", "M", "R", "F"},
    {"Schalter H/G", "1", "N", "M", "1/2", "F"},
    {"Rabattgruppe", "4", "A", "M", "", "F"},
    {"Rabattgruppentext 1", "60", "A", "M", "", "F"},
    {"Kennzeichen Rab/Multi", "1", "N", "M", "1/2", "F"},
    {"Rabatt/Multiplikator", "6", "N", "M", "", "F"},
}};

inline constexpr std::array<FieldDef, 2> kS{{
    {"Satzartkennzeichen", "1", "A", "M", "S", "F"},
    {"Suchbegriff", "35", "A", "M", "", "F"},
}};

inline constexpr std::array<FieldDef, 4> kT{{
    {"Satzartkennzeichen", "1", "A", "M", "T", "F"},
    {"Schalter Text", "1", "N", "M", "0/1/2/3/4/5/6/7", "F"},
    {"Text/Dateiname", "245", "A", "M", "", "F"},
    {"Schalter Umbruch", "1", "N", "M", "0/1/2/3", "F"},
}};

inline constexpr std::array<FieldDef, 6> kU{{
    {"Satzartkennzeichen", "1", "A", "M", "U", "F"},
    {"Pr\xE4"
     "ferenz",
     "3", "N", "M", "", "F"},
    {"Ursprungsland", "3", "A", "M", "", "F"},
    {"Ursprung BRD Land", "2", "N", "K", "01/02/03/04/05/06/07/08/09/10/11/12/13/14/15/16", "F"},
    {"Waren-Nr.", "8", "N", "M", "", "F"},
    {"bes.Ma\xDF"
     "einheit Hstat.",
     "8", "N", "M", "", "F"},
}};

inline constexpr std::array<FieldDef, 15> kV{{
    {"Satzartkennzeichen", "1", "A", "M", "V", "F"},
    {"Version", "5", "A", "M", "", "F"},
    {"Datum Erstellung", "8", "N", "M", "", "F"},
    {"Satzarten", "10", "A", "M", "H/I/K/P/R/S/T/U/W/X/Z", "F"},
    {"Informationstext", "60", "A", "M", "", "F"},
    {"Name Datenursprung", "30", "A", "M", "", "F"},
    {"GLN Datenursprung", "13", "A", "K", "", "F"},
    {"Name Datenersteller", "30", "A", "K", "", "F"},
    {"GLN Datenersteller", "13", "A", "K", "", "F"},
    {"Name Datenempf\xE4"
     "nger",
     "30", "A", "K", "", "F"},
    {"GLN Datenempf\xE4"
     "nger",
     "13", "A", "K", "", "F"},
    {"Kunden-Nr. Datenempf\xE4"
     "nger",
     "15", "A", "K", "", "F"},
    {"Betriebssystem", "1", "A", "K", " /D/W/A", "F"},
    {"Zeichensatz", "15", "A", "K", "", "F"},
    {"Schriftart", "15", "A", "K", "", "F"},
}};

inline constexpr std::array<FieldDef, 3> kW{{
    {"Satzartkennzeichen", "1", "A", "M", "W", "F"},
    {"Warengruppe", "8", "A", "M", "", "F"},
    {"Text", "60", "A", "M", "", "F"},
}};

inline constexpr std::array<FieldDef, 4> kX{{
    {"Satzartkennzeichen", "1", "A", "M", "X", "F"},
    {"EAN/GTIN neu", "14", "N", "K", "", "F"},
    {"Hersteller-Nr. neu", "35", "A", "K", "", "F"},
    {"Gro\xDF"
     "h\xE4"
     "ndler-Nr. neu",
     "15", "A", "K", "", "F"},
}};

inline constexpr std::array<FieldDef, 9> kZ{{
    {"Satzartkennzeichen", "1", "A", "M", "Z", "F"},
    {"Zuschlagart", "2", "N", "M", "01/02/03/04/05/06/07/90/91/92/93", "F"},
    {"Schalter W\xE4"
     "hrung/Prozent",
     "1", "A", "M", "P/W", "F"},
    {"Schalter Basis/Kumuliert", "1", "A", "M", "B/K", "F"},
    {"Prozentsatz", "6", "N", "K", "", "F"},
    {"Betrag", "8", "N", "K", "", "F"},
    {"Materialbasis W\xE4"
     "hr./100kg",
     "6", "N", "K", "", "F"},
    {"Materialgewicht g/PrEinh.", "8", "N", "K", "", "F"},
    {"Sprunggr\xF6"
     "\xDF"
     "e",
     "6", "N", "K", "", "F"},
}};

template <std::size_t N>
constexpr std::array<std::uint8_t, N> rulesOf(const std::array<FieldDef, N>& table, char type) {
    std::array<std::uint8_t, N> rules{};
    for (std::size_t i = 0; i < N; ++i) {
        std::uint8_t r = 0;
        if (table[i].has(kTraitDate)) r |= kDateField2000;
        if (table[i].name == "W\xE4hrung") r |= kCurrencyField2000;
        if (type == 'U' && table[i].name == "Ursprungsland") r |= kCountryCodes2000;
        rules[i] = r;
    }
    return rules;
}

inline constexpr auto kRulesH = rulesOf(kH, 'H');
inline constexpr auto kRulesI = rulesOf(kI, 'I');
inline constexpr auto kRulesK = rulesOf(kK, 'K');
inline constexpr auto kRulesP = rulesOf(kP, 'P');
inline constexpr auto kRulesR = rulesOf(kR, 'R');
inline constexpr auto kRulesS = rulesOf(kS, 'S');
inline constexpr auto kRulesT = rulesOf(kT, 'T');
inline constexpr auto kRulesU = rulesOf(kU, 'U');
inline constexpr auto kRulesV = rulesOf(kV, 'V');
inline constexpr auto kRulesW = rulesOf(kW, 'W');
inline constexpr auto kRulesX = rulesOf(kX, 'X');
inline constexpr auto kRulesZ = rulesOf(kZ, 'Z');

template <std::size_t N>
constexpr std::array<std::uint8_t, N> plansOf(const std::array<FieldDef, N>& table,
                                              const std::array<std::uint8_t, N>& rules) {
    std::array<std::uint8_t, N> plans{};
    for (std::size_t i = 0; i < N; ++i) {
        const FieldDef& d = table[i];
        std::uint8_t p = d.mandatory() ? kPlanMandatory : 0;
        if (rules[i] & kCountryCodes2000) p |= kPlanWhole;
        if (rules[i] & kCurrencyField2000) p |= kPlanCurrency;
        if (rules[i] & kDateField2000) p |= kPlanDate;
        const bool listed = d.has(kTraitList);
        if (d.numeric()) {
            p |= listed ? kPlanList : kPlanNumber;
        } else if (d.has(kTraitAlpha)) {
            // A list on a field of ten characters or more is not tested.
            if (!listed)
                p |= kPlanText;
            else if (d.has(kTraitShortLength))
                p |= kPlanList;
        }
        plans[i] = p;
    }
    return plans;
}

inline constexpr auto kPlansH = plansOf(kH, kRulesH);
inline constexpr auto kPlansI = plansOf(kI, kRulesI);
inline constexpr auto kPlansK = plansOf(kK, kRulesK);
inline constexpr auto kPlansP = plansOf(kP, kRulesP);
inline constexpr auto kPlansR = plansOf(kR, kRulesR);
inline constexpr auto kPlansS = plansOf(kS, kRulesS);
inline constexpr auto kPlansT = plansOf(kT, kRulesT);
inline constexpr auto kPlansU = plansOf(kU, kRulesU);
inline constexpr auto kPlansV = plansOf(kV, kRulesV);
inline constexpr auto kPlansW = plansOf(kW, kRulesW);
inline constexpr auto kPlansX = plansOf(kX, kRulesX);
inline constexpr auto kPlansZ = plansOf(kZ, kRulesZ);

static_assert(kRulesH[8] == kDateField2000 && kRulesP[4] == kDateField2000 && kRulesV[2] == kDateField2000);
static_assert(kRulesP[3] == kCurrencyField2000 && kRulesU[2] == kCountryCodes2000);

} // namespace arti::rows2000
