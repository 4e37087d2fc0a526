#include "export/Posting.h"
#include "ExportRunFixture.h"
#include "PdfText.h"
#include "SchemaCheck.h"
#include "export/RunRecovery.h"
#include "hostdb/HostValues.h"

// What a run leaves in the host database: marks and headers of the exported
// invoices only, all or nothing, never twice, and never without a file.
namespace {

// The CSV file, the payment file, both reports and the posting hold the same
// bookings: the ones the payment file could not carry stay open everywhere.
TEST_F(ExportRunTest, InvalidBookingsStayOutOfCsvFileReportsAndPosting) {
    settings.strCSV = "1";
    host.addCustomer(102, "Strich", "DE89-3704-0044-0532-0130-00");
    host.addCustomer(103, "Inland", QString());
    host.exec("UPDATE PERSONAL SET BLZ = '37040044', KONTO = '532013000' WHERE ID_PERSONAL = 103");
    addInvoice("GU-1", "A3", 100, 0.0);
    addInvoice("GU-2", "A3", 100, -5.0);
    addInvoice("GU-3", "A3", 102, 7.0);
    addInvoice("GU-4", "A3", 101, 20.0);
    addInvoice("GU-5", "A3", 103, 30.0);
    addInvoice("GU-6", "A3", 101, 1e17); // must not wrap round
    const QStringList openBefore = openInvoices();

    const ExportOutcome outcome = run({"GU-1", "GU-2", "GU-3", "GU-4", "GU-5", "GU-6"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(outcome.count, 1);
    EXPECT_EQ(outcome.controlSumCents, 2000);
    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(xml, "pain.001.001.03.xsd"), QString());
    EXPECT_EQ(elements(xml, "Ustrd") + elements(xml, "NbOfTxs") + elements(xml, "CtrlSum"),
              QStringList({"GU-4", "1", "20"}));
    const auto csv = csvRows();
    EXPECT_TRUE(csv.size() == 1 && csv[0].value("Rechnung") == "GU-4");
    EXPECT_EQ(marked(3), QStringList({"GU-4"}));
    EXPECT_EQ(lockedHeaders(), QStringList({"GU-4"}));
    QStringList stillOpen = openBefore;
    stillOpen.removeAll("GU-4");
    EXPECT_EQ(openInvoices(), stillOpen);

    ASSERT_EQ(prompter.reports.size(), 2); // Begleitzettel, Beitrag
    TempFolder pdf;
    const QString beitrag = PdfText::reportPages(prompter.reports[1].second, pdf.file("b.pdf")).join('\f');
    EXPECT_TRUE(beitrag.contains("GU-4") && !beitrag.contains("GU-1") && !beitrag.contains("GU-2") &&
                !beitrag.contains("GU-3"))
        << beitrag.toStdString();
    EXPECT_TRUE(
        PdfText::reportPages(prompter.reports[0].second, pdf.file("z.pdf")).join(' ').contains("20,00"));

    // The writer tests hold the log's wording; here every booking the run
    // left out is named, and the summary counts them all.
    const QString log = files.logLines().join('\n');
    for (const char* part : {"GU-3 wurde nicht", "GU-5 wurde nicht", "zu groß. 10.000.000.000.000.000,00",
                             "5 Fehler von gesamt 6 Buchungen", "5 Buchungen wurden nicht"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(part))) << part << "\n" << log.toStdString();
    EXPECT_EQ(prompter.openedFiles, QStringList({files.logPath()}));
}

TEST_F(ExportRunTest, DirectDebitWithoutUsableMandateStaysOpen) {
    settings.strVer_Type = "R0";
    host.addCustomer(102, "Leer");
    host.exec("UPDATE PERSONAL SET MANDATSNUMMER = ? WHERE ID_PERSONAL = 100", {QString(36, 'M')});
    host.exec("UPDATE PERSONAL SET MANDATSNUMMER = '' WHERE ID_PERSONAL = 102");
    addInvoice("RE-1", settings.strVer_Type, 100, 10.0);
    addInvoice("RE-2", settings.strVer_Type, 101, 20.0);
    addInvoice("RE-3", settings.strVer_Type, 102, 30.0);

    ASSERT_TRUE(run({"RE-1", "RE-2", "RE-3"}).posted) << prompter.allText().toStdString();
    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(xml, "pain.008.001.02.xsd"), QString());
    EXPECT_EQ(marked(0), QStringList({"RE-2"}));
    EXPECT_EQ(openInvoices("R0"), QStringList({"RE-1", "RE-3"}));
}

// The claim at posting time: an invoice someone else has by now rolls the
// whole posting back and is counted; names are values whatever they hold. A
// read of the headers that breaks off is a failure, not a lost claim.
struct ClaimCase {
    const char* name;
    const char* bookings; // invoice names in booking order, by blanks
    const char* before;   // applied to the host first, one statement a line
    int claimedElsewhere; // 0: posted, -1: failed
};

const ClaimCase kClaims[] = {
    {"QuotesAndBackslashes", "GU-4 GU-\"3\\ GU-1", "", 0},
    {"PaidMeanwhile", "GU-1 GU-2 GU-4",
     "UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 10:00:00', GESPERRT = 1, ZAHL_BETRAG = 1 WHERE R_NAME = "
     "'GU-2'",
     1},
    {"MarkedMeanwhileAndNoHeader", "GU-1 GU-2 GU-9",
     "INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, 'GU-1', 3)", 2},
    {"TwiceInTheList", "GU-1 GU-2 GU-1", "", 1},
    // GU-2's header cannot be read until it has a mark: the marks and headers
    // would be written, and the read alone comes short.
    {"HeaderReadBreaksOff", "GU-1 GU-2 GU-4",
     "ALTER TABLE HEADERRECH RENAME TO HR\nCREATE VIEW HEADERRECH AS SELECT R_NAME, VER_TYPE, ZAHL_BETRAG, "
     "GESPERRT, nullif(abs(-9223372036854775808 * (R_NAME = 'GU-2' AND NOT EXISTS (SELECT 1 FROM COMM WHERE "
     "SUBTEXT = R_NAME))), 0) AS ZAHLDATUM FROM HR\n"
     "CREATE TRIGGER u INSTEAD OF UPDATE ON HEADERRECH BEGIN SELECT 1; END",
     -1},
};

class Claim : public ExportRunTest, public ::testing::WithParamInterface<ClaimCase> {};

TEST_P(Claim, LosesAllWhenAnyInvoiceIsTakenAndCountsThem) {
    const ClaimCase& c = GetParam();
    for (const char* name : {"GU-1", "GU-2", "GU-\"3\\", "GU-4"})
        addInvoice(QString::fromLatin1(name), "A3", 100, 10.0);
    for (const QString& sql : QString::fromLatin1(c.before).split('\n', Qt::SkipEmptyParts))
        host.exec(sql);
    const int marksBefore = markCount();
    QStringList names = QString::fromLatin1(c.bookings).split(' ');
    BookingList bookings;
    for (const QString& name : names) {
        bookings.last().Rechnung = name;
        bookings.last().Betrag = 123456789012;
        bookings.append();
    }
    Posting::Claim claim;
    int elsewhere = -1;
    QString error;
    const Posting::Result result =
        Posting::post(host.db(), bookings, "A3", settings.now.date(), &claim, &elsewhere, &error,
                      [](const Posting::Claim&, QString*) { return true; });
    EXPECT_EQ(error.section(':', 0, 0), c.claimedElsewhere < 0 ? "Lesen der Rechnungsköpfe abgebrochen" : "");
    if (c.claimedElsewhere == 0) {
        ASSERT_EQ(result, Posting::Result::Posted);
        names.sort();
        EXPECT_EQ(marked(3), names);
        EXPECT_EQ(lockedHeaders(), names);
        EXPECT_EQ(column("SELECT DISTINCT ZAHL_BETRAG FROM HEADERRECH WHERE GESPERRT = 1"),
                  QStringList({"1234567890.12"}));
        return;
    }
    EXPECT_EQ(result, c.claimedElsewhere < 0 ? Posting::Result::Failed : Posting::Result::ClaimedElsewhere);
    EXPECT_EQ(elsewhere, c.claimedElsewhere);
    EXPECT_EQ(markCount(), marksBefore);
    EXPECT_EQ(column("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 OR ZAHL_BETRAG IS NOT NULL"),
              *c.before == 'U' ? QStringList{"GU-2"} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Posting, Claim, ::testing::ValuesIn(kClaims),
                         [](const ::testing::TestParamInfo<ClaimCase>& info) { return info.param.name; });

// A run killed between its commit and its publishing (or before its commit)
// leaves its payment file staged and its record; the next start completes
// (or discards) it.
class KilledRun : public ExportRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KilledRun, IsCompletedWhenItsPostingStandsAndDiscardedWhenNot) {
    const bool committed = GetParam();
    addInvoice("GU-1", "A3", 100, 10.0);
    const ExportOutcome outcome = run({"GU-1"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    const QFileInfo payment(outcome.paymentFile);
    const QString staged = payment.absolutePath() + "/." + payment.fileName() + ".part";
    ASSERT_TRUE(QFile::rename(outcome.paymentFile, staged));
    const QString paidAt =
        HostValues::dateTime(host.scalar("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = 'GU-1'"))
            .toString(Qt::ISODate);
    TempFolder::write(
        files.exportFolder() + ".brv32-lauf-" + settings.now.toString("yyyy_MM_dd_HH_mm_ss") + ".json",
        QStringLiteral("{\"published\":false,\"paymentFile\":\"%1\",\"kind\":3,\"documentType\":"
                       "\"A3\",\"paidAt\":\"%2\",\"invoices\":[{\"name\":\"GU-1\",\"ZAHL_BETRAG\":"
                       "null,\"GESPERRT\":null}]}")
            .arg(payment.fileName(), paidAt)
            .toUtf8());
    if (!committed) {
        host.exec("DELETE FROM COMM");
        host.exec("UPDATE HEADERRECH SET ZAHLDATUM = NULL, GESPERRT = NULL");
    }
    prompter.messages.clear();

    recoverInterruptedRuns(host.db(), settings.strExportPfad, prompter);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              committed ? "Eine unterbrochene Überleitung wurde abgeschlossen: " + outcome.paymentFile
                        : QStringLiteral(
                              "Eine unterbrochene Überleitung wurde verworfen; ihre Rechnungen sind weiter "
                              "offen."));
    EXPECT_EQ(files.exportEntries(), committed ? QStringList{payment.fileName()} : QStringList());
    EXPECT_EQ(openInvoices(), committed ? QStringList() : QStringList{"GU-1"});
}

INSTANTIATE_TEST_SUITE_P(Posting, KilledRun, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Committed" : "NotCommitted";
                         });

} // namespace
