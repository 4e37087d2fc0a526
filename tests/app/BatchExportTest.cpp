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

// brv32-sepa --export KEY as a program of its own on the demo database.
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

    ProgramResult export_(const QStringList& options) {
        QString error;
        EXPECT_TRUE(settings.save(root.file(QStringLiteral("programm/BRV32-SEPA-Ueberweisung.ini")), &error))
            << error.toStdString();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(BRV_PROGRAM_PATH,
                      QStringList{QStringLiteral("--export")} + options +
                          QStringList{QStringLiteral("--program-dir"), root.file(QStringLiteral("programm")),
                                      QStringLiteral("Provider=SQLite;Data Source=") + dbFile()});
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

    void addTrigger(const QString& sql) {
        QString error;
        std::unique_ptr<HostDb> db =
            HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + dbFile(), &error);
        ASSERT_TRUE(db) << error.toStdString();
        ASSERT_TRUE(db->execute(sql, {}, &error)) << error.toStdString();
    }

    TempFolder root;
    OwnSettings settings;
};

// A node key, and "@2009" for the 2009 files in place of the default.
class EnabledType : public BatchExport, public ::testing::WithParamInterface<const char*> {};

TEST_P(EnabledType, PublishesPaymentFileCsvAndBothReports) {
    const QString key = QString::fromLatin1(GetParam()).section(QLatin1Char('@'), 0, 0);
    settings.SEPAVersion = QString::fromLatin1(GetParam()).section(QLatin1Char('@'), 1);
    const bool iso2009 = settings.SEPAVersion == QLatin1String("2009");
    const bool directDebit = key == QLatin1String("R0");
    const int kind = directDebit ? 0 : key.back().digitValue();
    const int marksBefore = marks(kind);

    const ProgramResult r = export_({key, QStringLiteral("--yes")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
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

INSTANTIATE_TEST_SUITE_P(Demo, EnabledType,
                         ::testing::Values("R0", "A1", "A2", "A3", "A5", "R0@2009", "A1@2009"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).replace('@', '_').toStdString();
                         });

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
    addTrigger(QStringLiteral("CREATE TRIGGER t BEFORE UPDATE ON HEADERRECH WHEN NEW.VER_TYPE = 'A3' AND "
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
