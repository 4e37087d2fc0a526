#include "output/SepaLastschrift.h"
#include "output/SepaSchemaValidation.h"
#include "output/SepaUeberweisung.h"

#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "WriterFixture.h"

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;
using SepaSamples::due;

// Every kind of run both writers meet, in both variants, checked against the
// ISO schema of its message.
struct Run {
    const char* name;
    BookingList (*bookings)();
};

BookingList oneBooking() {
    BookingList list;
    list.append(booking(1007, 1250));
    return list;
}

BookingList dueDatesOutOfOrder() {
    BookingList list;
    list.append(booking(1, 100, due(10)));
    list.append(booking(2, 200, due(10)));
    list.append(booking(3, 300, due(17)));
    list.append(booking(4, 400, due(10)));
    list.append(booking(5, 500, due(3)));
    return list;
}

BookingList specialCharacters() {
    BookingList list;
    Buchung b = booking(-5, 99999999999);
    b.Name = QStringLiteral("Müller <Bau> & Söhne \"Nord\" 'Süd'; François");
    b.Vorname = QStringLiteral("José Nuñez ø \x01\t");
    b.Ort = QStringLiteral("Łódź 𝄞");
    b.Strasse = QString(100, QChar(0x00E9));
    b.Rechnung = QStringLiteral("R&<>\"';ç1 ") + QString(200, QLatin1Char('x'));
    b.Mandatsnummer = QStringLiteral("M-1/2?:().,'+");
    list.append(b);
    return list;
}

// A Swiss counterparty (outside the EEA), one with no BIC, and addresses
// with and without street, postcode and town.
BookingList countriesAndAddresses() {
    BookingList list;
    Buchung swiss = booking(1, 100);
    swiss.IBAN = QStringLiteral("CH93 0076 2011 6238 5295 7");
    swiss.BIC = QStringLiteral("UBSWCHZH80A");
    swiss.Nation = QStringLiteral("Schweiz");
    list.append(swiss);
    Buchung noBic = booking(2, 200);
    noBic.BIC.clear();
    noBic.Nation = QStringLiteral("Oesterreich");
    list.append(noBic);
    Buchung noStreet = booking(3, 300);
    noStreet.Strasse.clear();
    list.append(noStreet);
    Buchung noPostcode = booking(4, 400);
    noPostcode.PLZ.clear();
    list.append(noPostcode);
    Buchung noTown = booking(5, 500);
    noTown.Ort.clear();
    list.append(noTown);
    return list;
}

// Ten-digit customer numbers and twelve blocks: every id at its limit.
BookingList longIdsManyBlocks() {
    BookingList list;
    for (int i = 0; i < 12; ++i)
        list.append(booking(2147483000 + i, 100, due(1 + i)));
    list[list.count() - 1].Nummer = -2147483647;
    return list;
}

BookingList fortyThousand() {
    BookingList list = SepaSamples::manyBookings(40000);
    for (qsizetype i = 0; i < list.count(); i += 1000)
        list[i].Faelligkeit = due(20);
    return list;
}

struct Case {
    Run run;
    bool directDebit;
    bool austrian;
    SepaVersion version;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << (c.directDebit ? "LS " : "UW ") << c.run.name << (c.austrian ? " AT" : "")
        << (c.version == SepaVersion::Iso2019 ? " 2019" : " 2009");
}

class WrittenFilesAreSchemaValid : public testing::TestWithParam<Case>, public WriterFixture {};

TEST_P(WrittenFilesAreSchemaValid, AgainstTheIsoSchema) {
    const Case& c = GetParam();
    Firmendaten firma = SepaSamples::firma();
    if (c.austrian)
        firma.Kontonummer = QStringLiteral("AT61 1904 3002 3457 3201");
    BookingList list = c.run.bookings();
    const qsizetype count = list.count();
    const SepaResult result =
        c.directDebit
            ? WriteSEPALastschrift(exportFolder(), list, firma, SepaSamples::runTime(), prompter, c.version)
            : WriteSEPAUeberweisung(exportFolder(), list, firma, SepaSamples::runTime(), prompter, c.version);
    ASSERT_TRUE(result.written) << prompter.allText().toStdString();
    EXPECT_EQ(result.count, count);

    const QByteArray bytes = TempFolder::read(result.file.tempPath);
    // The 2019 messages have no Austrian namespace.
    const bool austrianNamespace = c.austrian && c.version == SepaVersion::Iso2009;
    EXPECT_EQ(bytes.contains("APC:STUZZA"), austrianNamespace);
    EXPECT_EQ(bytes.contains("xsi:schemaLocation"), !austrianNamespace);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n')) << "every line ends with CR LF";
    QStringList schemas;
    if (c.version == SepaVersion::Iso2009)
        schemas << (c.directDebit ? QStringLiteral("pain.008.001.02.xsd")
                                  : QStringLiteral("pain.001.001.03.xsd"));
    else if (c.directDebit)
        schemas << QStringLiteral("pain.008.001.08.xsd") << QStringLiteral("pain.008.001.08_GBIC_4.xsd");
    else
        schemas << QStringLiteral("pain.001.001.09.xsd");
    for (const QString& schema : schemas)
        EXPECT_EQ(schemaErrors(withStandardNamespace(bytes), schema).toStdString(), "")
            << schema.toStdString();
}

std::vector<Case> allCases() {
    const Run runs[] = {{"OneBooking", oneBooking},
                        {"DueDatesOutOfOrder", dueDatesOutOfOrder},
                        {"SpecialCharacters", specialCharacters},
                        {"CountriesAndAddresses", countriesAndAddresses},
                        {"LongIdsManyBlocks", longIdsManyBlocks},
                        {"FortyThousand", fortyThousand}};
    std::vector<Case> cases;
    for (const Run& run : runs) {
        for (bool directDebit : {false, true}) {
            for (bool austrian : {false, true}) {
                // The namespace alone differs for a big file: one variant is enough.
                if (austrian && run.bookings == fortyThousand)
                    continue;
                for (SepaVersion version : {SepaVersion::Iso2009, SepaVersion::Iso2019})
                    cases.push_back({run, directDebit, austrian, version});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BothWriters, WrittenFilesAreSchemaValid, testing::ValuesIn(allCases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.directDebit ? "LS_" : "UW_") +
                                    info.param.run.name + (info.param.austrian ? "_AT" : "_Standard") +
                                    (info.param.version == SepaVersion::Iso2019 ? "_2019" : "_2009");
                         });

// The program's own check, which guards every published file, finds the first
// complaint of each schema, with its line, and leaves the staged file alone.
TEST(ShippedSchemas, NameTheFirstComplaintAndItsLine) {
    TempFolder folder;
    const QString exportFolder = folder.path() + QLatin1Char('/');
    struct Row {
        const char* name;
        QByteArray xml;
        SepaSchemas schemas;
        const char* complaint; // empty when valid
    };
    const QByteArray start = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Document xmlns=\"";
    const SepaSchemas gbic{{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_4.xsd"},
                           "urn:iso:std:iso:20022:tech:xsd:pain.008.001.08",
                           nullptr};
    const Row rows[] = {
        {"WrongRoot",
         start + "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09\">\r\n <Nichts/>\r\n</Document>\r\n",
         {{"pain.001.001.09.xsd", nullptr}, "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09", nullptr},
         "Zeile 3: Element '{urn:iso:std:iso:20022:tech:xsd:pain.001.001.09}Nichts'"},
        {"NotWellFormed", start + "urn:iso:std:iso:20022:tech:xsd:pain.008.001.08\">\r\n</Dokument>\r\n",
         gbic, "Zeile 3:"},
        {"OtherNamespace", start + "urn:anderes\">\r\n</Document>\r\n", gbic, "Zeile 2:"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PendingFile file = stageFile(exportFolder, QStringLiteral("LS_x.xml"), row.xml);
        ASSERT_TRUE(file.isStaged());
        QString complaint;
        EXPECT_FALSE(validateStagedFile(file, row.schemas, &complaint));
        EXPECT_TRUE(complaint.contains(QLatin1String(row.complaint))) << complaint.toStdString();
        EXPECT_TRUE(complaint.startsWith(QStringLiteral("Die Datei ") + file.name))
            << complaint.toStdString();
        file.discard();
    }
}

} // namespace
