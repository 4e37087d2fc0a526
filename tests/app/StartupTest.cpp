#include "app/Startup.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "hostdb/ConnectionString.h"

#include "GuiApplication.h"
#include "TempFolder.h"
#include "TestHostDb.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// The argument is connection string "|" host INI path; without a connection
// string the host INI file composes one, by default the one above the program.
TEST(HostLocation, ComesFromTheArgumentOrTheHostIniFile) {
    TempFolder folder;
    QDir(folder.path()).mkdir("prog");
    TempFolder::write(folder.file("brevanta.Ini"),
                      "[SQL]\r\nSQLServer = srv01\\BREVANTA \r\nDatabaseName=Mandant1\r\n");
    TempFolder::write(folder.file("other.ini"), "SQLServer=anderer\r\nDatabaseName=db2\r\n");
    const struct {
        QString argument;
        QString connection;
        QString iniPath;
        QString server;
    } cases[] = {
        {"",
         "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;ConnectionTimout = 40;"
         "Initial Catalog=Mandant1;Data Source=srv01\\BREVANTA",
         folder.file("prog/../brevanta.Ini"), "srv01\\BREVANTA"},
        {" | " + folder.file("other.ini") + " ",
         "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;ConnectionTimout = 40;"
         "Initial Catalog=db2;Data Source=anderer",
         folder.file("other.ini"), "anderer"},
        {" DSN=brevanta | " + folder.file("other.ini"), "DSN=brevanta", folder.file("other.ini"), ""},
        {"Provider=SQLite;Data Source=x.db|a.ini|egal", "Provider=SQLite;Data Source=x.db", "a.ini", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        const HostLocation h = HostLocation::fromArgument(c.argument, ProgramPaths{folder.file("prog")});
        EXPECT_EQ(h.strConnectionString, c.connection);
        EXPECT_EQ(QDir::cleanPath(h.brvIniPath), QDir::cleanPath(c.iniPath));
        EXPECT_EQ(h.strServerName, c.server);
    }
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

// The host program may pass its argument unquoted, so its words are joined
// again; whatever is not understood is refused. The other options are
// driven by the batch and package tests through the real program.
TEST(CommandLine, JoinsTheUnquotedArgumentAndRefusesWhatItDoesNotKnow) {
    CommandLine cl;
    QString error;
    ASSERT_TRUE(CommandLine::parse({"Provider=SQLOLEDB.1;Integrated", "Security=SSPI;Data",
                                    "Source=srv|C:\\Program", "Files\\brevanta.Ini"},
                                   &cl, &error));
    EXPECT_EQ(cl.mode, CommandLine::Mode::Window);
    EXPECT_EQ(cl.argument, "Provider=SQLOLEDB.1;Integrated Security=SSPI;Data Source=srv|C:\\Program "
                           "Files\\brevanta.Ini");
    ASSERT_TRUE(CommandLine::parse({"--export", "A3", "--from", "2026-12-01", "--sort", "customer", "--yes"},
                                   &cl, &error));
    EXPECT_TRUE(cl.mode == CommandLine::Mode::Export && cl.exportKey == "A3" &&
                cl.from == QDate(2026, 12, 1) && cl.sortByCustomer && cl.yes);
    for (const QStringList& refused : {QStringList{"--from", "01.12.2026"}, {"--sort", "datum"}, {"--bogus"}})
        EXPECT_FALSE(CommandLine::parse(refused, &cl, &error)) << refused.join(' ').toStdString();
}

// The real program in a second process, so the single-instance test sees it;
// the process object ends it when it goes.
void startProgram(QProcess& program, const QString& programDir, const QString& argument) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    // Unquoted, as the host program may pass it: its blanks split it into words.
    program.start(BRV_PROGRAM_PATH, QStringList{"--program-dir", programDir} + argument.split(' '));
    program.waitForStarted(10000);
}

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
    TempFolder folder, otherFolder;
    QProcess first, second, other;
    startProgram(first, folder.path(), host.connectionString());
    ASSERT_TRUE(waitForListener(folder.path())) << first.readAllStandardError().toStdString();

    // An unreachable database: a copy that tried to connect would fail with exit code 1.
    startProgram(second, folder.path(), "Provider=SQLite;Data Source=/nirgends/x.db");
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    startProgram(other, otherFolder.path(), host.connectionString());
    EXPECT_TRUE(waitForListener(otherFolder.path()));
    EXPECT_EQ(other.state(), QProcess::Running);
    for (QProcess* program : {&first, &other}) {
        program->kill();
        program->waitForFinished(5000);
    }
}

} // namespace
