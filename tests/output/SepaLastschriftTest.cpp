#include "output/SepaLastschrift.h"
#include "output/ExportPath.h"
#include "output/SepaChecks.h"

#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "WriterFixture.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;
using SepaSamples::due;

class DirectDebit : public testing::Test, public WriterFixture {
protected:
    SepaResult write(BookingList& list) { return writeSepa(list, firma, version, true); }
    static QString text(const SepaResult& result) {
        return QString::fromUtf8(TempFolder::read(localFilePath(result.path)));
    }
    static QStringList values(const QString& xml, const QString& tag) {
        QStringList found;
        const QRegularExpression element(QStringLiteral("<%1(?: [^>]*)?>([^<]*)</%1>").arg(tag));
        for (const auto& match : element.globalMatch(xml))
            found << match.captured(1);
        return found;
    }

    Firmendaten firma = SepaSamples::firma();
    SepaVersion version = SepaVersion::Iso2009;
};

TEST_F(DirectDebit, GoldenFilesPinTheLayoutOfBothVariants) {
    struct Golden {
        const char* iban;
        const char* file;
        SepaVersion version;
        QStringList schemas;
    };
    const QStringList iso2019{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_4.xsd"};
    for (const Golden& g :
         {Golden{"DE26 7016 0000 0000 5555 55",
                 "LS_standard.xml",
                 SepaVersion::Iso2009,
                 {"pain.008.001.02.xsd"}},
          Golden{"AT61 1904 3002 3457 3201", "LS_austria.xml", SepaVersion::Iso2009, {"pain.008.001.02.xsd"}},
          Golden{"DE26 7016 0000 0000 5555 55", "LS_2019_standard.xml", SepaVersion::Iso2019, iso2019},
          Golden{"AT61 1904 3002 3457 3201", "LS_2019_austria.xml", SepaVersion::Iso2019, iso2019}}) {
        SCOPED_TRACE(g.file);
        firma.Kontonummer = QString::fromLatin1(g.iban);
        firma.Adresse = QStringLiteral("Industriestraße 5"); // only the 2019 files carry an address
        firma.PLZ = QStringLiteral("70173");
        firma.Ort = QStringLiteral("Stuttgart");
        version = g.version;
        BookingList list;
        list.append(booking(1007, 1250, due(10)));
        Buchung second = booking(1500, 10000, due(10));
        second.Name = QStringLiteral("Bau <Nord> & Sohn");
        second.Vorname.clear();
        second.Mandatsnummer = QStringLiteral("4711");
        second.IBAN = QStringLiteral("de89 3704 0044 0532 0130 00");
        list.append(second);
        list.append(booking(2311, 7, due(17)));

        const SepaResult result = write(list);
        ASSERT_TRUE(result.written) << prompter.allText().toStdString();
        EXPECT_EQ(result.path, exportFolder() + QStringLiteral("LS_Abrechnung_05122026T140509.xml"));
        const QByteArray bytes = TempFolder::read(result.path);
        EXPECT_EQ(bytes, TempFolder::read(QStringLiteral(BRV_TEST_DATA_DIR "/") + QLatin1String(g.file)));
        for (const QString& schema : g.schemas)
            EXPECT_EQ(schemaErrors(withStandardNamespace(bytes), schema).toStdString(), "")
                << schema.toStdString();
        QFile::remove(result.path);
    }
}

TEST_F(DirectDebit, BlocksCarryTheirOwnCountAndSum) {
    BookingList list;
    for (int i = 0; i < 3; ++i)
        list.append(booking(100 + i, 1000 + i, due(10)));
    for (int i = 0; i < 2; ++i)
        list.append(booking(200 + i, 500, due(20)));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 5);
    EXPECT_EQ(result.controlSumCents, 4003);
    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("NbOfTxs")), (QStringList{"5", "3", "2"}));
    EXPECT_EQ(values(xml, QStringLiteral("CtrlSum")), (QStringList{"40.03", "30.03", "10"}));
    EXPECT_EQ(values(xml, QStringLiteral("PmtInfId")), (QStringList{"EZ00100201", "EZ00100201-2"}));
    EXPECT_EQ(values(xml, QStringLiteral("ReqdColltnDt")), (QStringList{"2026-12-10", "2026-12-20"}));
}

TEST_F(DirectDebit, MandateAndDebtorAsTheBankExpects) {
    firma.Bankleitzahl = QStringLiteral("  ");
    BookingList list;
    Buchung b = booking(1, 100);
    b.Mandatsnummer = QStringLiteral("4711");
    b.IBAN = QStringLiteral("DE89 3704 0044 0532 0130 00");
    list.append(b);
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("EndToEndId")), QStringList{"4711"});
    EXPECT_EQ(values(xml, QStringLiteral("MndtId")), QStringList{"4711"});
    EXPECT_EQ(values(xml, QStringLiteral("DtOfSgntr")), QStringList{"2026-12-05"});
    EXPECT_EQ(values(xml, QStringLiteral("BIC")), (QStringList{"NOTPROVIDED", "COBADEFFXXX"}));
    EXPECT_EQ(values(xml, QStringLiteral("IBAN")).last(), "DE89370400440532013000");
    EXPECT_TRUE(xml.contains(QStringLiteral("<Nm>Hans Mueller, 80331 Muenchen, Hauptstrasse 1</Nm>")))
        << "the first name comes first";
}

TEST_F(DirectDebit, InvalidCreditorIdentifierLeavesNoFileBehind) {
    for (const QString& id : {QString(), QStringLiteral("   "), QStringLiteral("DE97ZZZ09999999999"),
                              QString(36, QLatin1Char('D'))}) {
        SCOPED_TRACE(id.toStdString());
        firma.GlaubigerID = id;
        version = id.size() > 3 ? SepaVersion::Iso2019 : SepaVersion::Iso2009;
        prompter.messages.clear();
        BookingList list;
        list.append(booking(1, 1250));
        list.append(booking(2, 1250));
        list[1].IBAN = QStringLiteral("DE12"); // logged and removed; the closing message never comes
        const SepaResult result = write(list);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(result.controlSumCents, 1250);
        EXPECT_TRUE(exportEntries().isEmpty());
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].text,
                  QStringLiteral("Für den Einzug muss eine gültige Gläubiger ID eingegeben werden."));
        EXPECT_TRUE(prompter.openedFiles.isEmpty());
    }
}

TEST_F(DirectDebit, BookingsWithoutUsableMandateAreRemoved) {
    BookingList list;
    list.append(booking(1, 100));
    list.append(booking(2, 100));
    list[1].Mandatsnummer.clear();
    list.append(booking(3, 100));
    list[2].Mandatsnummer = QString(36, QLatin1Char('M'));
    list.append(booking(4, 100));
    list[3].Mandatsnummer = QString(35, QLatin1Char('M'));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 2);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[1].Nummer, 4);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 6);
    EXPECT_TRUE(log[0].endsWith(QStringLiteral(";2 Mueller Hans Mandatsnummer fehlt.")));
    EXPECT_TRUE(log[1].endsWith(
        QStringLiteral(";Die Rechnung R2 wurde nicht in die Datei übernommen und bleibt offen.")));
    EXPECT_TRUE(log[2].endsWith(QStringLiteral(";3 Mueller Hans Mandatsnummer ist länger als 35 Zeichen. ") +
                                QString(36, QLatin1Char('M'))));
    EXPECT_TRUE(log[5].endsWith(QStringLiteral(";2 Buchungen wurden nicht in die Datei übernommen.")));
    EXPECT_EQ(
        schemaErrors(TempFolder::read(result.path), QStringLiteral("pain.008.001.02.xsd")).toStdString(), "");
}

TEST_F(DirectDebit, BookingsThe2019FilesCannotCarryAreLeftOut) {
    struct Row {
        const char* problem;
        void (*spoil)(Buchung&);
    };
    const Row rows[] = {
        {"Mandatsnummer enthält Zeichen außerhalb des SEPA-Zeichensatzes. M<1>",
         [](Buchung& b) { b.Mandatsnummer = QStringLiteral("M<1>"); }},
        {"Name fehlt.", [](Buchung& b) { b.Name = QStringLiteral("&"), b.Vorname = QStringLiteral("€"); }},
        {"BIC fehlt (Land außerhalb des EWR).",
         [](Buchung& b) { b.IBAN = QStringLiteral("CH9300762011623852957"), b.BIC.clear(); }},
        {"Adresse fehlt (Land außerhalb des EWR).",
         [](Buchung& b) { b.IBAN = QStringLiteral("GB29NWBK60161331926819"), b.Ort = QStringLiteral("  "); }},
    };
    version = SepaVersion::Iso2019;
    BookingList list;
    list.append(booking(1, 100));
    for (const Row& row : rows) {
        list.append(booking(2, 100));
        row.spoil(list[list.count() - 1]);
    }
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written) << prompter.allText().toStdString();
    EXPECT_EQ(result.count, 1);
    const QStringList log = logLines();
    // Each reason, then the line that its invoice stays open; the summary and the count close.
    ASSERT_EQ(log.size(), 2 * std::size(rows) + 2);
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_TRUE(log[2 * i].endsWith(QString::fromUtf8(rows[i].problem))) << log[2 * i].toStdString();
        EXPECT_TRUE(log[2 * i + 1].endsWith(QStringLiteral("bleibt offen."))) << log[2 * i + 1].toStdString();
    }
}

} // namespace
