#include "output/BankIdentifiers.h"

#include <gtest/gtest.h>

namespace {

using namespace BankIdentifiers;

TEST(BankIdentifiers, NormalizesToUpperCaseWithoutBlanks) {
    EXPECT_EQ(normalized(QStringLiteral("de89 3704 0044 0532 0130 00")), "DE89370400440532013000");
    EXPECT_EQ(normalized(QStringLiteral(" cobadeff ")), "COBADEFF");
    EXPECT_EQ(bicOrNotProvided(QStringLiteral("   ")), "NOTPROVIDED");
    EXPECT_EQ(bicOrNotProvided(QStringLiteral("gen odef1m04")), "GENODEF1M04");
}

struct Pattern {
    const char* name;
    const char* text;
    bool fits;
};

void PrintTo(const Pattern& row, std::ostream* os) {
    *os << row.name;
}

class IbanPattern : public testing::TestWithParam<Pattern> {};
TEST_P(IbanPattern, FollowsTheSchema) {
    EXPECT_EQ(ibanFitsSchema(QString::fromLatin1(GetParam().text)), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, IbanPattern,
    testing::Values(Pattern{"German", "DE89370400440532013000", true}, Pattern{"Shortest", "DE891", true},
                    Pattern{"Longest", "MT84MALT011000012345MTLCAST001SABC", true},
                    Pattern{"TooLong", "MT84MALT011000012345MTLCAST001SABCD", false},
                    Pattern{"LowerCaseCountry", "de89370400440532013000", false},
                    Pattern{"LowerCaseBodyAllowed", "GB29nwbk60161331926819", true},
                    Pattern{"LettersAsCheckDigits", "DEAB370400440532013000", false},
                    Pattern{"WithBlank", "DE89 3704", false}, Pattern{"OnlyCountryAndCheck", "DE89", false},
                    Pattern{"Umlaut", "DE89\xc3\x84", false}, Pattern{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

class BicPattern : public testing::TestWithParam<Pattern> {};
TEST_P(BicPattern, FollowsTheSchema) {
    EXPECT_EQ(bicFitsSchema(QString::fromLatin1(GetParam().text)), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, BicPattern,
    testing::Values(Pattern{"Eight", "COBADEFF", true}, Pattern{"Eleven", "COBADEFFXXX", true},
                    Pattern{"NotProvided", "NOTPROVIDED", true},
                    Pattern{"DigitLocation", "GENODEF1M04", true},
                    Pattern{"LocationZeroOrOne", "COBADE1F", false},
                    Pattern{"OfficeLetterO", "COBADEFO", false}, Pattern{"Nine", "COBADEFFX", false},
                    Pattern{"DigitInBank", "COB4DEFF", false}, Pattern{"LowerCase", "cobadeff", false},
                    Pattern{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

class NationalLength : public testing::TestWithParam<Pattern> {};
TEST_P(NationalLength, IsCheckedForThreeCountries) {
    EXPECT_EQ(ibanHasNationalLength(QString::fromLatin1(GetParam().text)), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(Cases, NationalLength,
                         testing::Values(Pattern{"GermanWithBlanks", "DE89 3704 0044 0532 0130 00", true},
                                         Pattern{"GermanShort", "DE8937040044053201300", false},
                                         Pattern{"Austrian20", "AT611904300234573201", true},
                                         Pattern{"Austrian21", "AT6119043002345732011", false},
                                         Pattern{"Swiss21", "CH9300762011623852957", true},
                                         Pattern{"Swiss22", "CH93007620116238529570", false},
                                         Pattern{"LowerCaseNotMeasured", "de12", true},
                                         Pattern{"OtherCountryAnyLength", "FR1", true},
                                         Pattern{"Empty", "", false}, Pattern{"BlanksOnly", "   ", false}),
                         [](const auto& info) { return std::string(info.param.name); });

class IbanCheckDigits : public testing::TestWithParam<Pattern> {};
TEST_P(IbanCheckDigits, AreMod97) {
    EXPECT_EQ(ibanCheckDigitsValid(normalized(QString::fromLatin1(GetParam().text))), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(Cases, IbanCheckDigits,
                         testing::Values(Pattern{"German", "DE89 3704 0044 0532 0130 00", true},
                                         Pattern{"GermanOneOff", "DE88 3704 0044 0532 0130 00", false},
                                         Pattern{"SwappedDigits", "DE89 3704 0044 0532 0103 00", false},
                                         Pattern{"Austrian", "AT611904300234573201", true},
                                         Pattern{"Austrian21", "AT6119043002345732011", false},
                                         Pattern{"LettersInBody", "GB29 NWBK 6016 1331 9268 19", true},
                                         Pattern{"LowerCaseBody", "gb29nwbk60161331926819", true}),
                         [](const auto& info) { return std::string(info.param.name); });

class CreditorId : public testing::TestWithParam<Pattern> {};
TEST_P(CreditorId, IsIso7064Mod97) {
    EXPECT_EQ(creditorIdValid(QString::fromUtf8(GetParam().text)), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, CreditorId,
    testing::Values(Pattern{"German", "DE98ZZZ09999999999", true},
                    Pattern{"BlanksAndLowerCase", "de98 zzz 0999 9999 999", true},
                    Pattern{"BusinessCodeNotChecked", "DE98ABC09999999999", true},
                    Pattern{"WrongCheckDigits", "DE97ZZZ09999999999", false},
                    Pattern{"NoNationalPart", "DE98ZZZ", false},
                    Pattern{"NationalPartTooLong", "DE98ZZZ12345678901234567890123456789", false},
                    Pattern{"Umlaut", "DE98ZZZ0999999999\xc3\xa4", false}, Pattern{"Empty", "  ", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
