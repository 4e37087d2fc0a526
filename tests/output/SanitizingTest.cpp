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

TEST(ReplaceSpecialCharsInBookings, CleansTheSevenTextFieldsOnly) {
    BookingList list;
    Buchung b;
    b.Anrede = QStringLiteral("Frau Dr. Ösi");
    b.Strasse = QStringLiteral("Hauptstraße 1");
    b.Ort = QStringLiteral("München");
    b.Nation = QStringLiteral("Österreich");
    b.Name = QStringLiteral("Müller");
    b.Vorname = QStringLiteral("Jürgen");
    b.Bank = QStringLiteral("Bäckerbank");
    b.DruckName = b.Name;
    b.DruckVorname = b.Vorname;
    b.Rechnung = QStringLiteral("RÄ1");
    b.Verwendungszweck = QStringLiteral("Zahlung für RÄ1");
    b.PLZ = QStringLiteral("Ö-1010");
    b.Postfach = QStringLiteral("Fach ä");
    b.Mandatsnummer = QStringLiteral("MÜ1");
    b.IBAN = QStringLiteral("ÄT");
    b.BIC = QStringLiteral("BÜC");
    list.append(b);

    ReplaceSpecialCharsInBookings(list);

    const Buchung& c = list[0];
    EXPECT_EQ(c.Anrede, "Frau Dr. OEsi");
    EXPECT_EQ(c.Strasse, "Hauptstrasse 1");
    EXPECT_EQ(c.Ort, "Muenchen");
    EXPECT_EQ(c.Nation, "OEsterreich");
    EXPECT_EQ(c.Name, "Mueller");
    EXPECT_EQ(c.Vorname, "Juergen");
    EXPECT_EQ(c.Bank, "Baeckerbank");
    EXPECT_EQ(c.DruckName, QStringLiteral("Müller"));
    EXPECT_EQ(c.DruckVorname, QStringLiteral("Jürgen"));
    EXPECT_EQ(c.Rechnung, b.Rechnung);
    EXPECT_EQ(c.Verwendungszweck, b.Verwendungszweck);
    EXPECT_EQ(c.PLZ, b.PLZ);
    EXPECT_EQ(c.Postfach, b.Postfach);
    EXPECT_EQ(c.Mandatsnummer, b.Mandatsnummer);
    EXPECT_EQ(c.IBAN, b.IBAN);
    EXPECT_EQ(c.BIC, b.BIC);
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
