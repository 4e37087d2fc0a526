#include "app/Startup.h"
#include "app/CommandLine.h"
#include "app/CreditorPanel.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "hostdb/ConnectionString.h"
#include "hostdb/HostDb.h"

#include "GuiApplication.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "TestHostDb.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>

#include <gtest/gtest.h>

namespace {

TEST(HostLocation, ReadsTheHostIniAboveTheProgramFolderWithoutArgument) {
    TempFolder folder;
    QDir(folder.path()).mkdir("prog");
    TempFolder::write(folder.file("brevanta.Ini"),
                      "[SQL]\r\nSQLServer = srv01\\BREVANTA \r\nDatabaseName=Mandant1\r\n");
    const ProgramPaths paths{folder.file("prog")};
    const HostLocation h = HostLocation::fromArgument("", paths);
    EXPECT_EQ(h.strServerName, "srv01\\BREVANTA");
    EXPECT_EQ(h.strDataBaseName, "Mandant1");
    EXPECT_EQ(h.strConnectionString,
              "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
              "ConnectionTimout = 40;Initial Catalog=Mandant1;Data Source=srv01\\BREVANTA");
}

TEST(HostLocation, ArgumentVariants) {
    TempFolder folder;
    TempFolder::write(folder.file("other.ini"), "SQLServer=anderer\r\nDatabaseName=db2\r\n");
    const ProgramPaths paths{folder.file("prog")};

    const HostLocation pathOnly = HostLocation::fromArgument(" | " + folder.file("other.ini") + " ", paths);
    EXPECT_EQ(pathOnly.brvIniPath, folder.file("other.ini"));
    EXPECT_TRUE(pathOnly.strConnectionString.endsWith("Initial Catalog=db2;Data Source=anderer"));

    const HostLocation withString =
        HostLocation::fromArgument(" DSN=brevanta | " + folder.file("other.ini"), paths);
    EXPECT_EQ(withString.strConnectionString, "DSN=brevanta");
    EXPECT_EQ(withString.strServerName, "");

    const HostLocation extraFields =
        HostLocation::fromArgument("Provider=SQLite;Data Source=x.db|a.ini|egal", paths);
    EXPECT_EQ(extraFields.strConnectionString, "Provider=SQLite;Data Source=x.db");
    EXPECT_EQ(extraFields.brvIniPath, "a.ini");
}

TEST(ProgramPaths, OwnFilesStayBesideTheProgramUnlessItsFolderRefusesNewOnes) {
    TempFolder folder;
    QDir(folder.path()).mkdir("prog");
    const ProgramPaths beside = ProgramPaths::forProgramFolder(folder.file("prog"), folder.file("config"));
    EXPECT_EQ(beside.ownIni(), folder.file("prog/BRV32-SEPA-Ueberweisung.ini"));
    EXPECT_EQ(beside.logFile(), folder.file("prog/LogDatei.txt"));
    EXPECT_TRUE(
        QDir(folder.path()).entryList({"*.ini", "*.txt", ".brv32*"}, QDir::Files | QDir::Hidden).isEmpty());

    // A folder beneath a plain file refuses new files even to root.
    TempFolder::write(folder.file("datei"), "x");
    const ProgramPaths refused =
        ProgramPaths::forProgramFolder(folder.file("datei/bin"), folder.file("config"));
    EXPECT_EQ(refused.ownIni(), folder.file("config/BRV32-SEPA-Ueberweisung.ini"));
    EXPECT_EQ(refused.logFile(), folder.file("config/LogDatei.txt"));
    EXPECT_TRUE(QFileInfo(folder.file("config")).isDir());
}

TEST(ConnectionString, TranslatesTheComposedText) {
    ConnectionString::Target t;
    QString error;
    qputenv("BRV32_ODBC_DRIVER", "FreeTDS");
    ASSERT_TRUE(ConnectionString::translate(ConnectionString::compose("srv01,1433", "Mandant1"), &t, &error));
    EXPECT_EQ(t.kind, ConnectionString::Target::Kind::Odbc);
    EXPECT_TRUE(t.sqlServerDialect);
    EXPECT_EQ(t.loginTimeoutSeconds, 40);
    EXPECT_EQ(t.odbcConnectString,
              "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;DATABASE=Mandant1;Trusted_Connection=Yes");

    ASSERT_TRUE(ConnectionString::translate(
        " data source = srv02 ; PROVIDER=sqloledb ; initial catalog=db;User ID = sa;Password=ge;heim", &t,
        &error));
    EXPECT_EQ(t.odbcConnectString, "DRIVER={FreeTDS};SERVER=srv02;DATABASE=db;UID=sa;PWD=ge");
    qunsetenv("BRV32_ODBC_DRIVER");

    ASSERT_TRUE(ConnectionString::translate("Provider=SQLite; Data Source = /tmp/host.db", &t, &error));
    EXPECT_EQ(t.kind, ConnectionString::Target::Kind::Sqlite);
    EXPECT_EQ(t.sqliteFile, "/tmp/host.db");

    ASSERT_TRUE(ConnectionString::translate("DSN=brevanta;UID=clerk", &t, &error));
    EXPECT_EQ(t.kind, ConnectionString::Target::Kind::Odbc);
    EXPECT_EQ(t.odbcConnectString, "DSN=brevanta;UID=clerk");

    EXPECT_FALSE(
        ConnectionString::translate("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", &t, &error));
    EXPECT_TRUE(error.contains("Microsoft.Jet.OLEDB.4.0")) << error.toStdString();
    EXPECT_FALSE(ConnectionString::translate("", &t, &error));
}

TEST(HostDb, OpensTheSqliteHostDatabaseThroughOdbcToo) {
    TestHostDb host;
    host.addCustomer(1, "Meier");
    QString error;
    auto odbc = HostDb::open("Driver={SQLite3};Database=" + host.file(), &error);
    if (!odbc)
        GTEST_SKIP() << "SQLite3 ODBC driver not usable: " << error.toStdString();
    EXPECT_EQ(odbc->dialect(), HostDb::Dialect::Sqlite);
    QSqlQuery q = odbc->newQuery();
    ASSERT_TRUE(odbc->run(q, "SELECT NAME FROM PERSONAL WHERE KURZBEZEICHNUNG = ?", {"MEIER"}, &error));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "Meier");
    EXPECT_EQ(odbc->checkedColumn("personal_free", "sepa_gutschrift"), "\"SEPA_GUTSCHRIFT\"");
}

TEST(HostDb, ChecksConfiguredColumnsWithoutRegardToCase) {
    TestHostDb host;
    EXPECT_EQ(host.db().checkedColumn("HEADERRECH", "faelligkeitsdatum"), "\"FAELLIGKEITSDATUM\"");
    EXPECT_EQ(host.db().checkedColumn("HEADERRECH", "FAELLIG; DROP TABLE COMM"), "");
    EXPECT_EQ(host.db().checkedColumn("HEADERRECH", ""), "");
}

TEST(DateRange, FromTheFirstOfTheMonthToToday) {
    const DateRange r = DateRange::defaultFor(QDate(2026, 3, 15));
    EXPECT_EQ(r.from, QDate(2026, 3, 1));
    EXPECT_EQ(r.to, QDate(2026, 3, 15));
}

TEST(CommandLine, Variants) {
    CommandLine cl;
    QString error;
    ASSERT_TRUE(CommandLine::parse({"--program-dir", "/opt/x", "DSN=a|b.ini"}, &cl, &error));
    EXPECT_EQ(cl.mode, CommandLine::Mode::Window);
    EXPECT_EQ(cl.programDir, "/opt/x");
    EXPECT_EQ(cl.argument, "DSN=a|b.ini");
    ASSERT_TRUE(CommandLine::parse({"--make-demo-db", "d.db", "--invoices", "5"}, &cl, &error));
    EXPECT_EQ(cl.mode, CommandLine::Mode::MakeDemoDb);
    EXPECT_EQ(cl.invoices, 5);
    ASSERT_TRUE(CommandLine::parse({"--export", "A3", "--from", "2026-12-01", "--sort", "customer", "--yes"},
                                   &cl, &error));
    EXPECT_EQ(cl.exportKey, "A3");
    EXPECT_EQ(cl.from, QDate(2026, 12, 1));
    EXPECT_TRUE(cl.sortByCustomer);
    EXPECT_TRUE(cl.yes);
    EXPECT_FALSE(CommandLine::parse({"--from", "01.12.2026"}, &cl, &error));
    EXPECT_FALSE(CommandLine::parse({"--sort", "datum"}, &cl, &error));
    ASSERT_TRUE(CommandLine::parse({"Provider=SQLOLEDB.1;Integrated", "Security=SSPI;Data",
                                    "Source=srv|C:\\Program", "Files\\brevanta.Ini"},
                                   &cl, &error));
    EXPECT_EQ(cl.argument, "Provider=SQLOLEDB.1;Integrated Security=SSPI;Data Source=srv|C:\\Program "
                           "Files\\brevanta.Ini");
    EXPECT_FALSE(CommandLine::parse({"--bogus"}, &cl, &error));
}

class WindowStart : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGuiApplication();
        QDir(folder.path()).mkdir("prog");
    }
    ProgramPaths paths() const { return {folder.file("prog")}; }

    TempFolder folder;
    RecordingPrompter prompter;
};

TEST_F(WindowStart, FailsWithOneMessageWhenTheDatabaseCannotBeReached) {
    MainWindow w(paths(), &prompter);
    EXPECT_EQ(w.Form_Load("Provider=SQLite;Data Source=" + folder.file("fehlt.db")),
              MainWindow::StartResult::Failed);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_TRUE(prompter.messages[0].text.contains("fehlt.db")) << prompter.messages[0].text.toStdString();
    EXPECT_FALSE(w.bFLoadOK);
    EXPECT_FALSE(QFile::exists(folder.file("fehlt.db")));
    w.close();
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(QDir(folder.file("prog")).entryList(QDir::Files).isEmpty());
}

TEST_F(WindowStart, FailsWhenTheHostIniNamesAServerThatDoesNotAnswer) {
    TempFolder::write(folder.file("brevanta.Ini"), "SQLServer=127.0.0.1,1\r\nDatabaseName=brevanta\r\n");
    MainWindow w(paths(), &prompter);
    EXPECT_EQ(w.Form_Load(""), MainWindow::StartResult::Failed);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Das Programm kann nicht gestartet werden."));
    EXPECT_TRUE(w.strConnectionString.startsWith("Provider=SQLOLEDB.1;"));
}

TEST_F(WindowStart, ReadsSettingsTidiesAndSetsTheDefaults) {
    TestHostDb host;
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, 'GONE', NULL)");
    TempFolder::write(paths().ownIni(),
                      "ExportPfad=/srv/sepa\r\nFirmenName=Musterhandel\r\nexternebelegnummer=ext\r\n"
                      "DatumFaelligkeit=FAELLIGKEITSDATUM\r\nCheckBoxGutschrift=SEPA_GUTSCHRIFT\r\n");
    MainWindow w(paths(), &prompter);
    ASSERT_EQ(w.Form_Load(host.connectionString(), QDate(2026, 3, 15)), MainWindow::StartResult::Ready);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(w.windowTitle(), "BRV32-SEPA-Überweisung    Version: 1.0    Datenbank:     Parameter: ");
    EXPECT_EQ(w.strExportPfad, "/srv/sepa/");
    EXPECT_EQ(w.panel->txtFirmenName->text(), "Musterhandel");
    EXPECT_EQ(w.panel->txtExtBelegnummer->text(), "EXT");
    EXPECT_EQ(w.strCheckBoxGutschrift, "SEPA_GUTSCHRIFT");
    EXPECT_EQ(w.strCSV, "0");
    EXPECT_EQ(w.dtpVon->date(), QDate(2026, 3, 1));
    EXPECT_EQ(w.dtpBis->date(), QDate(2026, 3, 15));
    EXPECT_EQ(w.SSTab1->currentIndex(), 0);
    EXPECT_TRUE(w.optBelegDate->isChecked());
    EXPECT_FALSE(w.optFaelligkeit->isHidden());
    EXPECT_TRUE(w.bFLoadOK);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 0);
}

TEST_F(WindowStart, ClosingAsksOnlyAfterAChangeKeepsTheFileOnNoAndWritesTheKeysOnYes) {
    TestHostDb host;
    auto closeAfterChange = [&](bool answer) {
        MainWindow w(paths(), &prompter);
        ASSERT_EQ(w.Form_Load(host.connectionString()), MainWindow::StartResult::Ready);
        w.panel->txtOrt->setText("Köln");
        w.bAdressAenderung = true;
        prompter.answers = {answer};
        w.close();
    };
    {
        MainWindow w(paths(), &prompter);
        ASSERT_EQ(w.Form_Load(host.connectionString()), MainWindow::StartResult::Ready);
        EXPECT_TRUE(w.optFaelligkeit->isHidden());
        w.close();
        EXPECT_TRUE(prompter.questions.isEmpty());
        EXPECT_FALSE(QFile::exists(paths().ownIni()));
    }
    const QByteArray handMade = "; von Hand\nFirmenName = Alt \nUnbekannt=bleibt";
    TempFolder::write(paths().ownIni(), handMade);
    closeAfterChange(false);
    ASSERT_EQ(prompter.questions, QStringList({"Wollen Sie die Änderungen der Firmendaten speichern?"}));
    EXPECT_EQ(TempFolder::read(paths().ownIni()), handMade);

    QFile::remove(paths().ownIni());
    closeAfterChange(true);
    const QList<QByteArray> expected = {"ExportPfad=A:\\",
                                        "FirmenName=",
                                        "Adresse=",
                                        "PLZ=",
                                        "Ort=K\xf6ln",
                                        "Telefon=",
                                        "Telefax=",
                                        "Bank=",
                                        "Bankleitzahl=",
                                        "GlaubigerID=",
                                        "Kontonummer=",
                                        "Verwendungszweck=",
                                        "DatumFaelligkeit=",
                                        "Referenznummer=",
                                        "ExterneBelegnummer=",
                                        "EDIFACT=",
                                        "CSV=0",
                                        "KEINEARTIKELRECHNUNG=0",
                                        "SKONTO_RECHNUNGS_KOPF=",
                                        "CheckBoxGutschrift=",
                                        "CheckBoxLastschrift=",
                                        "BezeichnungStattNameVorname=0"};
    const QByteArray saved = TempFolder::read(paths().ownIni());
    EXPECT_TRUE(saved.endsWith("\r\n"));
    const QList<QByteArray> lines = saved.split('\n');
    ASSERT_GT(lines.size(), expected.size()) << saved.toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i] + "\r") << "line " << i + 1;
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(WindowStart, SavingTellsWhenACharacterDoesNotFitTheIniFile) {
    TestHostDb host;
    MainWindow w(paths(), &prompter);
    ASSERT_EQ(w.Form_Load(host.connectionString()), MainWindow::StartResult::Ready);
    w.panel->txtOrt->setText("Łódź");
    w.bAdressAenderung = true;
    w.close();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
    EXPECT_TRUE(TempFolder::read(paths().ownIni())
                    .contains("\r\nOrt=?\xf3"
                              "d?\r\n"));
}

// The real program in a second process, so the single-instance test sees it.
class RunningProgram {
public:
    RunningProgram(const QString& programDir, const QString& argument) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        // Unquoted, as the host program may pass it: its blanks split it into words.
        m_process.start(BRV_PROGRAM_PATH, QStringList{"--program-dir", programDir} + argument.split(' '));
        m_process.waitForStarted(10000);
    }
    ~RunningProgram() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

bool waitForListener(const QString& programDir) {
    for (int i = 0; i < 100; ++i) {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::serverName(programDir));
        if (probe.waitForConnected(100))
            return true;
        QThread::msleep(100);
    }
    return false;
}

TEST(SingleInstance, ASecondCopyOfTheSameFolderEndsWithoutTouchingTheDatabase) {
    ensureGuiApplication();
    TestHostDb host;
    TempFolder folder;
    RunningProgram first(folder.path(), host.connectionString());
    ASSERT_TRUE(waitForListener(folder.path())) << first.process().readAllStandardError().toStdString();

    // An unreachable database: a copy that tried to connect would fail with exit code 1.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(BRV_PROGRAM_PATH,
                 {"--program-dir", folder.path(), "Provider=SQLite;Data Source=/nirgends/x.db"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.process().state(), QProcess::Running);

    TempFolder otherFolder;
    RunningProgram other(otherFolder.path(), host.connectionString());
    EXPECT_TRUE(waitForListener(otherFolder.path()));
    EXPECT_EQ(other.process().state(), QProcess::Running);
}

} // namespace
