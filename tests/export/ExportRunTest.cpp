#include "ExportRunFixture.h"
#include "SchemaCheck.h"
#include "ScopedTimeZone.h"
#include "hostdb/HostValues.h"

#include <QDir>
#include <QFileInfo>

// The export run from the selected names to the files in the export folder:
// which invoices a node exports into which file, in which order, with or
// without CSV file, for awkward names and for large selections.
namespace {

struct KindCase {
    const char* name;
    const char* key;
    const char* schema;
    int transferKind;
    const char* exported; // invoice names, by blanks
    const char* headers;  // name, amount paid, lock and document type of every header afterwards, by "|"
};

const KindCase kKinds[] = {
    {"InvoicesByDirectDebit", "R0", "pain.008.001.02.xsd", 0, "X'1 X-3",
     "PA-1 - - A1|X'1 98.0 1 R|X-2 - - R|X-3 30.25 1 R|X-4 - - R|X-5 - - R"},
    {"SettlementsByCreditTransfer", "A3", "pain.001.001.03.xsd", 3, "X'1 X-2",
     "PA-1 - - A1|X'1 98.0 1 A3|X-2 1234.56 1 A3|X-3 - - A3|X-4 - - A3|X-5 - - A3"},
};

class NodeKind : public ExportRunTest, public ::testing::WithParamInterface<KindCase> {};

// A quote in the names is data, never statement text. The marks carry the
// day of the run, the headers the amount paid, the time of the run and the
// lock; unselected and unexported invoices keep their headers as they were.
// An invoice another workstation marked after the selection is skipped and
// told; a mark of the other kind does not count. The same names once more
// are exported by now, so nothing happens.
TEST_P(NodeKind, ChoosesFileFilterAndTransferMark) {
    const KindCase& c = GetParam();
    const QStringList exported = QString::fromLatin1(c.exported).split(' ');
    settings.strVer_Type = QString::fromLatin1(c.key);
    host.exec("UPDATE PERSONAL SET NAME = 'O''Brien' WHERE ID_PERSONAL = 100");
    host.addCustomer(102, "Keinkunde");
    host.exec("UPDATE PERSONAL SET KUNDE = 0 WHERE ID_PERSONAL = 102");
    host.addCustomer(103, "Ohneabrechnung");
    host.exec("UPDATE PERSONAL_FREE SET ABRECH3 = 0 WHERE ID_PERSONAL = 103");
    addInvoice("X'1", c.key, 100, 98.0);
    addInvoice("X-2", c.key, 102, 1234.56);
    addInvoice("X-3", c.key, 103, 30.25);
    addInvoice("PA-1", "A1", 100, 40.0); // another node's settlement
    addInvoice("X-4", c.key, 100, 5.0);  // not selected
    addInvoice("X-5", c.key, 100, 7.0);
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, 'X-5', ?, '2000-01-01 00:00:00'), "
              "(7, 'X''1', ?, '2000-01-01 00:00:00')",
              {c.transferKind, 3 - c.transferKind});

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const ExportOutcome outcome = run({"X'1", "X-2", "X-3", "PA-1", "X-5"});
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(outcome.skipped, 1);
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.allText().toStdString();
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(prompter.progressValue, 0);
    EXPECT_FALSE(prompter.busy);
    const QByteArray xml = onlyFile({c.key[0] == 'R' ? "LS_*.xml" : "UW_*.xml"});
    EXPECT_EQ(schemaErrors(withStandardNamespace(xml), c.schema), QString());
    EXPECT_EQ(elements(xml, "Ustrd"), exported);
    QStringList marks;
    for (const QString& name : exported)
        marks << name + " 7 " + QString::number(c.transferKind) +
                     settings.now.toString(" yyyy-MM-dd 00:00:00");
    EXPECT_EQ(column("SELECT SUBTEXT || ' ' || ID || ' ' || SUBNUM || ' ' || Date1 FROM COMM WHERE Date1 > "
                     "'2000-01-01 00:00:00' ORDER BY SUBTEXT"),
              marks);
    EXPECT_EQ(
        column("SELECT R_NAME || ' ' || IFNULL(ZAHL_BETRAG, '-') || ' ' || IFNULL(GESPERRT, '-') || ' ' || "
               "VER_TYPE FROM HEADERRECH ORDER BY R_NAME"),
        QString::fromLatin1(c.headers).split(QLatin1Char('|')));
    const QStringList paidAt = column("SELECT ZAHLDATUM FROM HEADERRECH WHERE ZAHLDATUM IS NOT NULL");
    EXPECT_EQ(paidAt.size(), exported.size());
    for (const QString& at : paidAt)
        EXPECT_TRUE(HostValues::dateTime(at) >= before && HostValues::dateTime(at) <= after)
            << at.toStdString();
    const QStringList open = openInvoices(c.key);
    EXPECT_TRUE(open.contains("X-4"));
    for (const QString& name : exported)
        EXPECT_FALSE(open.contains(name)) << name.toStdString();

    const QStringList filesBefore = files.exportEntries();
    prompter.messages.clear();
    EXPECT_FALSE(run({"X'1", "X-2", "X-3", "PA-1", "X-5"}).published);
    EXPECT_EQ(prompter.allText(),
              "3 der ausgewählten Rechnungen wurden inzwischen schon übergeleitet und werden "
              "nicht noch einmal exportiert.\nKeine Belegadesse für die SEPA Überweisung "
              "vorhanden!");
    EXPECT_EQ(files.exportEntries(), filesBefore);
    EXPECT_EQ(markCount(), marks.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(Keys, NodeKind, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindCase>& info) { return info.param.name; });

struct SortCase {
    const char* name;
    bool byCustomer;
    bool dueDateColumn;
    QStringList order;
};

const SortCase kSorts[] = {
    {"ByInvoiceName", false, false, {"GU-0", "GU-1", "GU-2", "GU-3"}},
    {"ByCustomer", true, false, {"GU-0", "GU-3", "GU-2", "GU-1"}},
    {"ByDueDateColumnThenInvoiceName", false, true, {"GU-1", "GU-2", "GU-3", "GU-0"}},
    {"ByDueDateColumnThenCustomer", true, true, {"GU-3", "GU-2", "GU-1", "GU-0"}},
};

class SortOrder : public ExportRunTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(SortOrder, IsTheOrderOfTheWrittenFile) {
    const SortCase& c = GetParam();
    settings.sortByCustomer = c.byCustomer;
    if (c.dueDateColumn)
        settings.firma.DatumFaelligkeit = "FAELLIGKEITSDATUM";
    host.addCustomer(102, "Adam");
    host.exec("UPDATE PERSONAL SET NAME = CASE ID_PERSONAL WHEN 100 THEN 'Zander' ELSE 'Adam' END, VORNAME = "
              "CASE ID_PERSONAL WHEN 102 THEN 'Anna' ELSE VORNAME END");
    addInvoice("GU-1", "A3", 100, 10.0, "2026-03-02");
    addInvoice("GU-3", "A3", 102, 30.0, "2026-03-02");
    addInvoice("GU-0", "A3", 100, 5.0, "2026-03-01");
    addInvoice("GU-2", "A3", 101, 20.0, "2026-03-02");
    host.exec(
        "UPDATE HEADERRECH SET FAELLIGKEITSDATUM = CASE R_NAME WHEN 'GU-0' THEN '2026-03-20 00:00:00' ELSE "
        "'2026-03-10 00:00:00' END");

    ASSERT_TRUE(run({"GU-0", "GU-1", "GU-2", "GU-3"}).posted) << prompter.allText().toStdString();
    const QByteArray xml = paymentFile();
    EXPECT_EQ(elements(xml, "Ustrd"), c.order);
    EXPECT_EQ(elements(xml, "ReqdExctnDt"), c.dueDateColumn ? QStringList({"2026-03-10", "2026-03-20"})
                                                            : QStringList({"2026-03-01", "2026-03-02"}));
    EXPECT_EQ(schemaErrors(xml, "pain.001.001.03.xsd"), QString());
}

INSTANTIATE_TEST_SUITE_P(Buttons, SortOrder, ::testing::ValuesIn(kSorts),
                         [](const ::testing::TestParamInfo<SortCase>& info) { return info.param.name; });

struct CsvCase {
    const char* name;
    const char* setting;
    bool written;
    bool folderWithoutSeparator; // the export folder's value lacks its closing separator
};

const CsvCase kCsvSettings[] = {
    {"OneFolderWithoutSeparator", "1", true, true},
    {"OneWithBlanks", " 1 ", true, false},
    {"Empty", "", false, true},
    {"NotANumber", "abc", false, false},
    {"Two", "2", false, false},
};

class CsvSetting : public ExportRunTest, public ::testing::WithParamInterface<CsvCase> {};

TEST_P(CsvSetting, DecidesOnTheBankCsvFileInTheExportFolder) {
    settings.strCSV = QString::fromLatin1(GetParam().setting);
    if (GetParam().folderWithoutSeparator)
        settings.strExportPfad.chop(1);
    addInvoice("GU-1", "A3", 100, 10.0);
    const ExportOutcome outcome = run({"GU-1"});
    ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(files.exportEntries().size(), GetParam().written ? 2 : 1)
        << files.exportEntries().join(' ').toStdString();
    if (GetParam().written) {
        EXPECT_EQ(QFileInfo(outcome.csvFile).absolutePath() + "/", files.exportFolder());
    }
}

INSTANTIATE_TEST_SUITE_P(Values, CsvSetting, ::testing::ValuesIn(kCsvSettings),
                         [](const ::testing::TestParamInfo<CsvCase>& info) { return info.param.name; });

// More names than SQL Server takes as parameters of one statement.
TEST_F(ExportRunTest, LargeSelectionIsExportedAndPostedWhole) {
    constexpr int kCount = 2500;
    host.exec("WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < ?) "
              "INSERT INTO RECHNUNGSJOURNAL (R_NAME, VER_TYPE, INVDATE, KUNDE, NETTOPREIS) "
              "SELECT printf('GU-%05d', i), 'A3', '2026-03-05 00:00:00', 100 + i % 2, 10 + i FROM seq",
              {kCount});
    host.exec("INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, INVDATE, KOPF1, KOPF2) "
              "SELECT R_NAME, VER_TYPE, KUNDE, INVDATE, 0, 0 FROM RECHNUNGSJOURNAL");
    QStringList names;
    for (int i = 1; i <= kCount; ++i)
        names << QStringLiteral("GU-%1").arg(i, 5, 10, QLatin1Char('0'));

    ASSERT_TRUE(run(names).posted) << prompter.allText().toStdString();
    const QByteArray xml = paymentFile();
    EXPECT_EQ(elements(xml, "NbOfTxs").value(0), "2500");
    EXPECT_EQ(elements(xml, "CtrlSum").value(0), "3151250"); // 2500 × 10 + 1 + … + 2500
    EXPECT_EQ(elements(xml, "Ustrd"), names);
    EXPECT_EQ(schemaErrors(xml, "pain.001.001.03.xsd"), QString());
    EXPECT_EQ(marked(3).size(), kCount);
    EXPECT_EQ(lockedHeaders().size(), kCount);
    EXPECT_EQ(openInvoices(), QStringList());
}

// The options reach the file and the outcome as the file's kind and country
// take them: the verification of payee only in an Austrian credit transfer.
TEST_F(ExportRunTest, OutcomeTellsTheOptionsTheFileCarries) {
    settings.strSEPAVersion = "2019";
    settings.strEchtzeit = "1";
    settings.strEmpfaengerpruefung = "VOPOPTIN";
    const struct {
        const char* key;
        const char* iban;
        bool instant;
        const char* verification;
    } rows[] = {
        {"A3", "AT61 1904 3002 3457 3201", true, "VoPOptIn"},
        {"A3", "DE26 7016 0000 0000 5555 55", true, ""},
        {"R0", "AT61 1904 3002 3457 3201", false, ""},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.iban);
        const QString name = QStringLiteral("O-%1").arg(++n);
        addInvoice(name, row.key, 100, 12.5);
        settings.strVer_Type = row.key;
        settings.firma.Kontonummer = row.iban;
        settings.now = settings.now.addSecs(1);
        const ExportOutcome outcome = run({name});
        ASSERT_TRUE(outcome.posted) << prompter.allText().toStdString();
        EXPECT_EQ(outcome.options.instant, row.instant);
        EXPECT_EQ(outcome.options.verificationOfPayee, QLatin1String(row.verification));
        const QByteArray xml = TempFolder::read(outcome.paymentFile);
        EXPECT_EQ(elements(xml, "InstrForDbtrAgt"),
                  *row.verification ? QStringList{row.verification} : QStringList());
    }
}

// Two runs at 02:30 on the night the clocks go back, one in each pass of the
// hour: each file carries its own offset, and the second takes the next free
// second of the local time, as the first has its name.
TEST_F(ExportRunTest, TheRepeatedHourKeepsTheFilesApart) {
    const ScopedTimeZone berlin("Europe/Berlin");
    settings.strSEPAVersion = "2019";
    addInvoice("S-1", "A3", 100, 12.5);
    addInvoice("W-1", "A3", 101, 7.5);
    settings.now = QDateTime::fromSecsSinceEpoch(1792888200).toLocalTime(); // 02:30 summer time
    const ExportOutcome summer = run({"S-1"});
    settings.now = settings.now.addSecs(3600); // 02:30 winter time
    const ExportOutcome winter = run({"W-1"});
    ASSERT_TRUE(summer.posted && winter.posted) << prompter.allText().toStdString();
    EXPECT_EQ(QFileInfo(summer.paymentFile).fileName(), "UW_Abrechnung_25102026T023000.xml");
    EXPECT_EQ(QFileInfo(winter.paymentFile).fileName(), "UW_Abrechnung_25102026T023001.xml");
    EXPECT_EQ(elements(TempFolder::read(summer.paymentFile), "CreDtTm"),
              QStringList{"2026-10-25T02:30:00+02:00"});
    EXPECT_EQ(elements(TempFolder::read(winter.paymentFile), "CreDtTm"),
              QStringList{"2026-10-25T02:30:01+01:00"});
}

// A report that cannot be written once the posting is committed leaves the
// posting and the payment file as they are; one critical message names the
// report, its folder and the reason, and the outcome counts it.
TEST_F(ExportRunTest, AReportMissingAfterThePostingIsNamedAndThePostingStands) {
    addInvoice("GU-1", "A3", 100, 10.0);
    const QString pdf = files.exportFolder() + "UW_x_Beitrag.pdf";
    prompter.unwritable.insert("Beitrag", {"der Bericht „Beitrag“", pdf, "Kein Speicherplatz auf dem Gerät"});
    const ExportOutcome outcome = run({"GU-1"});

    ASSERT_TRUE(outcome.published && outcome.posted) << prompter.allText().toStdString();
    EXPECT_EQ(marked(3), QStringList{"GU-1"});
    ASSERT_EQ(outcome.missing.size(), 1);
    ASSERT_FALSE(prompter.messages.isEmpty());
    const RecordingPrompter::Message& last = prompter.messages.last();
    EXPECT_EQ(last.icon, Prompter::Icon::Critical);
    EXPECT_EQ(last.text,
              "Die Zahlungsdatei " + outcome.paymentFile +
                  " ist geschrieben und die Rechnungen sind als übergeleitet gebucht; das bleibt so. "
                  "Es fehlt aber:\r- der Bericht „Beitrag“ UW_x_Beitrag.pdf im Ordner " +
                  QDir::toNativeSeparators(QFileInfo(pdf).absolutePath()) +
                  ": Kein Speicherplatz auf dem Gerät");
}

} // namespace
