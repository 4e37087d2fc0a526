#include "base/GermanFormat.h"
#include "output/ExportPath.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include "SchemaCheck.h"
#include "ScopedTimeZone.h"
#include "SepaSamples.h"
#include "WriterFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;
using SepaSamples::due;
constexpr SepaVersion v2009 = SepaVersion::Iso2009, v2019 = SepaVersion::Iso2019;

// Every value of the element, in document order.
QStringList values(const QString& xml, const QString& tag) {
    QStringList found;
    const QRegularExpression element(QStringLiteral("<%1(?: [^>]*)?>([^<]*)</%1>").arg(tag));
    for (const auto& match : element.globalMatch(xml))
        found << match.captured(1);
    return found;
}

SepaResult writeUnchecked(const QString& folder, BookingList& list, const Firmendaten& firma,
                          Prompter& prompter, const SepaOptions& options, bool directDebit) {
    return directDebit
               ? WriteSEPALastschrift(folder, list, firma, SepaSamples::runTime(), prompter, options)
               : WriteSEPAUeberweisung(folder, list, firma, SepaSamples::runTime(), prompter, options);
}

class SepaWriter : public testing::Test, public WriterFixture {
protected:
    // Checks the bookings and writes the payment file as the export run does, then publishes it.
    SepaResult write(BookingList& list, bool directDebit) {
        CheckBookings(list, directDebit, options.version, logPath(), SepaSamples::runTime());
        SepaResult result = writeUnchecked(exportFolder(), list, firma, prompter, options, directDebit);
        if (result.written) {
            EXPECT_TRUE(result.file.publish());
        }
        return result;
    }
    static QString text(const SepaResult& result) {
        return QString::fromUtf8(TempFolder::read(localFilePath(result.path)));
    }

    // The files of the goldens were written in Germany in winter.
    const ScopedTimeZone berlin{"Europe/Berlin"};
    Firmendaten firma = SepaSamples::firma();
    SepaOptions options{.version = v2009};
};

void expectBankValid(const QByteArray& bytes, bool directDebit, SepaVersion version, bool austrian) {
    EXPECT_EQ(bankSchemaErrors(bytes, directDebit, version, austrian).toStdString(), "");
}

TEST_F(SepaWriter, GoldenFilesPinTheLayoutOfEveryVariant) {
    firma.Adresse = "Industriestraße 5"; // only the 2019 files carry an address
    firma.PLZ = "70173";
    firma.Ort = "Stuttgart";
    for (const bool directDebit : {false, true})
        for (const SepaVersion v : {v2009, v2019})
            for (const bool austrian : {false, true}) {
                const QString kind = directDebit ? "LS" : "UW";
                const QString golden =
                    kind + (v == v2019 ? "_2019_" : "_") + (austrian ? "austria" : "standard");
                SCOPED_TRACE(golden.toStdString());
                firma.Kontonummer = austrian ? "AT61 1904 3002 3457 3201" : "DE26 7016 0000 0000 5555 55";
                options.version = v;
                BookingList list;
                list.append(booking(1007, 1250, due(10)));
                Buchung second = booking(1500, 10000, due(10));
                second.Name = "Bau <Nord> & Sohn";
                second.Vorname.clear();
                second.Mandatsnummer = "4711";
                second.IBAN = "de89 3704 0044 0532 0130 00";
                if (!directDebit)
                    second.BIC = "cobadeff";
                list.append(second);
                list.append(booking(2311, 7, due(17)));

                const SepaResult result = write(list, directDebit);
                ASSERT_TRUE(result.written) << prompter.allText().toStdString();
                EXPECT_EQ(result.path, exportFolder() + kind + "_Abrechnung_05122026T140509.xml");
                const QByteArray bytes = TempFolder::read(result.path);
                EXPECT_EQ(bytes, TempFolder::read(BRV_TEST_DATA_DIR "/" + golden + ".xml"));
                expectBankValid(bytes, directDebit, v, austrian);
                EXPECT_TRUE(prompter.messages.isEmpty());
                EXPECT_TRUE(prompter.openedFiles.isEmpty());
                QFile::remove(result.path);
            }
}

// Instant payment goes into every 2019 credit transfer, the verification of
// payee only into an Austrian one; the direct debit carries neither, and the
// result says what the file carries. A company without BIC passes the banks'
// schemas too.
TEST_F(SepaWriter, InstantAndVerificationOfPayeeGoWhereTheBanksTakeThem) {
    const struct {
        const char* name;
        bool directDebit, austrian;
        const char* verification;
        bool instant;
        bool inst;               // <LclInstrm> with INST in every block
        const char* instruction; // InstrForDbtrAgt written, or nullptr
    } rows[] = {
        {"GermanInstant", false, false, "VoPOptIn", true, true, nullptr},
        {"AustrianInstantOptIn", false, true, "VoPOptIn", true, true, "VoPOptIn"},
        {"AustrianOptOut", false, true, "VoPOptOut", false, false, "VoPOptOut"},
        {"AustrianPlainWithoutBic", false, true, "", false, false, nullptr},
        {"GermanDirectDebitWithoutBic", true, false, "VoPOptIn", true, false, nullptr},
        {"AustrianDirectDebit", true, true, "VoPOptOut", true, false, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        firma.Kontonummer = row.austrian ? "AT61 1904 3002 3457 3201" : "DE26 7016 0000 0000 5555 55";
        options = {v2019, row.instant, QString::fromLatin1(row.verification)};
        firma.Bankleitzahl = QByteArray(row.name).endsWith("WithoutBic") ? "" : "GENODEF1M04";
        BookingList list;
        list.append(booking(1, 1250, due(10)));
        list.append(booking(2, 700, due(11)));
        const SepaResult result = write(list, row.directDebit);
        ASSERT_TRUE(result.written) << prompter.allText().toStdString();
        const QByteArray bytes = TempFolder::read(result.path);
        expectBankValid(bytes, row.directDebit, v2019, row.austrian);
        const QString xml = QString::fromUtf8(bytes);
        const QString inst =
            "             <LclInstrm>\r\n                 <Cd>INST</Cd>\r\n             </LclInstrm>\r\n"
            "         </PmtTpInf>";
        EXPECT_EQ(xml.count(inst), row.inst ? 2 : 0);
        const QString instruction =
            QStringLiteral("         </DbtrAgt>\r\n         <InstrForDbtrAgt>%1</InstrForDbtrAgt>\r\n")
                .arg(QLatin1String(row.instruction));
        EXPECT_EQ(xml.count(instruction), row.instruction ? 2 : 0);
        EXPECT_EQ(xml.count("InstrForDbtrAgt"), row.instruction ? 4 : 0);
        EXPECT_EQ(result.carried.instant, row.inst);
        EXPECT_EQ(result.carried.verificationOfPayee, QLatin1String(row.instruction));
        QFile::remove(result.path);
    }
}

// CreDtTm carries the offset from UTC of the run's moment in the machine's
// time zone; the file name keeps the local time. In the hour that repeats
// when the clocks go back, each pass carries its own offset.
TEST_F(SepaWriter, CreationTimeCarriesTheOffsetOfItsMoment) {
    const struct {
        const char* zone;
        QDateTime now;
        const char* created;
    } rows[] = {
        {"Europe/Berlin", QDateTime(QDate(2026, 1, 15), QTime(9, 30)), "2026-01-15T09:30:00+01:00"},
        {"Europe/Berlin", QDateTime(QDate(2026, 7, 15), QTime(9, 30)), "2026-07-15T09:30:00+02:00"},
        {"UTC", QDateTime(QDate(2026, 7, 15), QTime(9, 30)), "2026-07-15T09:30:00+00:00"},
        {"America/New_York", QDateTime(QDate(2026, 1, 15), QTime(9, 30)), "2026-01-15T09:30:00-05:00"},
        {"Asia/Kolkata", QDateTime(QDate(2026, 1, 15), QTime(9, 30)), "2026-01-15T09:30:00+05:30"},
        // 25 October 2026, 02:30 local, first in summer time, then again in winter time.
        {"Europe/Berlin", QDateTime::fromSecsSinceEpoch(1792888200), "2026-10-25T02:30:00+02:00"},
        {"Europe/Berlin", QDateTime::fromSecsSinceEpoch(1792888200 + 3600), "2026-10-25T02:30:00+01:00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.zone) + " " + row.created);
        const ScopedTimeZone zone(row.zone);
        const QDateTime now = row.now.toLocalTime();
        for (const SepaVersion version : {v2009, v2019}) {
            BookingList list;
            list.append(booking(1, 1250));
            CheckBookings(list, false, version, logPath(), now);
            SepaResult result = WriteSEPAUeberweisung(exportFolder(), list, firma, now, prompter,
                                                      SepaOptions{.version = version});
            ASSERT_TRUE(result.written) << prompter.allText().toStdString();
            const QString xml = QString::fromUtf8(TempFolder::read(result.file.tempPath));
            const QString local = QString::fromLatin1(row.created).left(19);
            EXPECT_EQ(values(xml, "CreDtTm"),
                      QStringList{version == v2019 ? QString::fromLatin1(row.created) : local});
            EXPECT_TRUE(result.path.endsWith(now.toString("ddMMyyyy'T'HHmmss") + ".xml"));
            EXPECT_EQ(now.toString("yyyy-MM-dd'T'HH:mm:ss"), local);
            result.file.discard();
        }
    }
}

// Blocks follow runs of equal due date and time in list order; the message id
// joins the first and the last customer number.
TEST_F(SepaWriter, BlocksAndIdsFollowTheDueDatesInListOrder) {
    const QDateTime morning(QDate(2026, 12, 10), QTime(9, 0));
    const struct {
        const char* name;
        QList<QPair<int, QDateTime>> bookings; // customer number, due date
        QStringList msgId, blockIds, dates;
    } rows[] = {
        {"OneBooking", {{1007, due(10)}}, {"1007"}, {"D001007"}, {"2026-12-10"}},
        {"UnorderedDueDates",
         {{1007, due(10)}, {1500, due(11)}, {2311, due(10)}},
         {"10072311"},
         {"D0010072311", "D0010072311-2", "D0010072311-3"},
         {"2026-12-10", "2026-12-11", "2026-12-10"}},
        {"SameDayOtherTime",
         {{1, morning}, {2, morning}, {3, morning}, {4, morning.addSecs(3600)}},
         {"14"},
         {"D0014", "D0014-2"},
         {"2026-12-10", "2026-12-10"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BookingList list;
        for (const auto& [nummer, faellig] : row.bookings)
            list.append(booking(nummer, 100, faellig));
        const SepaResult result = write(list, false);
        ASSERT_TRUE(result.written);
        const QString xml = text(result);
        EXPECT_EQ(values(xml, "MsgId"), row.msgId);
        EXPECT_EQ(values(xml, "PmtInfId"), row.blockIds);
        EXPECT_EQ(values(xml, "ReqdExctnDt"), row.dates);
        QFile::remove(result.path);
    }

    // An empty purpose text still gives both separators of the file name.
    firma.Verwendungszweck.clear();
    BookingList list;
    list.append(booking(1, 1250));
    ASSERT_TRUE(write(list, false).written);
    EXPECT_EQ(exportEntries(), QStringList{"UW__05122026T140509.xml"});

    // Block ids stay within 35 characters and unique.
    const QString base = "EZ00" + QString(31, QLatin1Char('9'));
    QSet<QString> ids;
    for (int n = 1; n <= 1200; ++n) {
        const QString id = paymentBlockId(base, n, 1200);
        EXPECT_LE(id.size(), 35) << id.toStdString();
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 1200);
    EXPECT_EQ(paymentBlockId(base, 1, 1200), base);
}

// Identifiers are written upper case without blanks, a missing BIC as
// NOTPROVIDED; names and remittance as bank text, escaped and cut.
TEST_F(SepaWriter, IdentifiersNamesAndRemittanceAsTheBankReadsThem) {
    firma.Kontonummer = "de26 7016 0000 0000 5555 55";
    firma.Bankleitzahl = "  ";
    firma.FirmenName = "Müller <Bau> & Söhne";
    BookingList list;
    Buchung b = booking(1, 100);
    b.Name = "Müller <Bau> & Söhne";
    b.Vorname.clear();
    b.Strasse = "Weg\r\n1";
    b.Rechnung = "RÄ<1>&2";
    b.IBAN = "de89 3704 0044 0532 0130 00";
    b.BIC = "coba de ff";
    list.append(b);
    Buchung longer = booking(2, 100);
    longer.Name = QString(80, QLatin1Char('N'));
    longer.Rechnung = QString(150, QLatin1Char('R'));
    list.append(longer);

    const SepaResult result = write(list, false);
    ASSERT_TRUE(result.written);
    const QByteArray bytes = TempFolder::read(result.path);
    expectBankValid(bytes, false, options.version, false);
    const QString xml = QString::fromUtf8(bytes);
    EXPECT_EQ(values(xml, "Nm").first(), "Mueller &lt;Bau&gt;   Soehne");
    EXPECT_EQ(values(xml, "IBAN").mid(0, 2),
              (QStringList{"DE26701600000000555555", "DE89370400440532013000"}));
    EXPECT_EQ(values(xml, "BIC").mid(0, 2), (QStringList{"NOTPROVIDED", "COBADEFF"}));
    // The writer sanitizes only company name and remittance; the run has sanitized the rest before.
    EXPECT_TRUE(xml.contains("<Nm>Müller &lt;Bau&gt;   Söhne , 80331 Muenchen, Weg  1</Nm>"));
    EXPECT_EQ(values(xml, "Ustrd"), (QStringList{"RAE&lt;1&gt; 2", QString(140, QLatin1Char('R'))}));
    EXPECT_TRUE(xml.contains("<Nm>" + QString(70, QLatin1Char('N')) + "</Nm>"));
    // A lower-case country code is not measured, so nothing is logged.
    EXPECT_TRUE(logLines().isEmpty());
    // Umlauts are spelled out before the cut to 70 characters.
    EXPECT_EQ(companyName2009("Ä" + QString(66, QLatin1Char('x')) + "üx"),
              "AE" + QString(66, QLatin1Char('x')) + "ue");
}

// One good booking and one spoiled one: the log names the problem, says the
// invoice stays open when the booking cannot go into the file, and closes
// with the summary and the count of bookings left out.
using B = Buchung;
struct Spoiled {
    const char* file; // "UW" or "LS", with "19" for the 2019 files
    void (*spoil)(B&);
    const char* problem; // nullptr: the booking is fine
    bool removed;
};

const Spoiled kSpoiled[] = {
    {"UW", [](B& b) { b.Betrag = 0; }, "Betrag muss größer als 0 sein. 0,00", true},
    {"UW", [](B& b) { b.Betrag = -300; }, "Betrag muss größer als 0 sein. -3,00", true},
    {"UW", [](B& b) { b.IBAN = "DE12"; }, "IBAN hat nicht die erforderliche Länge. DE12", true},
    {"UW", [](B& b) { b.IBAN = "DE88 3704 0044 0532 0130 00"; },
     "IBAN hat eine ungültige Prüfziffer. DE88 3704 0044 0532 0130 00", true},
    {"UW", [](B& b) { b.IBAN = "AT6119043002345732011"; },
     "IBAN hat nicht die erforderliche Länge. AT6119043002345732011", true},
    // Right check digits but not the national length: logged, and paid all the same.
    {"UW", [](B& b) { b.IBAN = "AT33 1904 3002 3457 3201 1"; },
     "IBAN hat nicht die erforderliche Länge. AT33 1904 3002 3457 3201 1", false},
    {"UW", [](B& b) { b.BIC = "XX"; }, "BIC ist ungültig. XX", true},
    {"LS", [](B& b) { b.Mandatsnummer.clear(); }, "Mandatsnummer fehlt.", true},
    {"LS", [](B& b) { b.Mandatsnummer = QString(36, 'M'); },
     "Mandatsnummer ist länger als 35 Zeichen. MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", true},
    {"LS", [](B& b) { b.Mandatsnummer = QString(35, 'M'); }, nullptr, false},
    {"LS19", [](B& b) { b.Mandatsnummer = "M<1>"; },
     "Mandatsnummer enthält Zeichen außerhalb des SEPA-Zeichensatzes. M<1>", true},
    {"LS19", [](B& b) { b.Name = "&", b.Vorname = "€"; }, "Name fehlt.", true},
    {"UW19", [](B& b) { b.IBAN = "CH9300762011623852957", b.BIC.clear(); },
     "BIC fehlt (Land außerhalb des EWR).", true},
    {"LS19", [](B& b) { b.IBAN = "GB29NWBK60161331926819", b.Ort = "  "; },
     "Adresse fehlt (Land außerhalb des EWR).", true},
};

TEST_F(SepaWriter, UnusableBookingsAreLoggedLeftOutAndCounted) {
    const QString stamp = "2026.12.05 - 14:05:09;";
    for (const Spoiled& row : kSpoiled) {
        SCOPED_TRACE(row.problem ? row.problem : "Mandatsnummer of 35");
        QFile::remove(logPath());
        options.version = QByteArray(row.file).endsWith("19") ? v2019 : v2009;
        const bool directDebit = QByteArray(row.file).startsWith("LS");
        BookingList list;
        list.append(booking(1, 1000));
        list.append(booking(2, 1000));
        row.spoil(list[1]);
        const QString who = QStringLiteral("2 %1 %2 ").arg(list[1].Name, list[1].Vorname);
        const SepaResult result = write(list, directDebit);
        ASSERT_TRUE(result.written) << prompter.allText().toStdString();
        EXPECT_EQ(result.count, row.removed ? 1 : 2);
        EXPECT_EQ(list.count(), result.count);
        EXPECT_TRUE(list.last().Rechnung.isEmpty()) << "the list keeps its trailing empty element";
        EXPECT_EQ(values(text(result), "Ustrd"), row.removed ? QStringList{"R1"} : (QStringList{"R1", "R2"}));
        QStringList expected;
        if (row.problem)
            expected << stamp + who + QString::fromUtf8(row.problem);
        if (row.removed)
            expected << stamp + "Die Rechnung R2 wurde nicht in die Datei übernommen und bleibt offen.";
        if (row.problem)
            expected << stamp +
                            QStringLiteral("Es sind 1 Fehler von gesamt 2 Buchungen aufgetreten. Die Datei "
                                           "enthält %1 Buchungen, Kontrollsumme: EUR %2")
                                .arg(result.count)
                                .arg(result.count * 10);
        if (row.removed)
            expected << stamp + "1 Buchungen wurden nicht in die Datei übernommen.";
        EXPECT_EQ(logLines(), expected);
        QFile::remove(result.path);
    }
}

// Company values no bank takes and a folder that cannot exist here: one
// message, no file, and the control sum of the checked bookings all the same.
TEST_F(SepaWriter, RefusedRunsLeaveNothingBehind) {
    const char* badId = "Für den Einzug muss eine gültige Gläubiger ID eingegeben werden.";
    const struct {
        bool directDebit;
        QString Firmendaten::*field; // nullptr: a folder that cannot exist here
        QString value, message;
    } rows[] = {
        {false, &Firmendaten::FirmenName, " ", "Sie müssen einen Firmennamen eingeben!"},
        {false, &Firmendaten::Kontonummer, "", "Sie müssen eine IBAN eingeben!"},
        {true, &Firmendaten::Kontonummer, "DE02 ÄÖ", "Die IBAN der Firma ist ungültig: DE02 ÄÖ"},
        {false, &Firmendaten::Kontonummer, "DE26-7016", "Die IBAN der Firma ist ungültig: DE26-7016"},
        {true, &Firmendaten::Kontonummer, "DE02 7016 0000 0000 5555 55",
         "Die IBAN der Firma hat eine ungültige Prüfziffer: DE02 7016 0000 0000 5555 55"},
        {false, &Firmendaten::Bankleitzahl, "GENO", "Der BIC der Firma ist ungültig: GENO"},
        {true, &Firmendaten::Bankleitzahl, "BANK", "Der BIC der Firma ist ungültig: BANK"},
        {true, &Firmendaten::GlaubigerID, "   ", badId},
        {true, &Firmendaten::GlaubigerID, QString(36, QLatin1Char('D')), badId},
        // The system's reason follows.
        {false, nullptr, R"(Q:\Nirgends\)",
         R"(Fehler beim Schreiben der XML Datei Q:\Nirgends\UW_Abrechnung_05122026T140509.xml )"},
    };
    for (const auto& row : rows) {
        for (const SepaVersion v : {v2009, v2019}) {
            SCOPED_TRACE(row.message.toStdString() + (v == v2019 ? " 2019" : " 2009"));
            Firmendaten spoilt = SepaSamples::firma();
            if (row.field)
                spoilt.*row.field = row.value;
            prompter.messages.clear();
            BookingList list;
            list.append(booking(1, 1250));
            list.append(booking(2, 1250));
            list[1].IBAN = "DE12"; // logged and left out before the refusal
            CheckBookings(list, row.directDebit, v, logPath(), SepaSamples::runTime());
            const QString folder = row.field ? exportFolder() : row.value;
            const SepaResult result =
                writeUnchecked(folder, list, spoilt, prompter, SepaOptions{.version = v}, row.directDebit);
            EXPECT_FALSE(result.written);
            EXPECT_EQ(result.count, 0);
            EXPECT_EQ(result.controlSumCents, 1250);
            EXPECT_TRUE(exportEntries().isEmpty());
            EXPECT_FALSE(QDir("Q:").exists());
            ASSERT_EQ(prompter.messages.size(), 1);
            const QString text = prompter.messages[0].text;
            if (row.message.startsWith("Fehler")) {
                EXPECT_TRUE(text.startsWith(row.message)) << text.toStdString();
                EXPECT_GT(text.size(), row.message.size() + 1) << "the system's reason follows";
            } else {
                EXPECT_EQ(text, row.message);
            }
            EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
            EXPECT_TRUE(prompter.openedFiles.isEmpty());
        }
    }
}

// Every kind of run both writers meet, in both variants and both countries,
// checked against the ISO and the banks' schemas of its message, with count
// and sums exact.
// Special characters everywhere, a Swiss counterparty (outside the EEA), one
// with no BIC, and addresses with and without street, postcode and town.
BookingList mixedBookings() {
    BookingList list;
    Buchung b = booking(-5, 99999999999);
    b.Name = "Müller <Bau> & Söhne \"Nord\" 'Süd'; François";
    b.Vorname = "José Nuñez ø \x01\t";
    b.Ort = "Łódź 𝄞";
    b.Strasse = QString(100, QChar(0x00E9));
    b.Rechnung = "R&<>\"';ç1 " + QString(200, QLatin1Char('x'));
    b.Mandatsnummer = "M-1/2?:().,'+";
    list.append(b);
    for (int i = 1; i <= 5; ++i)
        list.append(booking(i, 100 * i));
    list[1].IBAN = "CH93 0076 2011 6238 5295 7";
    list[1].BIC = "UBSWCHZH80A";
    list[1].Nation = "Schweiz";
    list[2].BIC.clear();
    list[2].Nation = "Oesterreich";
    list[3].Strasse.clear();
    list[4].PLZ.clear();
    list[5].Ort.clear();
    return list;
}

// Ten-digit customer numbers first and last, so every id is at its limit, and
// eighty blocks.
BookingList fortyThousand() {
    BookingList list;
    for (int i = 0; i < 40000; ++i)
        list.append(booking(1000 + i, 100 + (i * 7919) % 99900, due(i % 1000 ? 10 : 20)));
    list[0].Nummer = 2147483000;
    list[list.count() - 1].Nummer = -2147483647;
    return list;
}

struct Case {
    bool big; // forty thousand bookings, else the mixed ones
    bool directDebit, austrian;
    SepaVersion version;
};

std::string caseName(const testing::TestParamInfo<Case>& info) {
    const Case& c = info.param;
    return std::string(c.directDebit ? "LS_" : "UW_") + (c.big ? "FortyThousand" : "MixedBookings") +
           (c.austrian ? "_AT" : "_Standard") + (c.version == v2019 ? "_2019" : "_2009");
}

class WrittenFilesAreSchemaValid : public testing::TestWithParam<Case>, public WriterFixture {};

TEST_P(WrittenFilesAreSchemaValid, AgainstTheSchemasOfTheirBanks) {
    const Case& c = GetParam();
    Firmendaten firma = SepaSamples::firma();
    if (c.austrian)
        firma.Kontonummer = "AT61 1904 3002 3457 3201";
    BookingList list = c.big ? fortyThousand() : mixedBookings();
    const qsizetype count = list.count();
    qint64 sum = 0;
    for (const Buchung& b : list)
        sum += b.Betrag;
    const SepaResult result = writeUnchecked(exportFolder(), list, firma, prompter,
                                             SepaOptions{.version = c.version}, c.directDebit);
    ASSERT_TRUE(result.written) << prompter.allText().toStdString();
    EXPECT_EQ(result.count, count);
    EXPECT_EQ(result.controlSumCents, sum);

    const QByteArray bytes = TempFolder::read(result.file.tempPath);
    expectBankValid(bytes, c.directDebit, c.version, c.austrian);

    // Header totals, and the amounts summed back from the file's own texts.
    const QString xml = QString::fromUtf8(bytes);
    EXPECT_EQ(values(xml, "NbOfTxs").first(), QString::number(count));
    EXPECT_EQ(values(xml, "CtrlSum").first(), GermanFormat::amountXml(sum));
    qint64 summed = 0;
    for (const QString& amount : values(xml, "InstdAmt"))
        summed += qRound64(amount.toDouble() * 100);
    EXPECT_EQ(summed, sum);
}

std::vector<Case> allCases() {
    // The golden files cover a plain run of three bookings in two blocks; the
    // namespace alone differs for a big file, so one variant is enough there.
    std::vector<Case> cases;
    for (bool big : {false, true})
        for (bool directDebit : {false, true})
            for (bool austrian : {false, true})
                if (!austrian || !big)
                    for (SepaVersion version : {v2009, v2019})
                        cases.push_back({big, directDebit, austrian, version});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BothWriters, WrittenFilesAreSchemaValid, testing::ValuesIn(allCases()), caseName);

// The check that guards every published file follows it from disk while it
// is written, and finds the first complaint of each schema with its line,
// also one that comes after the first megabyte.
TEST(ShippedSchemas, NameTheFirstComplaintAndItsLine) {
    TempFolder folder;
    const QByteArray start = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Document xmlns=\"";
    const char* uwNs = "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09";
    const char* lsNs = "urn:iso:std:iso:20022:tech:xsd:pain.008.001.08";
    const SepaSchemas uw{{"pain.001.001.09.xsd", nullptr}, uwNs, nullptr};
    const SepaSchemas ls{{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_5.xsd"}, lsNs, nullptr};
    const SepaSchemas uwAustria{{"pain.001.001.09.xsd", "pain.001.001.09.at.005.xsd"}, uwNs, nullptr};
    const SepaSchemas lsAustria{{"pain.008.001.08.xsd", "pain.008.001.08.at.004.xsd"}, lsNs, nullptr};
    // German files with the company's address, which Austrian banks refuse:
    // they pass ISO's schema, so the Austrian one is named.
    const QByteArray germanUw = TempFolder::read(BRV_TEST_DATA_DIR "/UW_2019_standard.xml");
    const QByteArray germanLs = TempFolder::read(BRV_TEST_DATA_DIR "/LS_2019_standard.xml");
    const struct {
        const char* name;
        QByteArray xml;
        SepaSchemas schemas;
        const char* complaint;
    } rows[] = {
        {"WrongRoot", start + uwNs + "\">\r\n <Nichts/>\r\n</Document>\r\n", uw,
         "Schema pain.001.001.09.xsd der Bank und wurde nicht erstellt. Zeile 3: Element "
         "'{urn:iso:std:iso:20022:tech:xsd:pain.001.001.09}Nichts'"},
        {"CompanyAddressInAustria", germanLs, lsAustria,
         "Schema pain.008.001.08.at.004.xsd der Bank und wurde nicht erstellt. Zeile 31: Element "
         "'{urn:iso:std:iso:20022:tech:xsd:pain.008.001.08}PstlAdr'"},
        {"GermanCreditTransferInAustria", germanUw, uwAustria,
         "Schema pain.001.001.09.at.005.xsd der Bank und wurde nicht erstellt. Zeile 29: Element "
         "'{urn:iso:std:iso:20022:tech:xsd:pain.001.001.09}PstlAdr'"},
        {"NotWellFormed", start + lsNs + "\">\r\n</Dokument>\r\n", ls, "Zeile 3:"},
        {"OtherNamespace", start + "urn:anderes\">\r\n</Document>\r\n", ls, "Zeile 2:"},
        {"FailsLate",
         start + lsNs + "\">\r\n" + QByteArray(" \r\n").repeated(500000) + " <Nichts/>\r\n</Document>\r\n",
         ls, "Zeile 500003: Element '{urn:iso:std:iso:20022:tech:xsd:pain.008.001.08}Nichts'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = folder.file("LS_x.xml");
        QFile file(folder.file(".LS_x.xml.part"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        PendingSchemaCheck check(file.fileName(), name, row.schemas);
        const qsizetype half = row.xml.size() / 2;
        ASSERT_EQ(file.write(row.xml.left(half)), half);
        ASSERT_TRUE(file.flush());
        check.written(half);
        ASSERT_EQ(file.write(row.xml.mid(half)), row.xml.size() - half);
        file.close();
        check.complete();
        QString complaint;
        EXPECT_FALSE(check.passes(&complaint));
        EXPECT_TRUE(complaint.startsWith("Die Datei " + name)) << complaint.toStdString();
        EXPECT_TRUE(complaint.contains(QLatin1String(row.complaint))) << complaint.toStdString();
    }
}

} // namespace
