#include "ExportRunFixture.h"

#include <QDir>

// Checks that end the whole run before any file is written: nothing in the
// export folder, nothing printed or posted, the list unchanged, the arrow back.
namespace {

class StoppedRun : public ExportRunTest {
protected:
    void SetUp() override {
        addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0);
        addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), 101, 20.0);
    }

    // Runs both invoices and expects the run to stop with one critical message.
    QString runStopped() {
        const QStringList openBefore = openInvoices();
        const ExportOutcome outcome = run({QStringLiteral("GU-1"), QStringLiteral("GU-2")});
        EXPECT_FALSE(outcome.published);
        EXPECT_FALSE(outcome.posted);
        EXPECT_EQ(files.exportEntries(), QStringList());
        EXPECT_EQ(markCount(), 0);
        EXPECT_EQ(lockedHeaders(), QStringList());
        EXPECT_TRUE(prompter.reports.isEmpty());
        EXPECT_FALSE(prompter.busy);
        EXPECT_EQ(openInvoices(), openBefore);
        if (prompter.messages.size() != 1) {
            ADD_FAILURE() << prompter.allText().toStdString();
            return {};
        }
        EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
        EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
        return prompter.messages[0].text;
    }
};

struct NationalCase {
    const char* name;
    QVariant iban;
    QVariant blz;
    QVariant konto;
    const char* ending;
};

// Test names instead of the bytes of the row.
void PrintTo(const NationalCase& c, std::ostream* os) {
    *os << c.name;
}

const NationalCase kNationalCases[] = {
    {"AccountLongerThan13", QVariant(), "70050000", "12345678901234",
     " aufgetreten. Kontonummer darf maximal 13 stellig sein!"},
    {"AccountEmpty", QVariant(), "70050000", QVariant(),
     " aufgetreten. Kontonummer ist leer oder nicht numerisch!"},
    {"AccountBlanksOnly", "", "70050000", "   ", " aufgetreten. Kontonummer ist leer oder nicht numerisch!"},
    {"AccountNotNumeric", QVariant(), "70050000", "12AB",
     " aufgetreten. Kontonummer ist leer oder nicht numerisch!"},
    {"BankCodeLongerThan8", QVariant(), "700 500 001", "123456",
     " aufgetreten. Bankleitzahl darf maximal 8 stellig sein!"},
    {"BankCodeNotNumeric", QVariant(), "7005OOOO", "123456",
     " aufgetreten. Bankleitzahl ist leer oder nicht numerisch!"},
    {"FiveCharacterIbanIsChecked", "DE89 ", "70050000", "12345678901234",
     " aufgetreten. Kontonummer darf maximal 13 stellig sein!"},
};

class NationalBankCheck : public StoppedRun, public ::testing::WithParamInterface<NationalCase> {};

TEST_P(NationalBankCheck, StopsTheRunWithItsMessage) {
    const NationalCase& c = GetParam();
    host.exec(QStringLiteral("UPDATE PERSONAL SET IBAN = ?, BLZ = ?, KONTO = ? WHERE ID_PERSONAL = 101"),
              {c.iban, c.blz, c.konto});
    EXPECT_EQ(runStopped(), QStringLiteral("Fehler in Belegadesse Schäfer Hans mit der Nummer 1101") +
                                QString::fromUtf8(c.ending));
}

INSTANTIATE_TEST_SUITE_P(Rows, NationalBankCheck, ::testing::ValuesIn(kNationalCases),
                         [](const ::testing::TestParamInfo<NationalCase>& info) { return info.param.name; });

TEST_F(StoppedRun, ALongIbanPassesWithoutLookingAtTheNationalData) {
    host.exec(QStringLiteral(
        "UPDATE PERSONAL SET BLZ = '70050000', KONTO = '12345678901234' WHERE ID_PERSONAL = 101"));
    EXPECT_TRUE(run({QStringLiteral("GU-1"), QStringLiteral("GU-2")}).posted)
        << prompter.allText().toStdString();
}

TEST_F(StoppedRun, InvoiceWithoutInvoiceDate) {
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET INVDATE = NULL WHERE R_NAME = 'GU-2'"));
    const QString text = runStopped();
    EXPECT_TRUE(text.contains(QLatin1String("GU-2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("Rechnungsdatum"))) << text.toStdString();
}

TEST_F(StoppedRun, InvoiceWithAnUnreadableDueDate) {
    settings.firma.DatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
    host.exec(QStringLiteral("UPDATE HEADERRECH SET FAELLIGKEITSDATUM = 'bald' WHERE R_NAME = 'GU-1'"));
    const QString text = runStopped();
    EXPECT_TRUE(text.contains(QLatin1String("GU-1"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Fälligkeitsdatum"))) << text.toStdString();
}

TEST_F(StoppedRun, NothingSelected) {
    EXPECT_FALSE(run({}).published);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Sie haben keine Abrechnungen für die Überleitung selektiert!");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(files.exportEntries(), QStringList());
}

// Drive A: does not exist on this machine: the write test fails, nothing is
// wiped, asked or written.
class DisketteRun : public StoppedRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(DisketteRun, FailsItsWriteTestWithTheCriticalMessage) {
    settings.strExportPfad = QString::fromLatin1(GetParam());
    EXPECT_EQ(runStopped(),
              "Fehler beim Schreiben der Datei aufgetreten!\r\n\r\nFolgende Probleme könnten die "
              "Ursache sein: \r\n1) Es ist keine Diskette eingelegt!\r\n2) Die Diskette ist nicht "
              "formatiert!\r\n3) Die Diskette ist defekt!");
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_FALSE(QDir(QStringLiteral("A:")).exists());
    EXPECT_FALSE(QDir(QStringLiteral("a:")).exists());
}

INSTANTIATE_TEST_SUITE_P(Paths, DisketteRun, ::testing::Values("A:\\", "a:\\sepa\\"));

} // namespace
