#include "output/BankIdentifiers.h"

#include "QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace BankIdentifiers;

// Each check with the texts it accepts and those it refuses, edges first;
// the values a run logs and leaves out are tested on the payment files.
TEST(BankIdentifiers, ChecksAcceptWhatTheSchemasAndBanksAccept) {
    const struct {
        const char* name;
        bool (*check)(const QString&);
        QStringList accepted, refused;
    } checks[] = {
        {"IbanFitsSchema",
         ibanFitsSchema,
         {"DE89370400440532013000", "DE891", "MT84MALT011000012345MTLCAST001SABC", "GB29nwbk60161331926819"},
         {"MT84MALT011000012345MTLCAST001SABCD", "de89370400440532013000", "DEAB370400440532013000",
          "DE89 3704", "DE89", "DE89Ä", ""}},
        {"BicFitsSchema",
         bicFitsSchema,
         {"COBADEFF", "COBADEFFXXX", "NOTPROVIDED", "GENODEF1M04"},
         {"COBADE1F", "COBADEFO", "COBADEFFX", "COB4DEFF", "cobadeff", ""}},
        // Germany 22, Austria 20, Switzerland 21; a lower-case country is not measured.
        {"NationalLength",
         ibanHasNationalLength,
         {"DE89 3704 0044 0532 0130 00", "AT611904300234573201", "CH9300762011623852957", "de12", "FR1"},
         {"DE8937040044053201300", "CH93007620116238529570", "", "   "}},
        {"IbanCheckDigits",
         [](const QString& iban) { return ibanCheckDigitsValid(normalized(iban)); },
         {"DE89 3704 0044 0532 0130 00", "AT611904300234573201", "GB29 NWBK 6016 1331 9268 19",
          "gb29nwbk60161331926819", "MT84 MALT 0110 0001 2345 MTLC AST0 01S"},
         {"DE89 3704 0044 0532 0103 00", "MT84 MALT 0110 0001 2345 MTLC AST0 01T"}},
        // ISO 7064 mod 97 over the national part; the business code is not checked.
        {"CreditorId",
         creditorIdValid,
         {"DE98ZZZ09999999999", "de98 zzz 0999 9999 999", "DE98ABC09999999999"},
         {"DE98ZZZ", "DE98ZZZ12345678901234567890123456789", "DE98ZZZ0999999999ä"}},
    };
    for (const auto& c : checks) {
        SCOPED_TRACE(c.name);
        for (const QString& text : c.accepted)
            EXPECT_TRUE(c.check(text)) << text.toStdString();
        for (const QString& text : c.refused)
            EXPECT_FALSE(c.check(text)) << text.toStdString();
    }
}

} // namespace
