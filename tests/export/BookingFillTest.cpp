#include "ExportRunFixture.h"
#include "SchemaCheck.h"

#include <functional>
#include <utility>
#include <vector>

// How one invoice row of the host becomes a booking, seen in the files of a
// whole run: the CSV file carries the booking as read (before sanitizing),
// the payment file what the bank gets. Invoice X-1 of customer 100 is the
// one under test; X-2 of customer 101 is exported beside it.
namespace {

struct FillCase {
    const char* name;
    const char* key;
    std::function<void(TestHostDb&)> prepare;
    std::function<void(ExportSettings&)> configure;
    std::vector<std::pair<const char*, QString>> csv; // column of X-1's CSV line and its value
    std::vector<std::pair<const char*, QString>> xml; // an element of the payment file and a text it has
};

void nothing(TestHostDb&) {}
void defaults(ExportSettings&) {}

std::function<void(TestHostDb&)> customer(const QString& assignments) {
    return [assignments](TestHostDb& host) {
        host.exec(QStringLiteral("UPDATE PERSONAL SET %1 WHERE ID_PERSONAL = 100").arg(assignments));
    };
}
std::function<void(TestHostDb&)> header(const QString& assignments) {
    return [assignments](TestHostDb& host) {
        host.exec(QStringLiteral("UPDATE HEADERRECH SET %1 WHERE R_NAME = 'X-1'").arg(assignments));
    };
}
std::function<void(TestHostDb&)> price(double netto, double skonto) {
    return [netto, skonto](TestHostDb& host) {
        host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET NETTOPREIS = ? WHERE R_NAME = 'X-1'"), {netto});
        host.exec(QStringLiteral("UPDATE HEADERRECH SET KOPF1 = ? WHERE R_NAME = 'X-1'"), {skonto});
    };
}
std::function<void(ExportSettings&)> cashDiscount(const char* value) {
    return [value](ExportSettings& s) { s.strSkontoRechnungsKopf = QString::fromLatin1(value); };
}
std::function<void(ExportSettings&)> designation(const char* value) {
    return [value](ExportSettings& s) { s.strBezeichnungStattNameVorname = QString::fromLatin1(value); };
}
std::function<void(ExportSettings&)> externalNumber(const char* column) {
    return [column](ExportSettings& s) { s.firma.ExterneBelegnummer = QString::fromLatin1(column); };
}

// Test names instead of the bytes of the row.
void PrintTo(const FillCase& c, std::ostream* os) {
    *os << c.name;
}

const FillCase kCases[] = {
    {"NullColumnsGiveEmptyTexts",
     "A3",
     customer("NUMMER = NULL, ANREDE = NULL, VORNAME = NULL, STRASSE = NULL, PLZ = NULL, ORT = NULL, "
              "NATION = NULL, BANK = NULL, BIC = NULL"),
     defaults,
     {{"Nummer", "0"},
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
     {{"BIC", "NOTPROVIDED"}, {"Nm", "Mueller ,  , "}}},
    {"EmptyBicIsNotProvided",
     "A3",
     customer("BIC = ''"),
     defaults,
     {{"BIC", "NOTPROVIDED"}},
     {{"BIC", "NOTPROVIDED"}}},
    {"SecondBankAccountWhenTheCustomerSelectsIt",
     "A3",
     customer("use_bank2 = 1, bank2 = 'Zweitbank', BLZ2 = '10020030', KONTO2 = '4711', "
              "IBAN2 = 'AT611904300234573201', BIC2 = 'BKAUATWWXXX'"),
     defaults,
     {{"Bank", "Zweitbank"}, {"IBAN", "AT611904300234573201"}, {"BIC", "BKAUATWWXXX"}},
     {{"IBAN", "AT611904300234573201"}, {"BIC", "BKAUATWWXXX"}}},
    {"FirstBankAccountWhenTheSwitchIsNull",
     "A3",
     customer("use_bank2 = NULL, bank2 = 'Zweitbank', IBAN2 = 'AT611904300234573201', BIC2 = 'BKAUATWWXXX'"),
     defaults,
     {{"Bank", "Testbank"}, {"IBAN", "DE89370400440532013000"}, {"BIC", "COBADEFFXXX"}},
     {{"IBAN", "DE89370400440532013000"}}},
    {"DesignationInsteadOfName",
     "A3",
     customer("BEZEICHNUNG = 'Müller Bau GmbH'"),
     designation("1"),
     {{"Name", "Müller Bau GmbH"}, {"Vorname", ""}},
     {{"Nm", "Mueller Bau GmbH , 50667 Koeln, Hauptstrasse 1"}}},
    {"DesignationOnlyWithTheSetting",
     "A3",
     customer("BEZEICHNUNG = 'Müller Bau GmbH'"),
     designation("0"),
     {{"Name", "Müller"}, {"Vorname", "Hans"}},
     {}},
    {"NameWhenTheDesignationIsEmpty",
     "A3",
     customer("BEZEICHNUNG = NULL"),
     designation("1"),
     {{"Name", "Müller"}, {"Vorname", "Hans"}},
     {}},
    {"CashDiscountWithTheSetting",
     "A3",
     price(100, 2),
     cashDiscount("1"),
     {{"Betrag", "98,00"}},
     {{"InstdAmt", "98"}}},
    {"NoCashDiscountWithoutTheSetting",
     "A3",
     price(100, 2),
     cashDiscount("0"),
     {{"Betrag", "100,00"}},
     {{"InstdAmt", "100"}}},
    {"CashDiscountRoundsHalfAwayFromZero",
     "A3",
     price(12.5, 3),
     cashDiscount("1"),
     {{"Betrag", "12,13"}},
     {{"InstdAmt", "12.13"}}},
    {"NetPriceRoundedToCents",
     "A3",
     price(12.345, 0),
     defaults,
     {{"Betrag", "12,35"}},
     {{"InstdAmt", "12.35"}}},
    {"PurposeIsTheInvoiceName",
     "A3",
     nothing,
     defaults,
     {{"Rechnung", "X-1"}, {"Verwendungszweck", "X-1"}},
     {{"Ustrd", "X-1"}}},
    {"PurposeFromTheExternalNumberColumnCutTo27",
     "A3",
     header("EXT_BELEGNR = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123'"),
     externalNumber("ext_belegnr"),
     {{"Verwendungszweck", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0"}},
     {}},
    {"PurposeIsTheInvoiceNameWhenTheExternalNumberIsNull",
     "A3",
     header("EXT_BELEGNR = NULL"),
     externalNumber("EXT_BELEGNR"),
     {{"Verwendungszweck", "X-1"}},
     {}},
    {"MandateOfTheCustomer", "R0", nothing, defaults, {}, {{"MndtId", "MR-100"}, {"EndToEndId", "MR-100"}}},
    {"MandateNullGivesTheCustomerNumber",
     "R0",
     customer("MANDATSNUMMER = NULL"),
     defaults,
     {},
     {{"MndtId", "1100"}, {"EndToEndId", "1100"}}},
};

class BookingFill : public ExportRunTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(BookingFill, ReachesTheFilesAsSpecifiedForTheHostRow) {
    const FillCase& c = GetParam();
    settings.strVer_Type = QString::fromLatin1(c.key);
    settings.strCSV = QStringLiteral("1");
    addInvoice(QStringLiteral("X-1"), settings.strVer_Type, 100, 10.0);
    addInvoice(QStringLiteral("X-2"), settings.strVer_Type, 101, 20.0);
    c.prepare(host);
    c.configure(settings);

    const ExportOutcome outcome = run({QStringLiteral("X-1"), QStringLiteral("X-2")});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();

    const auto rows = csvRows();
    ASSERT_EQ(rows.size(), 2);
    const auto& row = rows[0].value(QStringLiteral("Rechnung")) == QLatin1String("X-1") ? rows[0] : rows[1];
    for (const auto& [column, value] : c.csv)
        EXPECT_EQ(row.value(QString::fromLatin1(column)), value) << column;

    const QByteArray xml = paymentFile();
    const bool directDebit = settings.strVer_Type == QLatin1String("R0");
    EXPECT_EQ(schemaErrors(withStandardNamespace(xml), directDebit ? QStringLiteral("pain.008.001.02.xsd")
                                                                   : QStringLiteral("pain.001.001.03.xsd")),
              QString());
    for (const auto& [element, value] : c.xml)
        EXPECT_TRUE(elements(xml, QString::fromLatin1(element)).contains(value))
            << element << ": "
            << elements(xml, QString::fromLatin1(element)).join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, BookingFill, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FillCase>& info) { return info.param.name; });

} // namespace
