#include "ExportRunFixture.h"
#include "SchemaCheck.h"
#include "export/Buchungsfuellung.h"

// How one invoice row of the host becomes a booking, seen in the files of a
// whole run: the CSV file carries the booking as read (before sanitizing),
// the payment file what the bank gets. Invoice X-1 of customer 100 is the
// one under test; X-2 of customer 101 is exported beside it.
namespace {

struct FillCase {
    const char* name;
    const char* customer; // assignments to customer 100's PERSONAL row
    const char* header;   // and to X-1's HEADERRECH row
    const char* csv;      // "column=value|…" of X-1's CSV line
    const char* xml;      // "element=text|…": a text each element of the payment file has
    double netto = 10;    // X-1's net price
    const char* skonto = "0";
    const char* designation = "0";
    const char* externalNumber = "";
    const char* key = "A3";
};

const FillCase kCases[] = {
    {"NullColumnsGiveEmptyTexts",
     "NUMMER = NULL, ANREDE = NULL, VORNAME = NULL, STRASSE = NULL, PLZ = NULL, ORT = NULL, NATION = NULL, "
     "BANK = NULL, BIC = NULL",
     "", "Nummer=0|Anrede=|Name=Müller|Vorname=|Strasse=|PLZ=|Ort=|Nation=|Postfach=|Bank=|BIC=NOTPROVIDED",
     "BIC=NOTPROVIDED|Nm=Mueller ,  , "},
    // A long IBAN passes without a look at the national bank data.
    {"IbanBesideUnusableNationalData", "BLZ = '70050000', KONTO = '12345678901234'", "",
     "IBAN=DE89370400440532013000", "IBAN=DE89370400440532013000"},
    {"EmptyBicIsNotProvided", "BIC = ''", "", "BIC=NOTPROVIDED", "BIC=NOTPROVIDED"},
    {"SecondBankAccountWhenTheCustomerSelectsIt",
     "use_bank2 = 1, bank2 = 'Zweitbank', BLZ2 = '10020030', KONTO2 = '4711', "
     "IBAN2 = 'AT611904300234573201', BIC2 = 'BKAUATWWXXX'",
     "", "Bank=Zweitbank|IBAN=AT611904300234573201|BIC=BKAUATWWXXX",
     "IBAN=AT611904300234573201|BIC=BKAUATWWXXX"},
    {"FirstBankAccountWhenTheSwitchIsNull",
     "use_bank2 = NULL, bank2 = 'Zweitbank', IBAN2 = 'AT611904300234573201', BIC2 = 'BKAUATWWXXX'", "",
     "Bank=Testbank|IBAN=DE89370400440532013000|BIC=COBADEFFXXX", "IBAN=DE89370400440532013000"},
    {"DesignationInsteadOfName", "BEZEICHNUNG = 'Müller Bau GmbH'", "",
     "Name=Müller Bau GmbH|Vorname=", "Nm=Mueller Bau GmbH , 50667 Koeln, Hauptstrasse 1", 10, "0", "1"},
    {"DesignationOnlyWithTheSetting", "BEZEICHNUNG = 'Müller Bau GmbH'", "", "Name=Müller|Vorname=Hans", ""},
    {"NameWhenTheDesignationIsEmpty", "BEZEICHNUNG = NULL", "", "Name=Müller|Vorname=Hans", "", 10, "0", "1"},
    {"CashDiscountWithTheSetting", "", "KOPF1 = 2", "Betrag=98,00", "InstdAmt=98", 100, "1"},
    {"NoCashDiscountWithoutTheSetting", "", "KOPF1 = 2", "Betrag=100,00", "InstdAmt=100", 100},
    {"CashDiscountRoundsHalfAwayFromZero", "", "KOPF1 = 3", "Betrag=12,13", "InstdAmt=12.13", 12.5, "1"},
    {"NetPriceRoundedToCents", "", "", "Betrag=12,35|Rechnung=X-1|Verwendungszweck=X-1",
     "InstdAmt=12.35|Ustrd=X-1", 12.345},
    {"PurposeFromTheExternalNumberColumnCutTo27", "", "EXT_BELEGNR = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123'",
     "Verwendungszweck=ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "", 10, "0", "0", "ext_belegnr"},
    {"PurposeIsTheInvoiceNameWhenTheExternalNumberIsNull", "", "EXT_BELEGNR = NULL", "Verwendungszweck=X-1",
     "", 10, "0", "0", "EXT_BELEGNR"},
    {"MandateOfTheCustomer", "", "", "", "MndtId=MR-100|EndToEndId=MR-100", 10, "0", "0", "", "R0"},
    {"MandateNullGivesTheCustomerNumber", "MANDATSNUMMER = NULL", "", "", "MndtId=1100|EndToEndId=1100", 10,
     "0", "0", "", "R0"},
};

class BookingFill : public ExportRunTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(BookingFill, ReachesTheFilesAsTheHostRowHasIt) {
    const FillCase& c = GetParam();
    settings.strVer_Type = QString::fromLatin1(c.key);
    settings.strCSV = "1";
    settings.strSkontoRechnungsKopf = QString::fromLatin1(c.skonto);
    settings.strBezeichnungStattNameVorname = QString::fromLatin1(c.designation);
    settings.firma.ExterneBelegnummer = QString::fromLatin1(c.externalNumber);
    addInvoice("X-1", settings.strVer_Type, 100, c.netto);
    addInvoice("X-2", settings.strVer_Type, 101, 20.0);
    if (*c.customer)
        host.exec(QStringLiteral("UPDATE PERSONAL SET %1 WHERE ID_PERSONAL = 100")
                      .arg(QString::fromUtf8(c.customer)));
    if (*c.header)
        host.exec(
            QStringLiteral("UPDATE HEADERRECH SET %1 WHERE R_NAME = 'X-1'").arg(QString::fromUtf8(c.header)));

    ASSERT_TRUE(run({"X-1", "X-2"}).posted) << prompter.allText().toStdString();
    const auto rows = csvRows();
    ASSERT_EQ(rows.size(), 2);
    const auto& row = rows[0].value("Rechnung") == "X-1" ? rows[0] : rows[1];
    for (const QString& pair : QString::fromUtf8(c.csv).split('|', Qt::SkipEmptyParts))
        EXPECT_EQ(row.value(pair.section('=', 0, 0)), pair.section('=', 1)) << pair.toStdString();

    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(withStandardNamespace(xml),
                           *c.key == 'R' ? "pain.008.001.02.xsd" : "pain.001.001.03.xsd"),
              QString());
    for (const QString& pair : QString::fromUtf8(c.xml).split('|', Qt::SkipEmptyParts)) {
        const QStringList texts = elements(xml, pair.section('=', 0, 0));
        EXPECT_TRUE(texts.contains(pair.section('=', 1)))
            << pair.toStdString() << ": " << texts.join('|').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BookingFill, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FillCase>& info) { return info.param.name; });

} // namespace

// Rows that break off after the first (an error while stepping, as a server
// reports a failed conversion or a lost connection) stop the run, instead of
// giving a file of the rows read so far.
TEST_F(ExportRunTest, ReadBreakingOffStopsTheRun) {
    QString otherColumns; // every column the export reads, so that only the break is under test
    for (const char* column :
         {"NUMMER", "ANREDE", "BEZEICHNUNG", "NAME", "VORNAME", "STRASSE", "PLZ", "ORT", "NATION", "BLZ",
          "BANK", "KONTO", "POSTFACH", "Mandatsnummer", "Verwendungszweck", "Preis", "SKONTOPROZ", "BIC"})
        otherColumns += QStringLiteral(", NULL AS ") + column;
    QSqlQuery query = host.db().newQuery();
    query.setForwardOnly(true);
    ASSERT_TRUE(query.exec(
        "SELECT *" + otherColumns +
        " FROM (SELECT 'X-1' AS R_NAME, '2026-12-01' AS INVDATE, '2026-12-10' AS Faellig, "
        "'DE89370400440532013000' AS IBAN UNION ALL "
        "SELECT abs(-9223372036854775808), '2026-12-01', '2026-12-10', 'DE89370400440532013000')"));
    BookingList bookings;
    EXPECT_FALSE(Buchungsfuellung::readAll(query, {}, bookings, prompter));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Fehler beim Lesen der Belege für den Export:\r"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
}
