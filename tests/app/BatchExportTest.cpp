#include "PdfText.h"
#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "TempFolder.h"
#include "WriterFixture.h"
#include "app/IniFile.h"
#include "hostdb/DemoDatabase.h"
#include "hostdb/HostDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QThread>
#include <QTimeZone>

#include <csignal>
#include <cstdio>

#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

// brv32-sepa --export KEY and --check-db as programs of their own on the demo
// database, reached through QSQLITE and through QODBC with unixODBC's SQLite3
// driver.
namespace {

struct ProgramResult {
    int exitCode = -1;
    QStringList out; // lines of standard output
    QString err;
};

class BatchExport : public ::testing::Test {
protected:
    BatchExport() {
        demoWith(12);
        settings.ExportPfad = files.exportFolder();
        settings.firma = SepaSamples::firma();
        settings.firma.Verwendungszweck = "Demo";
        settings.CSV = "1";
        settings.CheckBoxGutschrift = "SEPA_GUTSCHRIFT";
        settings.CheckBoxLastschrift = "SEPA_LASTSCHRIFT";
    }

    QString dbFile() const { return root.file("brevanta-demo.db"); }
    // The connection text of the demo database for a driver.
    QString connection(const QString& driver = "QSQLITE") const {
        return driver == "QODBC" ? "DRIVER={SQLite3};Database=" + dbFile()
                                 : "Provider=SQLite;Data Source=" + dbFile();
    }

    // Starts brv32-sepa with the program folder's settings.
    void launch(QProcess& program, const QStringList& args, const QString& connectionString,
                const QString& programDir = "programm") {
        QDir(root.path()).mkpath(programDir);
        QString error;
        EXPECT_TRUE(settings.save(root.file(programDir + "/BRV32-SEPA-Ueberweisung.ini"), &error))
            << error.toStdString();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (!timeZone.isEmpty())
            env.insert("TZ", timeZone);
        env.remove("XDG_RUNTIME_DIR"); // as under cron: no desktop session
        program.setProcessEnvironment(env);
        program.start(BRV_PROGRAM_PATH,
                      args + QStringList{"--program-dir", root.file(programDir), connectionString});
    }
    static ProgramResult finish(QProcess& program) {
        const bool ended = program.waitForFinished(120000);
        EXPECT_TRUE(ended) << "the program did not end"; // the process object ends it
        return {ended && program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                QString::fromUtf8(program.readAllStandardError())};
    }
    ProgramResult program(const QStringList& args, const QString& connectionString) {
        QProcess process;
        launch(process, args, connectionString);
        return finish(process);
    }
    ProgramResult export_(const QString& options, const QString& driver = "QSQLITE") {
        return program(("--export " + options).split(' '), connection(driver));
    }

    // The demo database with n open invoices per type.
    void demoWith(int n) {
        QFile::remove(dbFile());
        QString error;
        ASSERT_TRUE(DemoDatabase::write(dbFile(), {.invoicesPerType = n}, &error)) << error.toStdString();
    }

    // Every invoice of a published payment file is marked exactly once, and
    // every invoice marked since markedBefore is in exactly one published
    // file. The folders end with their separator. Returns the number of
    // published payment files.
    int expectEachInvoicePaidAndMarkedOnce(const QStringList& folders, const QStringList& markedBefore) {
        QStringList inFiles;
        int files = 0;
        for (const QString& folder : folders) {
            for (const QString& name : QDir(folder).entryList({"UW_*.xml"}, QDir::Files)) {
                ++files;
                for (const QString& part :
                     QString::fromUtf8(TempFolder::read(folder + name)).split("<Ustrd>").mid(1))
                    inFiles << part.section('<', 0, 0);
            }
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(".part"))
                ADD_FAILURE() << "left behind: " << name.toStdString();
        }
        QStringList marked = markedNames(3);
        marked.sort();
        EXPECT_EQ(marked.removeDuplicates(), 0) << "an invoice marked twice";
        for (const QString& name : markedBefore)
            marked.removeOne(name);
        inFiles.sort();
        EXPECT_EQ(inFiles, marked) << "files: " << inFiles.size() << ", marks: " << marked.size();
        return files;
    }

    // Runs a statement on the demo database and gives its first column.
    QStringList query(const QString& sql, const QVariantList& values = {}) {
        QString error;
        std::unique_ptr<HostDb> db = HostDb::open(connection(), &error);
        QSqlQuery q = db ? db->newQuery() : QSqlQuery();
        EXPECT_TRUE(db && db->run(q, sql, values, &error)) << error.toStdString();
        QStringList column;
        while (q.next())
            column << q.value(0).toString();
        return column;
    }
    // Invoice names with a transfer mark of the kind.
    QStringList markedNames(int kind) {
        return query("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ?", {kind});
    }

    TempFolder root;
    WriterFixture files; // the export folder
    OwnSettings settings;
    QString timeZone; // TZ of the program, when set
};

// A node key, and "@2009" for the 2009 files in place of the default; the driver.
class EnabledType : public BatchExport,
                    public ::testing::WithParamInterface<std::tuple<const char*, const char*>> {};

TEST_P(EnabledType, PublishesPaymentFileCsvAndBothReports) {
    const QString param = QString::fromLatin1(std::get<0>(GetParam()));
    const QString key = param.section('@', 0, 0);
    settings.SEPAVersion = param.section('@', 1);
    const bool iso2009 = settings.SEPAVersion == "2009";
    const bool directDebit = key == "R0";
    const int kind = directDebit ? 0 : key.back().digitValue();
    const int marksBefore = markedNames(kind).size();

    const ProgramResult r = export_(key + " --yes", QString::fromLatin1(std::get<1>(GetParam())));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Only the run's own "[title] ..." messages, no word of Qt's before them;
    // the demo's unprintable invoices: the check's two messages come first and in order.
    EXPECT_TRUE((r.err.isEmpty() || r.err.startsWith('[')) && !r.err.contains("QStandardPaths") &&
                (!directDebit ||
                 (r.err.startsWith("[Keine Preise]") && r.err.indexOf("[Keine Kundeninformation]") > 0)))
        << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 4) << r.out.join('\n').toStdString();
    // --yes answers the question before the money moves, as it answers the others.
    static const QRegularExpression asked(
        "\\[SEPA\\] [1-9][0-9.]* (Lastschriften|Überweisungen) über [0-9.]+,[0-9]{2} EUR für [^\n]+ "
        "exportieren und als übergeleitet buchen\\? Ja \\(--yes\\)\n");
    EXPECT_TRUE(r.err.contains(asked)) << r.err.toStdString();
    const QFileInfo payment(r.out[0]);
    const QString base = files.exportFolder() + payment.completeBaseName();
    EXPECT_TRUE(payment.fileName().startsWith(directDebit ? "LS_Demo_" : "UW_Demo_") &&
                QFileInfo(r.out[1]).fileName().startsWith("Bank_"));
    EXPECT_EQ(QStringList({r.out[0], r.out[2], r.out[3]}),
              QStringList({base + ".xml", base + "_Begleitzettel.pdf", base + "_Beitrag.pdf"}));
    QStringList expected;
    for (const QString& path : r.out)
        expected << QFileInfo(path).fileName();
    expected.sort();
    EXPECT_EQ(files.exportEntries(), expected);

    const QByteArray xml = TempFolder::read(r.out[0]);
    EXPECT_EQ(
        bankSchemaErrors(xml, directDebit, iso2009 ? SepaVersion::Iso2009 : SepaVersion::Iso2019, false),
        QString());
    const int count = QString::fromUtf8(xml).section("<NbOfTxs>", 1, 1).section('<', 0, 0).toInt();
    EXPECT_GT(count, 0);
    EXPECT_EQ(markedNames(kind).size() - marksBefore, count);
    EXPECT_TRUE(PdfText::pages(r.out[3]).join('\n').contains("Einzelbuchungen SEPA"));
}

INSTANTIATE_TEST_SUITE_P(
    Demo, EnabledType,
    ::testing::Combine(::testing::Values("R0", "A1", "A2", "A3", "A5", "R0@2009", "A1@2009"),
                       ::testing::Values("QSQLITE", "QODBC")),
    [](const auto& info) {
        return QString::fromLatin1(std::get<0>(info.param)).replace('@', '_').toStdString() + "_" +
               std::get<1>(info.param);
    });

struct CheckCase {
    const char* name;
    const char* driver;         // "" for a database that is not there
    const char* change;         // applied to the demo database first
    const char* flagGutschrift; // CheckBoxGutschrift, null for the demo's
    int exitCode;
    const char* line; // the start of one line of standard output
};

const CheckCase kChecks[] = {
    {"Sqlite", "QSQLITE", "", nullptr, 0, "Alle "},
    // Configured columns are matched whatever their case.
    {"Odbc", "QODBC", "", "sepa_gutschrift", 0, "Alle "},
    {"MissingTable", "QODBC", "DROP TABLE STRINGS", nullptr, 1,
     "FEHLER  Tabelle STRINGS: fehlt in der Datenbank"},
    {"MissingColumn", "QSQLITE", "", "GIBTSNICHT", 1,
     "FEHLER  Spalte aus „CheckBoxGutschrift“: Die Einstellung „CheckBoxGutschrift“ nennt die Spalte "
     "„GIBTSNICHT“, die es in der Tabelle PERSONAL_FREE nicht gibt."},
    {"MissingIndex", "QSQLITE", "DROP INDEX COMM_MARK", nullptr, 1,
     "FEHLER  Index auf COMM (ID, SUBNUM, SUBTEXT): fehlt. Ohne ihn"},
    {"RefusedPosting", "QODBC",
     "CREATE TRIGGER t BEFORE INSERT ON COMM BEGIN SELECT RAISE(ABORT, 'gesperrt'); END", nullptr, 1,
     "FEHLER  InsertCOMM, UpdateHEADERRECH R0 für „~BRV32~“ (zurückgerollt): Überleitungsmarke für ~BRV32~: "
     "QODBC: Unable to execute statement: [SQLite]gesperrt"},
    {"NoDatabase", "", "", nullptr, 2, "FEHLER  Verbindung: Die Datenbank"},
};

class CheckDb : public BatchExport, public ::testing::WithParamInterface<CheckCase> {};

// Whatever it finds, the check leaves the database file as it was.
TEST_P(CheckDb, NamesWhatFailsAndChangesNothing) {
    const CheckCase& c = GetParam();
    if (*c.change)
        query(QString::fromUtf8(c.change));
    settings.firma.DatumFaelligkeit = "FAELLIGKEITSDATUM";
    settings.firma.ExterneBelegnummer = "EXT_BELEGNR";
    if (c.flagGutschrift)
        settings.CheckBoxGutschrift = QString::fromLatin1(c.flagGutschrift);
    const QByteArray before = TempFolder::read(dbFile());
    const QString target = *c.driver ? connection(QString::fromLatin1(c.driver))
                                     : "Provider=SQLite;Data Source=" + root.file("fehlt.db");

    const ProgramResult r = program({"--check-db"}, target);
    const QString out = r.out.join('\n');
    EXPECT_EQ(r.exitCode, c.exitCode) << out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(std::any_of(r.out.begin(), r.out.end(), [&](const QString& line) {
        return line.startsWith(QString::fromUtf8(c.line));
    })) << out.toStdString();
    EXPECT_EQ(TempFolder::read(dbFile()), before);
    EXPECT_EQ(files.exportEntries(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Demo, CheckDb, ::testing::ValuesIn(kChecks),
                         [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

struct Refusal {
    const char* name;
    const char* args;
    int exitCode;
    const char* says; // part of standard error
    const char* sql = "";
    const char* sepaVersion = "";
    const char* creditorId = nullptr;
    const char* echtzeit = "";
    const char* empfaengerpruefung = "";
    const char* sperrzeit = "";
};

const char* const kNoType = "ist keine Belegart, die exportiert werden kann";
// A4 is switched off in the demo's host settings.
const Refusal kRefusals[] = {
    {"SwitchedOffType", "A4", 2, kNoType},
    {"UnknownType", "A9", 2, kNoType},
    {"GroupNode", "A", 2, kNoType},
    {"LowerCaseKey", "r0", 2, kNoType},
    {"UnknownSepaVersion", "R0", 2,
     "Der Wert „2020“ für „SEPAVersion“ in der Datei BRV32-SEPA-Ueberweisung.ini ist ungültig (erlaubt: 2019 "
     "oder "
     "2009).",
     "", "2020"},
    {"BadCreditorIdentifier", "R0", 1, "gültige Gläubiger ID", "", "", "DE97ZZZ09999999999"},
    {"UnknownEchtzeit", "A3", 2,
     "Der Wert „ja“ für „Echtzeit“ in der Datei BRV32-SEPA-Ueberweisung.ini ist ungültig (erlaubt: 0 oder "
     "1).",
     "", "", nullptr, "ja"},
    {"InstantIn2009", "A3", 2, "Echtzeitüberweisungen gibt es nur im Format 2019 (SEPAVersion=2019).", "",
     "2009", nullptr, "1"},
    // Refused for a direct debit too: the settings contradict each other.
    {"InstantIn2009DirectDebit", "R0", 2, "Echtzeitüberweisungen gibt es nur im Format 2019", "", "2009",
     nullptr, "1"},
    {"UnknownEmpfaengerpruefung", "A3", 2,
     "Der Wert „VoP“ für „Empfaengerpruefung“ in der Datei BRV32-SEPA-Ueberweisung.ini ist ungültig "
     "(erlaubt: VoPOptIn oder VoPOptOut).",
     "", "", nullptr, "", "VoP"},
    {"VerificationOfPayeeIn2009", "A3", 2,
     "Die Empfängerprüfung (Empfaengerpruefung=VoPOptIn) gibt es nur im Format 2019 (SEPAVersion=2019).", "",
     "2009", nullptr, "", "vopoptin"},
    {"UnknownSperrzeit", "R0", 2,
     "Der Wert „0“ für „Sperrzeit“ in der Datei BRV32-SEPA-Ueberweisung.ini ist ungültig (erlaubt: eine "
     "ganze "
     "Zahl von 1 bis 600 Sekunden).",
     "", "", nullptr, "", "", "0"},
    // Whatever the command line does not understand is refused.
    {"DateNotIso", "A3 --from 01.12.2026", 2,
     "Ungültiges Datum „01.12.2026“ bei --from (erwartet: JJJJ-MM-TT)."},
    {"UnknownSortOrder", "A3 --sort datum", 2, "--sort erwartet „name“ oder „customer“, nicht „datum“."},
    {"UnknownOption", "A3 --bogus", 2, "Unbekannte Option „--bogus“."},
    {"DueDateRangeWithoutItsSetting", "A3 --due-date", 2, "--due-date geht nur mit der Einstellung"},
    {"NothingToExport", "A3 --from 2000-01-01 --to 2000-01-31", 1, "Keine Daten für die ausgewählten"},
    {"FailedPosting", "A3", 1, "gesperrt",
     "CREATE TRIGGER t BEFORE UPDATE ON HEADERRECH WHEN NEW.VER_TYPE = 'A3' AND NEW.R_NAME LIKE '%000005' "
     "BEGIN "
     "SELECT RAISE(ABORT, 'gesperrt'); END"},
};

class RefusedRun : public BatchExport, public ::testing::WithParamInterface<Refusal> {};

// Refused before anything is written, or undone when the posting fails.
TEST_P(RefusedRun, WritesPrintsAndPostsNothing) {
    const Refusal& c = GetParam();
    if (*c.sql)
        query(QString::fromUtf8(c.sql));
    settings.SEPAVersion = QString::fromLatin1(c.sepaVersion);
    settings.Echtzeit = QString::fromLatin1(c.echtzeit);
    settings.Empfaengerpruefung = QString::fromLatin1(c.empfaengerpruefung);
    if (c.creditorId)
        settings.firma.GlaubigerID = QString::fromLatin1(c.creditorId);
    settings.Sperrzeit = QString::fromLatin1(c.sperrzeit);
    const auto posted = [this] {
        return markedNames(0) + markedNames(3) + query("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1");
    };
    const QStringList postedBefore = posted();

    const ProgramResult r = export_(QString::fromLatin1(c.args) + " --yes");
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(files.exportEntries(), QStringList());
    EXPECT_EQ(posted(), postedBefore);
}

INSTANTIATE_TEST_SUITE_P(Demo, RefusedRun, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// An Austrian company pays by instant transfer with the verification of
// payee, a German one without it, and both collect as before; CreDtTm
// carries the offset of the program's time zone at the run's moment.
TEST_F(BatchExport, WritesTheOptionsTheBanksTakeInTheMachinesTimeZone) {
    const struct {
        const char* key;
        const char* iban;
        const char* zone;
        bool inst;
        const char* instruction;
    } rows[] = {
        {"A3", "AT61 1904 3002 3457 3201", "UTC", true, "VoPOptOut"},
        {"A3", "DE26 7016 0000 0000 5555 55", "Europe/Berlin", true, nullptr},
        {"R0", "AT61 1904 3002 3457 3201", "Europe/Vienna", false, nullptr},
    };
    settings.Echtzeit = "1";
    settings.Empfaengerpruefung = "vopoptout";
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.zone);
        demoWith(3);
        settings.firma.Kontonummer = row.iban;
        timeZone = row.zone;
        const ProgramResult r = export_(QString::fromLatin1(row.key) + " --yes");
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QByteArray xml = TempFolder::read(r.out.value(0));
        EXPECT_EQ(bankSchemaErrors(xml, QLatin1String(row.key) == "R0", SepaVersion::Iso2019,
                                   QByteArray(row.iban).startsWith("AT")),
                  QString());
        const QString text = QString::fromUtf8(xml);
        EXPECT_EQ(text.contains("<Cd>INST</Cd>"), row.inst);
        EXPECT_EQ(text.section("<InstrForDbtrAgt>", 1, 1).section('<', 0, 0), QLatin1String(row.instruction));
        // The run's second, as in the file name, at the zone's offset of that moment.
        const QString stamp = QFileInfo(r.out[0]).completeBaseName().right(15);
        const QDateTime local(QDate::fromString(stamp.left(8), "ddMMyyyy"),
                              QTime::fromString(stamp.mid(9), "HHmmss"), QTimeZone(row.zone));
        const int offset = local.offsetFromUtc() / 60;
        EXPECT_EQ(text.section("<CreDtTm>", 1, 1).section('<', 0, 0),
                  local.toString("yyyy-MM-dd'T'HH:mm:ss") +
                      QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                                        std::abs(offset) % 60));
        for (const QString& file : files.exportEntries())
            QFile::remove(files.exportFolder() + file);
    }
}

// Files of the run's names for the coming minute (another run's, perhaps):
// the run takes the next free second instead and replaces none of them.
TEST_F(BatchExport, TakesTheNextFreeSecondInsteadOfReplacingAFile) {
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 60; ++s)
        TempFolder::write(files.exportFolder() + now.addSecs(s).toString("'UW_Demo_'ddMMyyyy'T'HHmmss'.xml'"),
                          "alt");
    const QStringList before = files.exportEntries();

    const ProgramResult r = export_("A3");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 4);
    // Without --yes the run neither asks before the money moves nor stops for it.
    EXPECT_FALSE(r.err.contains("buchen?")) << r.err.toStdString();
    EXPECT_FALSE(before.contains(QFileInfo(r.out[0]).fileName()));
    for (const QString& name : before)
        EXPECT_EQ(TempFolder::read(files.exportFolder() + name), "alt");
    EXPECT_EQ(files.exportEntries().size(), before.size() + 4);
}

// A posting slowed by a trigger on the marks of the invoices whose names
// match the pattern, so that another run reads the list while the first still
// claims it, and a kill lands in the posting as often as around it.
QString slowPosting(int steps) {
    return QStringLiteral(
               "CREATE TRIGGER slow AFTER INSERT ON COMM WHEN NEW.SUBTEXT LIKE '%1' BEGIN SELECT "
               "COUNT(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x "
               "< %2) SELECT x FROM c); END")
        .arg(QLatin1String("%0001"), QString::number(steps));
}

struct RaceCase {
    const char* name;
    int delayMs;             // between the two starts
    bool sharedFolder;       // one export folder for both, same purpose text
    bool customerOrderFirst; // the first run sorts by customer, the second by name
};

class TwoWorkstations : public BatchExport, public ::testing::WithParamInterface<RaceCase> {};

TEST_P(TwoWorkstations, PayEveryInvoiceOnceAndTheLoserLeavesNothing) {
    const RaceCase& c = GetParam();
    demoWith(600);
    const QStringList markedBefore = markedNames(3);
    query(slowPosting(2000000));
    const QString second = c.sharedFolder ? files.exportFolder() : root.file("export2/");
    QDir().mkpath(second);
    const QString sorts[] = {"customer", "name"};
    QProcess a, b;
    launch(a, {"--export", "A3", "--sort", sorts[!c.customerOrderFirst]}, connection());
    QThread::msleep(c.delayMs);
    settings.ExportPfad = second;
    launch(b, {"--export", "A3", "--sort", sorts[c.customerOrderFirst]}, connection(), "programm2");
    const ProgramResult ra = finish(a);
    const ProgramResult rb = finish(b);

    QList<int> codes{ra.exitCode, rb.exitCode};
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, QList<int>({0, 1})) << ra.err.toStdString() << "\n" << rb.err.toStdString();
    const ProgramResult& loser = ra.exitCode == 1 ? ra : rb;
    EXPECT_EQ(loser.out, QStringList());
    EXPECT_TRUE(
        loser.err.contains("der Rechnungen wurden inzwischen an einem anderen Arbeitsplatz übergeleitet. Es "
                           "wurde nichts exportiert und nichts gebucht; bitte die Liste neu laden und den "
                           "Export wiederholen.") ||
        loser.err.contains("Keine Daten für die ausgewählten"))
        << loser.err.toStdString();
    const QStringList folders =
        c.sharedFolder ? QStringList{second} : QStringList{files.exportFolder(), second};
    EXPECT_EQ(expectEachInvoicePaidAndMarkedOnce(folders, markedBefore), 1);
}

const RaceCase kRaces[] = {
    {"AtOnceSeparateFolders", 0, false, false}, {"AtOnceSharedFolder", 0, true, true},
    {"ApartSeparateFolders", 100, false, true}, {"ApartSharedFolder", 200, true, false},
    {"LateSharedFolder", 400, true, true},
};

INSTANTIATE_TEST_SUITE_P(Delays, TwoWorkstations, ::testing::ValuesIn(kRaces),
                         [](const ::testing::TestParamInfo<RaceCase>& info) { return info.param.name; });

// A run killed at any moment: the next start completes or discards what it
// left, so no invoice is paid twice or marked without a file.
TEST_F(BatchExport, KilledRunsAreCompletedOrDiscardedAtTheNextStart) {
    QStringList said;
    for (int moment = 0; moment < 6 && !HasFailure(); ++moment) {
        demoWith(600);
        query(slowPosting(6000000));
        const QStringList markedBefore = markedNames(3);
        for (const QString& name : files.exportEntries())
            QFile::remove(files.exportFolder() + name);
        QProcess killed;
        launch(killed, {"--export", "A3"}, connection());
        QThread::msleep(300 + 500 * moment);
        ::kill(pid_t(killed.processId()), SIGKILL);
        killed.waitForFinished();
        const ProgramResult next = export_("A3 --from 2000-01-01");
        for (const char* what : {"abgeschlossen", "verworfen"})
            if (next.err.contains(QStringLiteral("Eine unterbrochene Überleitung wurde ") +
                                  QLatin1String(what)))
                said << QLatin1String(what);
        expectEachInvoicePaidAndMarkedOnce({files.exportFolder()}, markedBefore);
    }
    std::printf("restarts: %s\n", qPrintable(said.join(' ')));
}

// Another program holds the database in a write transaction for longer
// than the run waits: the run stops with the German message and exit 1, and
// neither the database nor the export folder changes.
TEST_F(BatchExport, LockedDatabaseStopsTheRunWithNothingDone) {
    settings.Sperrzeit = "1";
    const QByteArray before = TempFolder::read(dbFile());
    QString error;
    std::unique_ptr<HostDb> other = HostDb::open(connection(), &error);
    ASSERT_TRUE(other && other->execute("BEGIN EXCLUSIVE", {}, &error)) << error.toStdString();

    const ProgramResult r = export_("A3 --yes");
    ASSERT_TRUE(other->execute("ROLLBACK", {}, &error)) << error.toStdString();
    other.reset();

    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("Fehler: Die Datenbank ist von einem anderen Programm gesperrt; nach 1 Sekunde "
                       "Warten (Einstellung „Sperrzeit“) hat das Programm aufgegeben. Bitte warten, "
                       "bis das andere Programm fertig ist, und es dann noch einmal versuchen.\n"
                       "Es wurde nichts exportiert oder gebucht."))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("database is locked")) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(files.exportEntries(), QStringList());
    EXPECT_EQ(TempFolder::read(dbFile()), before);
}

// A folder of its own size on a tmpfs; root only.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 pages) : m_folder(QFile::encodeName(folder)) {
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(pages * kPage) + ",mode=0755";
        m_mounted =
            geteuid() == 0 && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

    static constexpr qint64 kPage = 4096;
    // The pages a file of the size takes, with room for the few bytes its
    // dates may add.
    static qint64 pagesFor(qint64 bytes) { return (bytes + 256 + kPage - 1) / kPage; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

struct FullDiskCase {
    const char* name;
    bool csv;
    const char* fillsUp; // the file the disk has room for only half of
    int exitCode;
    const char* says; // a pattern of standard error, %1 for the export folder
};

const FullDiskCase kFullDisks[] = {
    {"PaymentFile", false, "xml", 1,
     R"(Fehler: Fehler beim Schreiben der XML Datei %1/UW_Demo_\d{8}T\d{6}\.xml \nKein Speicherplatz auf dem )"
     R"(Gerät\n)"},
    {"CsvFile", true, "csv", 1,
     R"(Fehler: Fehler beim Schreiben der  %1/Bank_[\d_]+\.csv Datei\. \nKein Speicherplatz auf dem Gerät\n)"},
    {"BeitragAfterThePosting", true, "Beitrag", 3,
     R"(Fehler: Die Zahlungsdatei %1/UW_Demo_\d{8}T\d{6}\.xml ist geschrieben und die Rechnungen sind als )"
     R"(übergeleitet gebucht; das bleibt so\. Es fehlt aber:\n- der Bericht „Beitrag“ )"
     R"(UW_Demo_\d{8}T\d{6}_Beitrag\.pdf im Ordner %1: Kein Speicherplatz auf dem Gerät\n)"},
};

class FullDisk : public BatchExport, public ::testing::WithParamInterface<FullDiskCase> {};

// The export folder fills up while a file of the run is written: before the
// posting nothing is posted or left; after it the posting and the files
// written stand, the missing report is named and the run exits 3. The sizes
// come from the same run into a folder with room.
TEST_P(FullDisk, KeepsTheReasonAndLosesNothing) {
    const FullDiskCase& c = GetParam();
    demoWith(100);
    settings.CSV = c.csv ? "1" : "0";
    const QString saved = root.file("vorher.db");
    ASSERT_TRUE(QFile::copy(dbFile(), saved));
    const ProgramResult measured = export_("A3");
    ASSERT_EQ(measured.exitCode, 0) << measured.err.toStdString();
    QMap<QString, qint64> pages; // by suffix: xml, csv, Begleitzettel, Beitrag
    for (const QString& path : measured.out) {
        const QString kind =
            path.endsWith(".pdf") ? path.section('_', -1).section('.', 0, 0) : path.section('.', -1);
        pages[kind] = SmallDisk::pagesFor(QFileInfo(path).size());
    }
    ASSERT_TRUE(QFile::remove(dbFile()) && QFile::copy(saved, dbFile()));
    const QStringList postedBefore = markedNames(3);
    const auto locked = [this] { return query("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1"); };
    const QStringList lockedBefore = locked();

    // The files in the order the run writes them; the run's lock file and its
    // record (one page each once published) come with them.
    qint64 room = 1;
    for (const char* kind : {"csv", "xml", "record", "Begleitzettel", "Beitrag"}) {
        if (QLatin1String(kind) == QLatin1String(c.fillsUp)) {
            room += pages[kind] / 2;
            break;
        }
        room += QLatin1String(kind) == QLatin1String("record") ? 1 : pages.value(kind);
    }
    ASSERT_GE(pages[c.fillsUp], 4) << "too small a file to fill the disk with";
    const QString folder = root.file("klein");
    SmallDisk disk(folder, room);
    if (!disk.mounted())
        GTEST_SKIP() << "a tmpfs needs root";
    settings.ExportPfad = folder + '/';

    const ProgramResult r = export_("A3");
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("Unknown error")) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains(QRegularExpression(QString::fromUtf8(c.says).arg(QRegularExpression::escape(folder)))))
        << r.err.toStdString();
    if (c.exitCode == 1) {
        EXPECT_EQ(r.out, QStringList());
        EXPECT_EQ(entries, QStringList());
        EXPECT_EQ(markedNames(3), postedBefore);
        EXPECT_EQ(locked(), lockedBefore);
        return;
    }
    // Posted: the payment file, the CSV file and the note exist and are listed.
    ASSERT_EQ(r.out.size(), 3) << r.out.join('\n').toStdString();
    QStringList listed;
    for (const QString& path : r.out)
        listed << QFileInfo(path).fileName();
    listed.sort();
    EXPECT_EQ(entries, listed);
    const QByteArray xml = TempFolder::read(r.out[0]);
    const int count = QString::fromUtf8(xml).section("<NbOfTxs>", 1, 1).section('<', 0, 0).toInt();
    EXPECT_GT(count, 0);
    EXPECT_EQ(markedNames(3).size() - postedBefore.size(), count);
}

INSTANTIATE_TEST_SUITE_P(Demo, FullDisk, ::testing::ValuesIn(kFullDisks),
                         [](const ::testing::TestParamInfo<FullDiskCase>& info) { return info.param.name; });

} // namespace
