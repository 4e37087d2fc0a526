#include "output/Sanitizing.h"

#include <gtest/gtest.h>

namespace {

// Bank text in both tables: the German one of the 2009 files, which a second
// pass leaves as it is, and the SEPA character set of the 2019 files, cut to 20.
// The common umlauts and ß are read back from every written payment file.
TEST(Sanitizing, GivesBankSafeText) {
    const struct {
        const char* name;
        bool sepaSet;
        QString input, expected;
    } rows[] = {
        {"CapitalUmlauts", false, "ÄÖÜ", "AEOEUE"},
        {"WholeAccentTable", false, "ÁÀáàÉÈéèÍÌíìÓÒóòÚÙúùÝý", "AAaaEEeeIIiiOOooUUuuYy"},
        {"TildeStays", false, "José Núñez", "Jose Nuñez"},
        {"GraveCapital", false, "Ève", "Eve"},
        {"CircumflexStays", false, "Ôte âêîôû ç ø å", "Ôte âêîôû ç ø å"},
        {"Empty", false, "", ""},
        {"Untouched", false, "Plain text; 12 & <x>", "Plain text; 12 & <x>"},
        {"GermanFirst", true, "Müßig Ärger", "Muessig AErger"},
        {"MarksDropped", true, "François Nuñez Šê", "Francois Nunez Se"},
        {"OwnLetters", true, "øØæÆœŒłŁđĐðÐþÞı", "oOaeAEoeOElLdDdDthTH"},
        {"SignsBecomeBlanks", true, "A&B<C>\"D\";E", "A B C  D  E"},
        {"SetKept", true, "a/-?:().,'+Z9", "a/-?:().,'+Z9"},
        {"TrimmedThenCut", true, "  &" + QString(30, QLatin1Char('x')), QString(20, QLatin1Char('x'))},
        {"OutsideLatin", true, "Łódź 𝄞 €", "Lodz"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.sepaSet) {
            EXPECT_EQ(ToSepaCharacterSet(row.input, 20), row.expected);
        } else {
            EXPECT_EQ(ReplaceSpecialChars(row.input), row.expected);
            EXPECT_EQ(ReplaceSpecialChars(row.expected), row.expected);
        }
    }
}

// A Latin-1 text takes a shorter way into the SEPA set than any other; both
// ways must give the same, here for every Latin-1 character (the euro sign
// sends the same text the other way and ends as a trimmed blank).
TEST(Sanitizing, Latin1TextsComeOutAsAnyOther) {
    QString latin1;
    for (char16_t c = 1; c < 256; ++c)
        latin1 += QChar(c) + QStringLiteral("a");
    EXPECT_EQ(ToSepaCharacterSet(latin1, 1000), ToSepaCharacterSet(latin1 + QChar(0x20AC), 1000));
}

// Only the seven texts the files carry as names and places are cleaned; the
// print names, the invoice, the identifiers and the postcode stay as typed.
TEST(ReplaceSpecialCharsInBookings, CleansTheSevenTextFieldsOnly) {
    using B = Buchung;
    const QList<QString B::*> cleaned = {&B::Anrede, &B::Strasse, &B::Ort, &B::Nation,
                                         &B::Name,   &B::Vorname, &B::Bank};
    const QList<QString B::*> kept = {
        &B::DruckName, &B::DruckVorname, &B::Rechnung,      &B::Verwendungszweck,
        &B::PLZ,       &B::Postfach,     &B::Mandatsnummer, &B::IBAN,
        &B::BIC,       &B::BLZ,          &B::KontoNr};
    BookingList list;
    Buchung b;
    for (QString B::*field : cleaned + kept)
        b.*field = "Straße Ö";
    list.append(b);
    ReplaceSpecialCharsInBookings(list);
    for (QString B::*field : cleaned + kept)
        EXPECT_EQ(list[0].*field, cleaned.contains(field) ? "Strasse OE" : "Straße Ö");
    EXPECT_TRUE(list.last().Name.isEmpty()) << "the trailing empty element stays empty";
}

} // namespace
