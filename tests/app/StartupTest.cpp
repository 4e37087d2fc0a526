#include "app/Startup.h"
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
    const QString composed =
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;ConnectionTimout = 40;";
    const QString other = folder.file("other.ini");
    const struct {
        QString argument, connection, iniPath, server;
    } cases[] = {
        {"", composed + "Initial Catalog=Mandant1;Data Source=srv01\\BREVANTA",
         folder.file("prog/../brevanta.Ini"), "srv01\\BREVANTA"},
        {" | " + other + " ", composed + "Initial Catalog=db2;Data Source=anderer", other, "anderer"},
        {" DSN=brevanta | " + other, "DSN=brevanta", other, ""},
        {"Provider=SQLite;Data Source=x.db|a.ini|egal", "Provider=SQLite;Data Source=x.db", "a.ini", ""},
    };
    for (const auto& c : cases) {
        const HostLocation h = HostLocation::fromArgument(c.argument, ProgramPaths{folder.file("prog")});
        EXPECT_EQ(QStringList({h.strConnectionString, QDir::cleanPath(h.brvIniPath), h.strServerName}),
                  QStringList({c.connection, QDir::cleanPath(c.iniPath), c.server}))
            << c.argument.toStdString();
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

// The kind of connection, the dialect, the login timeout and the ODBC
// connection text or SQLite file of a connection text; "-" when refused.
TEST(ConnectionString, TranslatesTheComposedText) {
    qputenv("BRV32_ODBC_DRIVER", "FreeTDS");
    const std::pair<QString, QString> cases[] = {
        {ConnectionString::compose("srv01,1433", "Mandant1"),
         "ODBC SQL Server 40 "
         "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;DATABASE=Mandant1;Trusted_Connection=Yes"},
        {" data source = srv02 ; PROVIDER=sqloledb ; initial catalog=db;User ID = sa;Password=ge;heim",
         "ODBC SQL Server 0 DRIVER={FreeTDS};SERVER=srv02;DATABASE=db;UID=sa;PWD=ge"},
        {"Provider=SQLite; Data Source = /tmp/host.db", "SQLite 0 /tmp/host.db"},
        {"DSN=brevanta;UID=clerk", "ODBC SQL Server 0 DSN=brevanta;UID=clerk"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", "- Microsoft.Jet.OLEDB.4.0"},
        {"", "-"},
    };
    for (const auto& [text, expected] : cases) {
        ConnectionString::Target t;
        QString error;
        const bool ok = ConnectionString::translate(text, &t, &error);
        const bool odbc = t.kind == ConnectionString::Target::Kind::Odbc;
        const QString shown =
            !ok ? (error.contains(expected.mid(2)) ? expected : "- " + error)
                : QStringLiteral("%1%2 %3 %4")
                      .arg(odbc ? "ODBC" : "SQLite", odbc && t.sqlServerDialect ? " SQL Server" : "")
                      .arg(t.loginTimeoutSeconds)
                      .arg(odbc ? t.odbcConnectString : t.sqliteFile);
        EXPECT_EQ(shown, expected) << text.toStdString();
    }
    qunsetenv("BRV32_ODBC_DRIVER");
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
