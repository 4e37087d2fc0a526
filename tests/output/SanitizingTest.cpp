#include "output/Sanitizing.h"

#include <gtest/gtest.h>

namespace {

struct Replacement {
    const char* name;
    QString input;
    QString expected;
};

void PrintTo(const Replacement& row, std::ostream* os) {
    *os << row.name;
}

class ReplaceSpecialCharsTest : public testing::TestWithParam<Replacement> {};

TEST_P(ReplaceSpecialCharsTest, GivesBankSafeText) {
    EXPECT_EQ(ReplaceSpecialChars(GetParam().input), GetParam().expected);
    // Applying it twice changes nothing more.
    EXPECT_EQ(ReplaceSpecialChars(ReplaceSpecialChars(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplaceSpecialCharsTest,
    testing::Values(Replacement{"SharpS", QStringLiteral("Müßig"), QStringLiteral("Muessig")},
                    Replacement{"CapitalUmlauts", QStringLiteral("ÄÖÜ"), QStringLiteral("AEOEUE")},
                    Replacement{"SmallUmlauts", QStringLiteral("äöü"), QStringLiteral("aeoeue")},
                    Replacement{"WholeAccentTable", QStringLiteral("ÁÀáàÉÈéèÍÌíìÓÒóòÚÙúùÝý"),
                                QStringLiteral("AAaaEEeeIIiiOOooUUuuYy")},
                    Replacement{"TildeStays", QStringLiteral("José Núñez"), QStringLiteral("Jose Nuñez")},
                    Replacement{"GraveCapital", QStringLiteral("Ève"), QStringLiteral("Eve")},
                    Replacement{"CircumflexStays", QStringLiteral("Ôte âêîôû ç ø å"),
                                QStringLiteral("Ôte âêîôû ç ø å")},
                    Replacement{"Empty", QString(), QString()},
                    Replacement{"Untouched", QStringLiteral("Plain text; 12 & <x>"),
                                QStringLiteral("Plain text; 12 & <x>")}),
    [](const testing::TestParamInfo<Replacement>& info) { return std::string(info.param.name); });

// Only the seven texts the files carry as names and places are cleaned; the
// print names, the invoice, the identifiers and the postcode stay as typed.
TEST(ReplaceSpecialCharsInBookings, CleansTheSevenTextFieldsOnly) {
    const QList<QString Buchung::*> cleaned = {&Buchung::Anrede, &Buchung::Strasse, &Buchung::Ort,
                                               &Buchung::Nation, &Buchung::Name,    &Buchung::Vorname,
                                               &Buchung::Bank};
    const QList<QString Buchung::*> kept = {
        &Buchung::DruckName, &Buchung::DruckVorname, &Buchung::Rechnung,      &Buchung::Verwendungszweck,
        &Buchung::PLZ,       &Buchung::Postfach,     &Buchung::Mandatsnummer, &Buchung::IBAN,
        &Buchung::BIC,       &Buchung::BLZ,          &Buchung::KontoNr};
    BookingList list;
    Buchung b;
    for (QString Buchung::*field : cleaned + kept)
        b.*field = QStringLiteral("Straße Ö");
    list.append(b);

    ReplaceSpecialCharsInBookings(list);

    for (QString Buchung::*field : cleaned)
        EXPECT_EQ(list[0].*field, "Strasse OE");
    for (QString Buchung::*field : kept)
        EXPECT_EQ(list[0].*field, QStringLiteral("Straße Ö"));
    EXPECT_TRUE(list.last().Name.isEmpty()) << "the trailing empty element stays empty";
}

class SepaCharacterSet : public testing::TestWithParam<Replacement> {};

TEST_P(SepaCharacterSet, LeavesOnlyTheSepaCharacters) {
    EXPECT_EQ(ToSepaCharacterSet(GetParam().input, 20), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SepaCharacterSet,
    testing::Values(
        Replacement{"GermanFirst", QStringLiteral("Müßig Ärger"), QStringLiteral("Muessig AErger")},
        Replacement{"MarksDropped", QStringLiteral("François Nuñez Šê"), QStringLiteral("Francois Nunez Se")},
        Replacement{"OwnLetters", QStringLiteral("øØæÆœŒłŁđĐðÐþÞı"), QStringLiteral("oOaeAEoeOElLdDdDthTH")},
        Replacement{"SignsBecomeBlanks", QStringLiteral("A&B<C>\"D\";E"), QStringLiteral("A B C  D  E")},
        Replacement{"SetKept", QStringLiteral("a/-?:().,'+Z9"), QStringLiteral("a/-?:().,'+Z9")},
        Replacement{"TrimmedThenCut", QStringLiteral("  &") + QString(30, QLatin1Char('x')),
                    QString(20, QLatin1Char('x'))},
        Replacement{"OutsideLatin", QStringLiteral("Łódź 𝄞 €"), QStringLiteral("Lodz")}),
    [](const testing::TestParamInfo<Replacement>& info) { return std::string(info.param.name); });

} // namespace
