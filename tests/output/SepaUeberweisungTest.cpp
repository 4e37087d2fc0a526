#include "output/SepaUeberweisung.h"
#include "output/ExportPath.h"
#include "output/GermanFormat.h"
#include "output/SepaChecks.h"

#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "WriterFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;
using SepaSamples::due;

class CreditTransfer : public testing::Test, public WriterFixture {
protected:
    SepaResult write(BookingList& list) { return writeSepa(list, firma, version, false); }
    static QString text(const SepaResult& result) {
        return QString::fromUtf8(TempFolder::read(localFilePath(result.path)));
    }
    // Every value of the element, in document order.
    static QStringList values(const QString& xml, const QString& tag) {
        QStringList found;
        const QRegularExpression element(QStringLiteral("<%1(?: [^>]*)?>([^<]*)</%1>").arg(tag));
        for (const auto& match : element.globalMatch(xml))
            found << match.captured(1);
        return found;
    }

    Firmendaten firma = SepaSamples::firma();
    SepaVersion version = SepaVersion::Iso2009;
    const QString fileName = QStringLiteral("UW_Abrechnung_05122026T140509.xml");
};

TEST_F(CreditTransfer, GoldenFilesPinTheLayoutOfBothVariants) {
    struct Golden {
        const char* iban;
        const char* file;
        SepaVersion version;
        const char* schema;
    };
    for (const Golden& g :
         {Golden{"DE26 7016 0000 0000 5555 55", "UW_standard.xml", SepaVersion::Iso2009,
                 "pain.001.001.03.xsd"},
          Golden{"AT61 1904 3002 3457 3201", "UW_austria.xml", SepaVersion::Iso2009, "pain.001.001.03.xsd"},
          Golden{"DE26 7016 0000 0000 5555 55", "UW_2019_standard.xml", SepaVersion::Iso2019,
                 "pain.001.001.09.xsd"},
          Golden{"AT61 1904 3002 3457 3201", "UW_2019_austria.xml", SepaVersion::Iso2019,
                 "pain.001.001.09.xsd"}}) {
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
        second.IBAN = QStringLiteral("de89 3704 0044 0532 0130 00");
        second.BIC = QStringLiteral("cobadeff");
        list.append(second);
        list.append(booking(2311, 7, due(17)));

        const SepaResult result = write(list);
        ASSERT_TRUE(result.written) << prompter.allText().toStdString();
        EXPECT_EQ(result.path, exportFolder() + fileName);
        const QByteArray bytes = TempFolder::read(result.path);
        EXPECT_EQ(bytes, TempFolder::read(QStringLiteral(BRV_TEST_DATA_DIR "/") + QLatin1String(g.file)));
        EXPECT_EQ(schemaErrors(withStandardNamespace(bytes), QLatin1String(g.schema)).toStdString(), "");
        QFile::remove(result.path);
    }
}

TEST_F(CreditTransfer, MessageAndBlockIdsComeFromTheFirstAndLastCustomer) {
    BookingList list;
    list.append(booking(1007, 100, due(10)));
    list.append(booking(1500, 100, due(11)));
    list.append(booking(2311, 100, due(10)));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("MsgId")), QStringList{"10072311"});
    // Unordered due dates give three blocks; each has an id of its own.
    EXPECT_EQ(values(xml, QStringLiteral("PmtInfId")),
              (QStringList{"D0010072311", "D0010072311-2", "D0010072311-3"}));
    EXPECT_EQ(values(xml, QStringLiteral("ReqdExctnDt")),
              (QStringList{"2026-12-10", "2026-12-11", "2026-12-10"}));
}

TEST_F(CreditTransfer, OneBookingGivesItsNumberAsMessageId) {
    BookingList list;
    list.append(booking(1007, 1250));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.controlSumCents, 1250);
    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("MsgId")), QStringList{"1007"});
    EXPECT_EQ(values(xml, QStringLiteral("PmtInfId")), QStringList{"D001007"});
    EXPECT_EQ(values(xml, QStringLiteral("NbOfTxs")), QStringList{"1"});
    EXPECT_EQ(values(xml, QStringLiteral("CreDtTm")), QStringList{"2026-12-05T14:05:09"});
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.openedFiles.isEmpty());
}

TEST_F(CreditTransfer, SameDueDateAndTimeShareOneBlock) {
    BookingList list;
    const QDateTime morning(QDate(2026, 12, 10), QTime(9, 0));
    list.append(booking(1, 100, morning));
    list.append(booking(2, 100, morning));
    list.append(booking(3, 100, morning));
    list.append(booking(4, 100, morning.addSecs(3600))); // same day, other time: a block of its own
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(values(text(result), QStringLiteral("PmtInfId")).size(), 2);
}

TEST_F(CreditTransfer, CountAndControlSumAreExactForFortyThousandBookings) {
    BookingList list = SepaSamples::manyBookings(40000);
    qint64 expected = 0;
    for (const Buchung& b : list)
        expected += b.Betrag;
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 40000);
    EXPECT_EQ(result.controlSumCents, expected);
    const QByteArray bytes = TempFolder::read(result.path);
    const QString xml = QString::fromUtf8(bytes);
    EXPECT_EQ(values(xml, QStringLiteral("NbOfTxs")), QStringList{"40000"});
    EXPECT_EQ(values(xml, QStringLiteral("CtrlSum")), QStringList{GermanFormat::amountXml(expected)});
    qint64 summed = 0;
    for (const QString& amount : values(xml, QStringLiteral("InstdAmt"))) {
        const QStringList parts = amount.split(QLatin1Char('.'));
        summed += parts[0].toLongLong() * 100 +
                  (parts.size() > 1 ? parts[1].leftJustified(2, QLatin1Char('0')).toInt() : 0);
    }
    EXPECT_EQ(summed, expected);
}

TEST_F(CreditTransfer, IdentifiersAreWrittenUpperCaseWithoutBlanks) {
    firma.Kontonummer = QStringLiteral("de26 7016 0000 0000 5555 55");
    firma.Bankleitzahl.clear();
    BookingList list;
    Buchung b = booking(1, 100);
    b.IBAN = QStringLiteral("de89 3704 0044 0532 0130 00");
    b.BIC = QStringLiteral("coba de ff");
    list.append(b);
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("IBAN")),
              (QStringList{"DE26701600000000555555", "DE89370400440532013000"}));
    EXPECT_EQ(values(xml, QStringLiteral("BIC")), (QStringList{"NOTPROVIDED", "COBADEFF"}));
    // A lower-case country code is not measured, so nothing is logged.
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(CreditTransfer, NamesAndRemittanceAreBankTextAndEscaped) {
    firma.FirmenName = QStringLiteral("Müller <Bau> & Söhne");
    BookingList list;
    Buchung b = booking(1, 100);
    b.Name = QStringLiteral("Müller <Bau> & Söhne");
    b.Vorname.clear();
    b.Strasse = QStringLiteral("Weg\r\n1");
    b.Rechnung = QStringLiteral("RÄ<1>&2");
    list.append(b);
    Buchung longer = booking(2, 100);
    longer.Name = QString(80, QLatin1Char('N'));
    longer.Rechnung = QString(150, QLatin1Char('R'));
    list.append(longer);

    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    const QByteArray bytes = TempFolder::read(result.path);
    EXPECT_EQ(schemaErrors(bytes, QStringLiteral("pain.001.001.03.xsd")).toStdString(), "");
    const QString xml = QString::fromUtf8(bytes);
    EXPECT_TRUE(xml.contains(QStringLiteral("<Nm>Mueller &lt;Bau&gt;   Soehne</Nm>"))) << "company name";
    EXPECT_TRUE(xml.contains(QStringLiteral("<Nm>Müller &lt;Bau&gt;   Söhne , 80331 Muenchen, Weg  1</Nm>")))
        << "the writer sanitizes only company name and remittance; the run has sanitized the rest before";
    EXPECT_TRUE(xml.contains(QStringLiteral("<Ustrd>RAE&lt;1&gt; 2</Ustrd>")));
    EXPECT_TRUE(
        xml.contains(QStringLiteral("<Nm>") + QString(70, QLatin1Char('N')) + QStringLiteral("</Nm>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<Ustrd>") + QString(140, QLatin1Char('R')) +
                             QStringLiteral("</Ustrd>")));
}

TEST_F(CreditTransfer, CompanyNameOfSixtyEightCharactersWithTwoUmlautsIsNotCut) {
    firma.FirmenName = QStringLiteral("Ä") + QString(66, QLatin1Char('x')) + QStringLiteral("ü");
    BookingList list;
    list.append(booking(1, 100));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(values(text(result), QStringLiteral("Nm")).first(),
              QStringLiteral("AE") + QString(66, QLatin1Char('x')) + QStringLiteral("ue"));
}

TEST_F(CreditTransfer, UnusableBookingsAreLoggedRemovedAndCounted) {
    BookingList list;
    list.append(booking(1, 1000));
    list.append(booking(2, 0));
    Buchung shortIban = booking(3, 1000);
    shortIban.IBAN = QStringLiteral("DE12");
    list.append(shortIban);
    Buchung austrian = booking(4, 2050);
    austrian.IBAN = QStringLiteral("AT3319043002345732011"); // right check digits, misses the length
    list.append(austrian);
    Buchung badBic = booking(5, 1000);
    badBic.BIC = QStringLiteral("XX");
    list.append(badBic);
    list.append(booking(6, -300));
    Buchung wrongDigits = booking(7, 1000);
    wrongDigits.IBAN = QStringLiteral("DE88 3704 0044 0532 0130 00");
    list.append(wrongDigits);
    Buchung wrongDigitsAndLength = booking(8, 1000);
    wrongDigitsAndLength.IBAN = QStringLiteral("AT6119043002345732011");
    list.append(wrongDigitsAndLength);

    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 2);
    EXPECT_EQ(result.controlSumCents, 3050);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[0].Nummer, 1);
    EXPECT_EQ(list[1].Nummer, 4);
    EXPECT_TRUE(list.last().Rechnung.isEmpty()) << "the list keeps its trailing empty element";

    const QString xml = text(result);
    EXPECT_EQ(values(xml, QStringLiteral("NbOfTxs")), QStringList{"2"});
    EXPECT_EQ(values(xml, QStringLiteral("CtrlSum")), QStringList{"30.5"});
    EXPECT_EQ(values(xml, QStringLiteral("Ustrd")), (QStringList{"R1", "R4"}));

    const QString stamp = QStringLiteral("2026.12.05 - 14:05:09;");
    EXPECT_EQ(
        logLines(),
        (QStringList{
            stamp + QStringLiteral("2 Mueller Hans Betrag muss größer als 0 sein. 0,00"),
            stamp + QStringLiteral("Die Rechnung R2 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral("3 Mueller Hans IBAN hat nicht die erforderliche Länge. DE12"),
            stamp + QStringLiteral("Die Rechnung R3 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral(
                        "4 Mueller Hans IBAN hat nicht die erforderliche Länge. AT3319043002345732011"),
            stamp + QStringLiteral("5 Mueller Hans BIC ist ungültig. XX"),
            stamp + QStringLiteral("Die Rechnung R5 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral("6 Mueller Hans Betrag muss größer als 0 sein. -3,00"),
            stamp + QStringLiteral("Die Rechnung R6 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral(
                        "7 Mueller Hans IBAN hat eine ungültige Prüfziffer. DE88 3704 0044 0532 0130 00"),
            stamp + QStringLiteral("Die Rechnung R7 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral(
                        "8 Mueller Hans IBAN hat nicht die erforderliche Länge. AT6119043002345732011"),
            stamp + QStringLiteral("Die Rechnung R8 wurde nicht in die Datei übernommen und bleibt offen."),
            stamp + QStringLiteral("Es sind 7 Fehler von gesamt 8 Buchungen aufgetreten. Die Datei enthält 2 "
                                   "Buchungen, Kontrollsumme: EUR 30,5"),
            stamp + QStringLiteral("6 Buchungen wurden nicht in die Datei übernommen.")}));
}

TEST_F(CreditTransfer, IbansOfWrongNationalLengthAreLoggedAndWrittenAllTheSame) {
    BookingList list;
    for (int i = 1; i <= 5; ++i)
        list.append(booking(i, 100 * i));
    list[1].IBAN = QStringLiteral("AT33 1904 3002 3457 3201 1");
    list[3].IBAN = QStringLiteral("CH2400762011623852957 0");
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.count, 5);
    EXPECT_EQ(values(text(result), QStringLiteral("IBAN")).mid(1),
              (QStringList{"DE89370400440532013000", "AT3319043002345732011", "DE89370400440532013000",
                           "CH24007620116238529570", "DE89370400440532013000"}));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[0].endsWith(QStringLiteral(";2 Mueller Hans IBAN hat nicht die erforderliche Länge. "
                                               "AT33 1904 3002 3457 3201 1")));
    EXPECT_TRUE(log[2].endsWith(QStringLiteral(";Es sind 2 Fehler von gesamt 5 Buchungen aufgetreten. "
                                               "Die Datei enthält 5 Buchungen, Kontrollsumme: EUR 15")));
}

TEST_F(CreditTransfer, PurposeTextWithSlashLeavesNothingBehind) {
    firma.Verwendungszweck = QStringLiteral("Ab/rechnung");
    BookingList list;
    list.append(booking(1, 1250));
    const SepaResult result = write(list);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.controlSumCents, 1250) << "the control sum is handed out in every outcome";
    EXPECT_TRUE(exportEntries().isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(
        QStringLiteral("Fehler beim Schreiben der XML Datei ") + exportFolder() +
        QStringLiteral("UW_Ab/rechnung_05122026T140509.xml \r")));
    EXPECT_GT(prompter.messages[0].text.size(), prompter.messages[0].text.indexOf(QLatin1Char('\r')) + 1)
        << "the system's reason follows";
}

TEST_F(CreditTransfer, CompanyValuesNoBankTakesStopTheRunBeforeAnyFile) {
    struct Row {
        const char* iban;
        const char* bic;
        const char* message;
    };
    for (const Row& row :
         {Row{"DE02 7016 0000 0000 5555 55", "GENODEF1M04",
              "Die IBAN der Firma hat eine ungültige Prüfziffer: DE02 7016 0000 0000 5555 55"},
          Row{"DE26-7016", "GENODEF1M04", "Die IBAN der Firma ist ungültig: DE26-7016"},
          Row{"DE26 7016 0000 0000 5555 55", "GENO", "Der BIC der Firma ist ungültig: GENO"}}) {
        for (const SepaVersion v : {SepaVersion::Iso2009, SepaVersion::Iso2019}) {
            SCOPED_TRACE(row.message);
            firma.Kontonummer = QString::fromUtf8(row.iban);
            firma.Bankleitzahl = QString::fromUtf8(row.bic);
            version = v;
            prompter.messages.clear();
            BookingList list;
            list.append(booking(1, 100));
            EXPECT_FALSE(write(list).written);
            EXPECT_TRUE(exportEntries().isEmpty());
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(prompter.messages[0].text, QString::fromUtf8(row.message));
        }
    }
}

TEST_F(CreditTransfer, WindowsFolderThatCannotExistHereIsACreationFailure) {
    BookingList list;
    list.append(booking(1, 1250));
    const SepaResult result = WriteSEPAUeberweisung(QStringLiteral(R"(Q:\Nirgends\)"), list, firma,
                                                    SepaSamples::runTime(), prompter, version);
    EXPECT_FALSE(result.written);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral(
        R"(Fehler beim Schreiben der XML Datei Q:\Nirgends\UW_Abrechnung_05122026T140509.xml )")));
    EXPECT_FALSE(QDir(QStringLiteral("Q:")).exists());
}

TEST_F(CreditTransfer, EmptyPurposeTextGivesTwoUnderscores) {
    firma.Verwendungszweck.clear();
    BookingList list;
    list.append(booking(1, 1250));
    const SepaResult result = write(list);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(exportEntries(), QStringList{"UW__05122026T140509.xml"});
}

TEST_F(CreditTransfer, CompanyValuesThatWouldSpoilTheFileStopBeforeWriting) {
    for (const auto& [iban, bic] : {std::pair{"", "GENODEF1M04"}, std::pair{"DE02 ÄÖ", "GENODEF1M04"},
                                    std::pair{"DE26701600000000555555", "BANK"}}) {
        firma.Kontonummer = QString::fromUtf8(iban);
        firma.Bankleitzahl = QString::fromUtf8(bic);
        prompter.messages.clear();
        BookingList list;
        list.append(booking(1, 1250));
        const SepaResult result = write(list);
        EXPECT_FALSE(result.written) << iban << " " << bic;
        EXPECT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(exportEntries().isEmpty());
    }
}

} // namespace
