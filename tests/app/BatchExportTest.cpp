#include "PdfText.h"
#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "TempFolder.h"
#include "app/IniFile.h"
#include "hostdb/DemoDatabase.h"
#include "hostdb/HostDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>

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
        QDir(root.path()).mkpath(QStringLiteral("programm"));
        QDir(root.path()).mkpath(QStringLiteral("export"));
        DemoDatabase::Options options;
        options.invoicesPerType = 12;
        QString error;
        EXPECT_TRUE(DemoDatabase::write(dbFile(), options, &error)) << error.toStdString();
        settings.ExportPfad = exportFolder() + QLatin1Char('/');
        settings.firma = SepaSamples::firma();
        settings.firma.Verwendungszweck = QStringLiteral("Demo");
        settings.CSV = QStringLiteral("1");
        settings.KEINEARTIKELRECHNUNG = QStringLiteral("0");
        settings.CheckBoxGutschrift = QStringLiteral("SEPA_GUTSCHRIFT");
        settings.CheckBoxLastschrift = QStringLiteral("SEPA_LASTSCHRIFT");
        settings.BezeichnungStattNameVorname = QStringLiteral("0");
    }

    QString dbFile() const { return root.file(QStringLiteral("brevanta-demo.db")); }
    QString exportFolder() const { return root.file(QStringLiteral("export")); }
    QStringList exportEntries() const {
        return QDir(exportFolder())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The connection text of the demo database for a driver.
    QString connection(const QString& driver) const {
        return driver == QLatin1String("QODBC") ? QStringLiteral("DRIVER={SQLite3};Database=") + dbFile()
                                                : QStringLiteral("Provider=SQLite;Data Source=") + dbFile();
    }

    ProgramResult export_(const QStringList& options, const QString& driver = QStringLiteral("QSQLITE")) {
        return program(QStringList{QStringLiteral("--export")} + options, connection(driver));
    }

    ProgramResult program(const QStringList& options, const QString& connectionString) {
        QString error;
        EXPECT_TRUE(settings.save(root.file(QStringLiteral("programm/BRV32-SEPA-Ueberweisung.ini")), &error))
            << error.toStdString();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as under cron: no desktop session
        program.setProcessEnvironment(env);
        program.start(BRV_PROGRAM_PATH,
                      options + QStringList{QStringLiteral("--program-dir"),
                                            root.file(QStringLiteral("programm")), connectionString});
        ProgramResult result;
        if (!program.waitForFinished(120000)) {
            ADD_FAILURE() << "the program did not end";
            program.kill();
            program.waitForFinished();
            return result;
        }
        result.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        result.out =
            QString::fromUtf8(program.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        result.err = QString::fromUtf8(program.readAllStandardError());
        return result;
    }

    int marks(int kind) {
        QString error;
        std::unique_ptr<HostDb> db =
            HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + dbFile(), &error);
        if (!db) {
            ADD_FAILURE() << error.toStdString();
            return -1;
        }
        QSqlQuery q = db->newQuery();
        if (!db->run(q, QStringLiteral("SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM = ?"), {kind},
                     &error) ||
            !q.next()) {
            ADD_FAILURE() << error.toStdString();
            return -1;
        }
        return q.value(0).toInt();
    }

    void change(const QString& sql) {
        QString error;
        std::unique_ptr<HostDb> db =
            HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + dbFile(), &error);
        ASSERT_TRUE(db) << error.toStdString();
        ASSERT_TRUE(db->execute(sql, {}, &error)) << error.toStdString();
    }

    TempFolder root;
    OwnSettings settings;
};

// A node key, and "@2009" for the 2009 files in place of the default; the driver.
class EnabledType : public BatchExport,
                    public ::testing::WithParamInterface<std::tuple<const char*, const char*>> {};

TEST_P(EnabledType, PublishesPaymentFileCsvAndBothReports) {
    const QString param = QString::fromLatin1(std::get<0>(GetParam()));
    const QString key = param.section(QLatin1Char('@'), 0, 0);
    settings.SEPAVersion = param.section(QLatin1Char('@'), 1);
    const bool iso2009 = settings.SEPAVersion == QLatin1String("2009");
    const bool directDebit = key == QLatin1String("R0");
    const int kind = directDebit ? 0 : key.back().digitValue();
    const int marksBefore = marks(kind);

    const ProgramResult r =
        export_({key, QStringLiteral("--yes")}, QString::fromLatin1(std::get<1>(GetParam())));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Only the run's own "[title] ..." messages, no word of Qt's before them.
    EXPECT_TRUE(r.err.isEmpty() || r.err.startsWith(QLatin1Char('['))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("QStandardPaths"))) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 4) << r.out.join(QLatin1Char('\n')).toStdString();
    const QFileInfo payment(r.out[0]);
    EXPECT_TRUE(
        payment.fileName().startsWith(directDebit ? QLatin1String("LS_Demo_") : QLatin1String("UW_Demo_")));
    EXPECT_EQ(payment.absolutePath(), QFileInfo(exportFolder()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(r.out[1]).fileName().startsWith(QLatin1String("Bank_")));
    EXPECT_EQ(r.out[2], payment.absolutePath() + QLatin1Char('/') + payment.completeBaseName() +
                            QStringLiteral("_Begleitzettel.pdf"));
    EXPECT_EQ(r.out[3], payment.absolutePath() + QLatin1Char('/') + payment.completeBaseName() +
                            QStringLiteral("_Beitrag.pdf"));
    QStringList expected;
    for (const QString& path : r.out)
        expected << QFileInfo(path).fileName();
    expected.sort();
    EXPECT_EQ(exportEntries(), expected);

    const QByteArray xml = TempFolder::read(r.out[0]);
    const QStringList schemas =
        iso2009       ? QStringList{directDebit ? "pain.008.001.02.xsd" : "pain.001.001.03.xsd"}
        : directDebit ? QStringList{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_4.xsd"}
                      : QStringList{"pain.001.001.09.xsd"};
    for (const QString& schema : schemas)
        EXPECT_EQ(schemaErrors(withStandardNamespace(xml), schema), QString()) << schema.toStdString();
    const int count = QString::fromUtf8(xml)
                          .section(QStringLiteral("<NbOfTxs>"), 1, 1)
                          .section(QLatin1Char('<'), 0, 0)
                          .toInt();
    EXPECT_GT(count, 0);
    EXPECT_EQ(marks(kind) - marksBefore, count);
    EXPECT_TRUE(
        PdfText::pages(r.out[3]).join(QLatin1Char('\n')).contains(QLatin1String("Einzelbuchungen SEPA")));
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

class CheckDb : public BatchExport, public ::testing::WithParamInterface<CheckCase> {};

// Whatever it finds, the check leaves the database file as it was.
TEST_P(CheckDb, NamesWhatFailsAndChangesNothing) {
    const CheckCase& c = GetParam();
    if (*c.change)
        change(QString::fromUtf8(c.change));
    settings.firma.DatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
    settings.firma.ExterneBelegnummer = QStringLiteral("EXT_BELEGNR");
    if (c.flagGutschrift)
        settings.CheckBoxGutschrift = QString::fromLatin1(c.flagGutschrift);
    const QByteArray before = TempFolder::read(dbFile());
    const QString target = *c.driver ? connection(QString::fromLatin1(c.driver))
                                     : QStringLiteral("Provider=SQLite;Data Source=") + root.file("fehlt.db");

    const ProgramResult r = program({QStringLiteral("--check-db")}, target);
    const QString out = r.out.join(QLatin1Char('\n'));
    EXPECT_EQ(r.exitCode, c.exitCode) << out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(std::any_of(r.out.begin(), r.out.end(), [&](const QString& line) {
        return line.startsWith(QString::fromUtf8(c.line));
    })) << out.toStdString();
    EXPECT_EQ(TempFolder::read(dbFile()), before);
    EXPECT_EQ(exportEntries(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Demo, CheckDb,
    ::testing::Values(
        CheckCase{"Sqlite", "QSQLITE", "", nullptr, 0, "Alle "},
        CheckCase{"Odbc", "QODBC", "", nullptr, 0, "Alle "},
        CheckCase{"MissingTable", "QODBC", "DROP TABLE STRINGS", nullptr, 1,
                  "FEHLER  Tabelle STRINGS: fehlt in der Datenbank"},
        CheckCase{"MissingColumn", "QSQLITE", "", "GIBTSNICHT", 1,
                  "FEHLER  Spalte aus „CheckBoxGutschrift“: Die Einstellung „CheckBoxGutschrift“ nennt die "
                  "Spalte „GIBTSNICHT“, die es in der Tabelle PERSONAL_FREE nicht gibt."},
        CheckCase{"MissingIndex", "QSQLITE", "DROP INDEX COMM_MARK", nullptr, 1,
                  "FEHLER  Index auf COMM (ID, SUBNUM, SUBTEXT): fehlt. Ohne ihn"},
        CheckCase{
            "RefusedPosting", "QODBC",
            "CREATE TRIGGER t BEFORE INSERT ON COMM BEGIN SELECT RAISE(ABORT, 'gesperrt'); END", nullptr, 1,
            "FEHLER  InsertCOMM, UpdateHEADERRECH R0 für „~BRV32~“ (zurückgerollt): Überleitungsmarke für "
            "~BRV32~: [SQLite]gesperrt"},
        CheckCase{"NoDatabase", "", "", nullptr, 2, "FEHLER  Verbindung: Die Datenbank"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

class RefusedKey : public BatchExport, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedKey, EndsWithExitStatus2AndAGermanMessage) {
    const ProgramResult r = export_({QString::fromLatin1(GetParam()), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("ist keine Belegart, die exportiert werden kann")))
        << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(exportEntries(), QStringList());
}

// A4 and A7 are switched off in the demo's host settings.
INSTANTIATE_TEST_SUITE_P(Keys, RefusedKey, ::testing::Values("A4", "A7", "A9", "A", "r0", "Quatsch"));

TEST_F(BatchExport, UnknownSepaVersionIsRefusedBeforeAnythingIsWritten) {
    settings.SEPAVersion = QStringLiteral("2020");
    const int marksBefore = marks(0);
    const ProgramResult r = export_({QStringLiteral("R0"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Der Wert „2020“ für „SEPAVersion“ in der Datei "
                                      "BRV32-SEPA-Ueberweisung.ini ist ungültig (erlaubt: 2019 oder 2009).")))
        << r.err.toStdString();
    EXPECT_EQ(exportEntries(), QStringList());
    EXPECT_EQ(marks(0), marksBefore);
}

TEST_F(BatchExport, BadCreditorIdentifierWritesPrintsAndPostsNothing) {
    settings.firma.GlaubigerID = QStringLiteral("DE97ZZZ09999999999");
    const int marksBefore = marks(0);
    const ProgramResult r = export_({QStringLiteral("R0"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Für den Einzug muss eine gültige Gläubiger ID eingegeben werden.")))
        << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(exportEntries(), QStringList());
    EXPECT_EQ(marks(0), marksBefore);
}

TEST_F(BatchExport, DueDateRangeNeedsTheDueDateSetting) {
    const ProgramResult r =
        export_({QStringLiteral("A3"), QStringLiteral("--due-date"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--due-date geht nur mit der Einstellung")))
        << r.err.toStdString();
    EXPECT_EQ(exportEntries(), QStringList());
}

TEST_F(BatchExport, NothingToExportEndsWithExitStatus1) {
    const ProgramResult r =
        export_({QStringLiteral("A3"), QStringLiteral("--from"), QStringLiteral("2000-01-01"),
                 QStringLiteral("--to"), QStringLiteral("2000-01-31"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Keine Daten für die ausgewählten Eingrenzungen vorhanden!")))
        << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(exportEntries(), QStringList());
}

// Files of the same name for the coming minute make the run ask before
// replacing one; only --yes answers Yes.
TEST_F(BatchExport, OverwriteQuestionIsAnsweredNoWithoutYes) {
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 60; ++s)
        TempFolder::write(exportFolder() + QStringLiteral("/UW_Demo_") +
                              now.addSecs(s).toString(QStringLiteral("ddMMyyyy'T'HHmmss")) +
                              QStringLiteral(".xml"),
                          "alt");
    const QStringList before = exportEntries();
    const int marksBefore = marks(3);

    const ProgramResult no = export_({QStringLiteral("A3")});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("VORSICHT: Datei existiert bereits! Wollen Sie die Datei ")))
        << no.err.toStdString();
    EXPECT_TRUE(no.err.contains(QStringLiteral("Nein (ohne --yes)"))) << no.err.toStdString();
    EXPECT_EQ(no.out, QStringList());
    EXPECT_EQ(exportEntries(), before);
    EXPECT_EQ(marks(3), marksBefore);

    const ProgramResult yes = export_({QStringLiteral("A3"), QStringLiteral("--yes")});
    ASSERT_EQ(yes.exitCode, 0) << yes.err.toStdString();
    ASSERT_EQ(yes.out.size(), 4);
    EXPECT_TRUE(before.contains(QFileInfo(yes.out[0]).fileName()));
    EXPECT_TRUE(TempFolder::read(yes.out[0]).startsWith("<?xml"));
    EXPECT_GT(marks(3), marksBefore);
}

TEST_F(BatchExport, FailedPostingLeavesNoFilesAndEndsWithExitStatus1) {
    change(QStringLiteral("CREATE TRIGGER t BEFORE UPDATE ON HEADERRECH WHEN NEW.VER_TYPE = 'A3' AND "
                          "NEW.R_NAME LIKE '%000005' BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
    const int marksBefore = marks(3);

    const ProgramResult r = export_({QStringLiteral("A3"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("gesperrt"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Begleitzettel dieses Laufs ist ungültig")))
        << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList());
    EXPECT_EQ(exportEntries(), QStringList());
    EXPECT_EQ(marks(3), marksBefore);
}

} // namespace
