#include "export/Posting.h"
#include "ExportRunFixture.h"
#include "GuiApplication.h"
#include "PdfText.h"
#include "SchemaCheck.h"
#include "export/RunRecovery.h"
#include "hostdb/HostValues.h"

// What a run leaves in the host database: marks and headers of the exported
// invoices only, all or nothing, never twice, and never without a file.
namespace {

QString reportText(const RecordingPrompter& prompter, const QString& name) {
    ensureGuiApplication();
    for (const auto& [reportName, paint] : prompter.reports) {
        if (reportName == name) {
            TempFolder folder;
            return PdfText::reportPages(paint, folder.file(QStringLiteral("report.pdf")))
                .join(QLatin1Char('\f'));
        }
    }
    ADD_FAILURE() << "no report " << name.toStdString();
    return {};
}

TEST_F(ExportRunTest, InvoiceExportedElsewhereAfterSelectionIsSkipped) {
    for (const char* name : {"GU-1", "GU-2", "GU-3"})
        addInvoice(QString::fromLatin1(name), QStringLiteral("A3"), 100, 10.0);
    host.exec(QStringLiteral(
        "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, 'GU-2', 3, '2026-03-20 00:00:00')"));
    host.exec(QStringLiteral(
        "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, 'GU-3', 0, '2026-03-20 00:00:00')"));

    const ExportOutcome outcome = run({"GU-1", "GU-2", "GU-3"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(outcome.skipped, 1);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              "1 der ausgewählten Rechnungen wurden inzwischen schon übergeleitet und "
              "werden nicht noch einmal exportiert.");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(elements(paymentFile(), QStringLiteral("Ustrd")), QStringList({"GU-1", "GU-3"}));
    EXPECT_EQ(marked(3), QStringList({"GU-1", "GU-2", "GU-3"}));
    EXPECT_EQ(markCount(), 4);
    EXPECT_EQ(lockedHeaders(), QStringList({"GU-1", "GU-3"}));
}

// The CSV file, the payment file, both reports and the posting hold the same
// bookings: the ones the payment file could not carry stay open everywhere.
TEST_F(ExportRunTest, InvalidBookingsStayOutOfCsvFileReportsAndPosting) {
    settings.strCSV = QStringLiteral("1");
    host.addCustomer(102, QStringLiteral("Strich"), QStringLiteral("DE89-3704-0044-0532-0130-00"));
    host.addCustomer(103, QStringLiteral("Inland"), QString());
    host.exec(
        QStringLiteral("UPDATE PERSONAL SET BLZ = '37040044', KONTO = '532013000' WHERE ID_PERSONAL = 103"));
    addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 0.0);
    addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), 100, -5.0);
    addInvoice(QStringLiteral("GU-3"), QStringLiteral("A3"), 102, 7.0);
    addInvoice(QStringLiteral("GU-4"), QStringLiteral("A3"), 101, 20.0);
    addInvoice(QStringLiteral("GU-5"), QStringLiteral("A3"), 103, 30.0);
    addInvoice(QStringLiteral("GU-6"), QStringLiteral("A3"), 101, 1e17); // must not wrap round
    const QStringList openBefore = openInvoices();

    const ExportOutcome outcome = run({"GU-1", "GU-2", "GU-3", "GU-4", "GU-5", "GU-6"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(outcome.count, 1);
    EXPECT_EQ(outcome.controlSumCents, 2000);
    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(xml, QStringLiteral("pain.001.001.03.xsd")), QString());
    EXPECT_EQ(elements(xml, QStringLiteral("Ustrd")), QStringList({"GU-4"}));
    EXPECT_EQ(elements(xml, QStringLiteral("NbOfTxs")), QStringList({"1"}));
    EXPECT_EQ(elements(xml, QStringLiteral("CtrlSum")), QStringList({"20"}));
    const auto csv = csvRows();
    ASSERT_EQ(csv.size(), 1);
    EXPECT_EQ(csv[0].value("Rechnung"), "GU-4");
    EXPECT_EQ(marked(3), QStringList({"GU-4"}));
    EXPECT_EQ(lockedHeaders(), QStringList({"GU-4"}));
    QStringList stillOpen = openBefore;
    stillOpen.removeAll(QStringLiteral("GU-4"));
    EXPECT_EQ(openInvoices(), stillOpen);

    const QString beitrag = reportText(prompter, QStringLiteral("Beitrag"));
    EXPECT_TRUE(beitrag.contains(QLatin1String("GU-4"))) << beitrag.toStdString();
    for (const char* left : {"GU-1", "GU-2", "GU-3"})
        EXPECT_FALSE(beitrag.contains(QLatin1String(left))) << left;
    EXPECT_TRUE(reportText(prompter, QStringLiteral("Begleitzettel")).contains(QLatin1String("20,00")));

    // The order of the lines per booking is the writer tests'; here: every
    // booking the run left out is named, and the summary counts them all.
    QStringList log = files.logLines();
    for (QString& line : log)
        line = line.section(QLatin1Char(';'), 1);
    for (const char* line : {"Die Rechnung GU-3 wurde nicht in die Datei übernommen und bleibt offen.",
                             "Die Rechnung GU-5 wurde nicht in die Datei übernommen und bleibt offen.",
                             "1101 Schaefer Hans Betrag ist zu groß. 10.000.000.000.000.000,00",
                             "Es sind 5 Fehler von gesamt 6 Buchungen aufgetreten. Die Datei enthält 1 "
                             "Buchungen, Kontrollsumme: EUR 20"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line << "\n"
                                                           << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log.value(log.size() - 1), "5 Buchungen wurden nicht in die Datei übernommen.");
    EXPECT_EQ(prompter.openedFiles, QStringList({files.logPath()}));
}

TEST_F(ExportRunTest, DirectDebitWithoutUsableMandateStaysOpen) {
    settings.strVer_Type = QStringLiteral("R0");
    host.addCustomer(102, QStringLiteral("Leer"));
    host.exec(QStringLiteral("UPDATE PERSONAL SET MANDATSNUMMER = ? WHERE ID_PERSONAL = 100"),
              {QString(36, 'M')});
    host.exec(QStringLiteral("UPDATE PERSONAL SET MANDATSNUMMER = '' WHERE ID_PERSONAL = 102"));
    addInvoice(QStringLiteral("RE-1"), settings.strVer_Type, 100, 10.0);
    addInvoice(QStringLiteral("RE-2"), settings.strVer_Type, 101, 20.0);
    addInvoice(QStringLiteral("RE-3"), settings.strVer_Type, 102, 30.0);

    ASSERT_TRUE(run({"RE-1", "RE-2", "RE-3"}).posted) << prompter.allText().toStdString();
    const QByteArray xml = paymentFile();
    EXPECT_EQ(schemaErrors(xml, QStringLiteral("pain.008.001.02.xsd")), QString());
    EXPECT_EQ(elements(xml, QStringLiteral("MndtId")), QStringList({"MR-101"}));
    EXPECT_EQ(marked(0), QStringList({"RE-2"}));
    EXPECT_EQ(openInvoices(QStringLiteral("R0")), QStringList({"RE-1", "RE-3"}));
}

// The claim at posting time: an invoice someone else has by now rolls the
// whole posting back and is counted; names are values whatever they hold.
struct ClaimCase {
    const char* name;
    QStringList bookings; // invoice names in booking order
    const char* before;   // applied to the host first
    int claimedElsewhere; // 0: posted
};

class Claim : public ExportRunTest, public ::testing::WithParamInterface<ClaimCase> {};

TEST_P(Claim, LosesAllWhenAnyInvoiceIsTakenAndCountsThem) {
    const ClaimCase& c = GetParam();
    for (const char* name : {"GU-1", "GU-2", "GU-\"3\\", "GU-4"})
        addInvoice(QString::fromLatin1(name), QStringLiteral("A3"), 100, 10.0);
    if (*c.before)
        host.exec(QString::fromLatin1(c.before));
    const int marksBefore = markCount();
    BookingList bookings;
    for (const QString& name : c.bookings) {
        Buchung b;
        b.Rechnung = name;
        b.Betrag = 123456789012;
        bookings.append(b);
    }
    Posting::Claim claim;
    int elsewhere = -1;
    QString error;
    const Posting::Result result =
        Posting::post(host.db(), bookings, QStringLiteral("A3"), settings.now.date(), &claim, &elsewhere,
                      &error, [](const Posting::Claim&, QString*) { return true; });
    EXPECT_EQ(error, QString());
    if (c.claimedElsewhere == 0) {
        ASSERT_EQ(result, Posting::Result::Posted);
        QStringList names = c.bookings;
        names.sort();
        EXPECT_EQ(marked(3), names);
        EXPECT_EQ(lockedHeaders(), names);
        EXPECT_EQ(column(QStringLiteral("SELECT DISTINCT ZAHL_BETRAG FROM HEADERRECH WHERE GESPERRT = 1")),
                  QStringList({"1234567890.12"}));
        return;
    }
    EXPECT_EQ(result, Posting::Result::ClaimedElsewhere);
    EXPECT_EQ(elsewhere, c.claimedElsewhere);
    EXPECT_EQ(markCount(), marksBefore);
    EXPECT_EQ(column(QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 OR ZAHL_BETRAG IS NOT "
                                    "NULL")),
              QStringList(*c.before == 'U' ? QStringList{"GU-2"} : QStringList{}));
}

INSTANTIATE_TEST_SUITE_P(
    Posting, Claim,
    ::testing::Values(
        ClaimCase{"QuotesAndBackslashes", {"GU-4", "GU-\"3\\", "GU-1"}, "", 0},
        ClaimCase{"PaidMeanwhile",
                  {"GU-1", "GU-2", "GU-4"},
                  "UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 10:00:00', GESPERRT = 1, ZAHL_BETRAG = 1 "
                  "WHERE R_NAME = 'GU-2'",
                  1},
        ClaimCase{"MarkedMeanwhileAndNoHeader",
                  {"GU-1", "GU-2", "GU-9"},
                  "INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, 'GU-1', 3)",
                  2},
        ClaimCase{"TwiceInTheList", {"GU-1", "GU-2", "GU-1"}, "", 1}),
    [](const ::testing::TestParamInfo<ClaimCase>& info) { return info.param.name; });

// A run killed between its commit and its publishing (or before its commit)
// leaves its payment file staged and its record; the next start completes
// (or discards) it.
class KilledRun : public ExportRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KilledRun, IsCompletedWhenItsPostingStandsAndDiscardedWhenNot) {
    const bool committed = GetParam();
    addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0);
    const ExportOutcome outcome = run({"GU-1"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    const QFileInfo payment(outcome.paymentFile);
    const QString staged = payment.absolutePath() + QStringLiteral("/.") + payment.fileName() + ".part";
    ASSERT_TRUE(QFile::rename(outcome.paymentFile, staged));
    const QString paidAt =
        HostValues::dateTime(
            host.scalar(QStringLiteral("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = 'GU-1'")))
            .toString(Qt::ISODate);
    TempFolder::write(
        files.exportFolder() + QStringLiteral(".brv32-lauf-") +
            settings.now.toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss")) + ".json",
        QStringLiteral("{\"published\":false,\"paymentFile\":\"%1\",\"kind\":3,\"documentType\":"
                       "\"A3\",\"paidAt\":\"%2\",\"invoices\":[{\"name\":\"GU-1\",\"ZAHL_BETRAG\":"
                       "null,\"GESPERRT\":null}]}")
            .arg(payment.fileName(), paidAt)
            .toUtf8());
    if (!committed) {
        host.exec(QStringLiteral("DELETE FROM COMM"));
        host.exec(QStringLiteral("UPDATE HEADERRECH SET ZAHLDATUM = NULL, GESPERRT = NULL"));
    }
    prompter.messages.clear();

    recoverInterruptedRuns(host.db(), settings.strExportPfad, prompter);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(
        prompter.messages[0].text,
        committed
            ? QStringLiteral("Eine unterbrochene Überleitung wurde abgeschlossen: ") + outcome.paymentFile
            : QStringLiteral("Eine unterbrochene Überleitung wurde verworfen; ihre Rechnungen sind weiter "
                             "offen."));
    EXPECT_EQ(files.exportEntries(), committed ? QStringList{payment.fileName()} : QStringList());
    EXPECT_EQ(openInvoices(), committed ? QStringList() : QStringList{"GU-1"});
}

INSTANTIATE_TEST_SUITE_P(Posting, KilledRun, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Committed" : "NotCommitted";
                         });

} // namespace
