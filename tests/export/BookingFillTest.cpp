#include "ExportRunFixture.h"
#include "SchemaCheck.h"

#include <utility>
#include <vector>

// How one invoice row of the host becomes a booking, seen in the files of a
// whole run: the CSV file carries the booking as read (before sanitizing),
// the payment file what the bank gets. Invoice X-1 of customer 100 is the
// one under test; X-2 of customer 101 is exported beside it.
namespace {

using Values = std::vector<std::pair<const char*, QString>>;

struct FillCase {
    const char* name;
    const char* key = "A3";
    const char* customer = ""; // assignments to customer 100's PERSONAL row
    const char* header = "";   // assignments to X-1's HEADERRECH row
    double netto = 10;         // X-1's net price
    double kopf1 = 0;          // and cash discount in per cent
    const char* skonto = "0";
    const char* designation = "0";
    const char* externalNumber = "";
    Values csv = {}; // column of X-1's CSV line and its value
    Values xml = {}; // an element of the payment file and a text it has
};

const FillCase kCases[] = {
    {.name = "NullColumnsGiveEmptyTexts",
     .customer = "NUMMER = NULL, ANREDE = NULL, VORNAME = NULL, STRASSE = NULL, PLZ = NULL, ORT = NULL, "
                 "NATION = NULL, BANK = NULL, BIC = NULL",
     .csv = {{"Nummer", "0"},
             {"Anrede", ""},
             {"Name", "Müller"},
             {"Vorname", ""},
             {"Strasse", ""},
             {"PLZ", ""},
             {"Ort", ""},
             {"Nation", ""},
             {"Postfach", ""},
             {"Bank", ""},
             {"BIC", "NOTPROVIDED"}},
     .xml = {{"BIC", "NOTPROVIDED"}, {"Nm", "Mueller ,  , "}}},
    {.name = "EmptyBicIsNotProvided",
     .customer = "BIC = ''",
     .csv = {{"BIC", "NOTPROVIDED"}},
     .xml = {{"BIC", "NOTPROVIDED"}}},
    {.name = "SecondBankAccountWhenTheCustomerSelectsIt",
     .customer = "use_bank2 = 1, bank2 = 'Zweitbank', BLZ2 = '10020030', KONTO2 = '4711', "
                 "IBAN2 = 'AT611904300234573201', BIC2 = 'BKAUATWWXXX'",
     .csv = {{"Bank", "Zweitbank"}, {"IBAN", "AT611904300234573201"}, {"BIC", "BKAUATWWXXX"}},
     .xml = {{"IBAN", "AT611904300234573201"}, {"BIC", "BKAUATWWXXX"}}},
    {.name = "FirstBankAccountWhenTheSwitchIsNull",
     .customer = "use_bank2 = NULL, bank2 = 'Zweitbank', IBAN2 = 'AT611904300234573201', "
                 "BIC2 = 'BKAUATWWXXX'",
     .csv = {{"Bank", "Testbank"}, {"IBAN", "DE89370400440532013000"}, {"BIC", "COBADEFFXXX"}},
     .xml = {{"IBAN", "DE89370400440532013000"}}},
    {.name = "DesignationInsteadOfName",
     .customer = "BEZEICHNUNG = 'Müller Bau GmbH'",
     .designation = "1",
     .csv = {{"Name", "Müller Bau GmbH"}, {"Vorname", ""}},
     .xml = {{"Nm", "Mueller Bau GmbH , 50667 Koeln, Hauptstrasse 1"}}},
    {.name = "DesignationOnlyWithTheSetting",
     .customer = "BEZEICHNUNG = 'Müller Bau GmbH'",
     .csv = {{"Name", "Müller"}, {"Vorname", "Hans"}}},
    {.name = "NameWhenTheDesignationIsEmpty",
     .customer = "BEZEICHNUNG = NULL",
     .designation = "1",
     .csv = {{"Name", "Müller"}, {"Vorname", "Hans"}}},
    {.name = "CashDiscountWithTheSetting",
     .netto = 100,
     .kopf1 = 2,
     .skonto = "1",
     .csv = {{"Betrag", "98,00"}},
     .xml = {{"InstdAmt", "98"}}},
    {.name = "NoCashDiscountWithoutTheSetting",
     .netto = 100,
     .kopf1 = 2,
     .csv = {{"Betrag", "100,00"}},
     .xml = {{"InstdAmt", "100"}}},
    {.name = "CashDiscountRoundsHalfAwayFromZero",
     .netto = 12.5,
     .kopf1 = 3,
     .skonto = "1",
     .csv = {{"Betrag", "12,13"}},
     .xml = {{"InstdAmt", "12.13"}}},
    {.name = "NetPriceRoundedToCents",
     .netto = 12.345,
     .kopf1 = 0,
     .csv = {{"Betrag", "12,35"}, {"Rechnung", "X-1"}, {"Verwendungszweck", "X-1"}},
     .xml = {{"InstdAmt", "12.35"}, {"Ustrd", "X-1"}}},
    {.name = "PurposeFromTheExternalNumberColumnCutTo27",
     .header = "EXT_BELEGNR = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123'",
     .externalNumber = "ext_belegnr",
     .csv = {{"Verwendungszweck", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0"}}},
    {.name = "PurposeIsTheInvoiceNameWhenTheExternalNumberIsNull",
     .header = "EXT_BELEGNR = NULL",
     .externalNumber = "EXT_BELEGNR",
     .csv = {{"Verwendungszweck", "X-1"}}},
    {.name = "MandateOfTheCustomer", .key = "R0", .xml = {{"MndtId", "MR-100"}, {"EndToEndId", "MR-100"}}},
    {.name = "MandateNullGivesTheCustomerNumber",
     .key = "R0",
     .customer = "MANDATSNUMMER = NULL",
     .xml = {{"MndtId", "1100"}, {"EndToEndId", "1100"}}},
};

class BookingFill : public ExportRunTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(BookingFill, ReachesTheFilesAsTheHostRowHasIt) {
    const FillCase& c = GetParam();
    settings.strVer_Type = QString::fromLatin1(c.key);
    settings.strCSV = QStringLiteral("1");
    settings.strSkontoRechnungsKopf = QString::fromLatin1(c.skonto);
    settings.strBezeichnungStattNameVorname = QString::fromLatin1(c.designation);
    settings.firma.ExterneBelegnummer = QString::fromLatin1(c.externalNumber);
    addInvoice(QStringLiteral("X-1"), settings.strVer_Type, 100, c.netto);
    addInvoice(QStringLiteral("X-2"), settings.strVer_Type, 101, 20.0);
    host.exec(QStringLiteral("UPDATE HEADERRECH SET KOPF1 = ? WHERE R_NAME = 'X-1'"), {c.kopf1});
    if (*c.customer)
        host.exec(QStringLiteral("UPDATE PERSONAL SET %1 WHERE ID_PERSONAL = 100")
                      .arg(QString::fromUtf8(c.customer)));
    if (*c.header)
        host.exec(
            QStringLiteral("UPDATE HEADERRECH SET %1 WHERE R_NAME = 'X-1'").arg(QString::fromUtf8(c.header)));

    ASSERT_TRUE(run({QStringLiteral("X-1"), QStringLiteral("X-2")}).posted)
        << prompter.allText().toStdString();
    const auto rows = csvRows();
    ASSERT_EQ(rows.size(), 2);
    const auto& row = rows[0].value(QStringLiteral("Rechnung")) == QLatin1String("X-1") ? rows[0] : rows[1];
    for (const auto& [column, value] : c.csv)
        EXPECT_EQ(row.value(QString::fromLatin1(column)), value) << column;

    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(withStandardNamespace(xml), settings.strVer_Type == QLatin1String("R0")
                                                           ? QStringLiteral("pain.008.001.02.xsd")
                                                           : QStringLiteral("pain.001.001.03.xsd")),
              QString());
    for (const auto& [element, value] : c.xml) {
        const QStringList texts = elements(xml, QString::fromLatin1(element));
        EXPECT_TRUE(texts.contains(value)) << element << ": " << texts.join(QLatin1Char('|')).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BookingFill, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FillCase>& info) { return info.param.name; });

} // namespace
