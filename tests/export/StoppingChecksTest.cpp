#include "ExportRunFixture.h"

#include <QDir>

// Runs that stop before anything is published: nothing in the export folder,
// nothing printed or posted, the list unchanged, the arrow back, and one
// critical message that says why.
namespace {

struct StopCase {
    const char* name;
    QString sql = {};               // on the host first
    const char* dueDateColumn = ""; // the due-date setting
    const char* purpose = nullptr;  // the purpose text of the creditor panel
    const char* folder = nullptr;   // the export folder
    // The message starts with the first text and holds the others; %1 is the
    // export folder. A single text without %1 is the whole message.
    QStringList says;
};

// Customer 101's bank data, as SQL values.
QString bankData(const char* iban, const char* blz, const char* konto) {
    return QStringLiteral("UPDATE PERSONAL SET IBAN = %1, BLZ = %2, KONTO = %3 WHERE ID_PERSONAL = 101")
        .arg(QLatin1String(iban), QLatin1String(blz), QLatin1String(konto));
}
// A trigger that refuses GU-2's posting with "gesperrt", undoing the
// statement (ABORT) or the whole transaction (ROLLBACK).
QString refusal(const char* when, const char* undoing) {
    return QStringLiteral("CREATE TRIGGER t BEFORE %1 = 'GU-2' BEGIN SELECT RAISE(%2, 'gesperrt'); END")
        .arg(QLatin1String(when), QLatin1String(undoing));
}
const QStringList kRefusedPosting = {"", "gesperrt", "GU-2", "Es wurde nichts exportiert und nichts gebucht"};
const QString kBankDataError =
    QStringLiteral("Fehler in Belegadesse Schäfer Hans mit der Nummer 1101 aufgetreten. ");
const QString kDiskette = QStringLiteral(
    "Fehler beim Schreiben der Datei aufgetreten!\r\n\r\nFolgende Probleme könnten die Ursache sein: \r\n1) "
    "Es "
    "ist keine Diskette eingelegt!\r\n2) Die Diskette ist nicht formatiert!\r\n3) Die Diskette ist defekt!");

const StopCase kStops[] = {
    {.name = "AccountLongerThan13",
     .sql = bankData("NULL", "'70050000'", "'12345678901234'"),
     .says = {kBankDataError + "Kontonummer darf maximal 13 stellig sein!"}},
    {.name = "AccountEmpty",
     .sql = bankData("NULL", "'70050000'", "NULL"),
     .says = {kBankDataError + "Kontonummer ist leer oder nicht numerisch!"}},
    {.name = "AccountBlanksOnly",
     .sql = bankData("''", "'70050000'", "'   '"),
     .says = {kBankDataError + "Kontonummer ist leer oder nicht numerisch!"}},
    {.name = "AccountNotNumeric",
     .sql = bankData("NULL", "'70050000'", "'12AB'"),
     .says = {kBankDataError + "Kontonummer ist leer oder nicht numerisch!"}},
    {.name = "BankCodeLongerThan8",
     .sql = bankData("NULL", "'700 500 001'", "'123456'"),
     .says = {kBankDataError + "Bankleitzahl darf maximal 8 stellig sein!"}},
    {.name = "BankCodeNotNumeric",
     .sql = bankData("NULL", "'7005OOOO'", "'123456'"),
     .says = {kBankDataError + "Bankleitzahl ist leer oder nicht numerisch!"}},
    {.name = "FiveCharacterIbanIsChecked",
     .sql = bankData("'DE89 '", "'70050000'", "'12345678901234'"),
     .says = {kBankDataError + "Kontonummer darf maximal 13 stellig sein!"}},
    {.name = "InvoiceWithoutInvoiceDate",
     .sql = "UPDATE RECHNUNGSJOURNAL SET INVDATE = NULL WHERE R_NAME = 'GU-2'",
     .says = {"", "GU-2", "Rechnungsdatum"}},
    {.name = "UnreadableDueDate",
     .sql = "UPDATE HEADERRECH SET FAELLIGKEITSDATUM = 'bald' WHERE R_NAME = 'GU-1'",
     .dueDateColumn = "FAELLIGKEITSDATUM",
     .says = {"", "GU-1", "Fälligkeitsdatum"}},
    // Drive A: does not exist on this machine: the write test fails, nothing is wiped, asked or written.
    {.name = "Diskette", .folder = "A:\\", .says = {kDiskette}},
    {.name = "DisketteFolder", .folder = "a:\\sepa\\", .says = {kDiskette}},
    {.name = "UnwritablePaymentFile",
     .purpose = "Abr/2026",
     .says = {"Fehler beim Schreiben der XML Datei %1UW_Abr/2026_"}},
    // The database undoes the whole transaction itself: the search for the
    // invoice's name must not post the ones before it for good.
    {.name = "MarkRolledBackByTheDatabase",
     .sql = refusal("INSERT ON COMM WHEN NEW.SUBTEXT", "ROLLBACK"),
     .says = kRefusedPosting},
    {.name = "HeaderRolledBackByTheDatabase",
     .sql = refusal("UPDATE ON HEADERRECH WHEN NEW.R_NAME", "ROLLBACK"),
     .says = kRefusedPosting},
    {.name = "RefusedPosting",
     .sql = refusal("UPDATE ON HEADERRECH WHEN NEW.R_NAME", "ABORT"),
     .says = kRefusedPosting},
};

class StoppedRun : public ExportRunTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StoppedRun, LeavesNothingAndSaysWhy) {
    const StopCase& c = GetParam();
    settings.strCSV = QStringLiteral("1");
    settings.firma.DatumFaelligkeit = QString::fromLatin1(c.dueDateColumn);
    if (c.purpose)
        settings.firma.Verwendungszweck = QString::fromUtf8(c.purpose);
    if (c.folder)
        settings.strExportPfad = QString::fromLatin1(c.folder);
    addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0);
    addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), 101, 20.0);
    if (!c.sql.isEmpty())
        host.exec(c.sql);

    const ExportOutcome outcome = run({QStringLiteral("GU-1"), QStringLiteral("GU-2")});
    EXPECT_FALSE(outcome.published);
    EXPECT_FALSE(outcome.posted);
    expectNothingLeft({"GU-1", "GU-2"});
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_FALSE(QDir(QStringLiteral("A:")).exists() || QDir(QStringLiteral("a:")).exists());
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.allText().toStdString();
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
    const QString text = prompter.messages[0].text;
    EXPECT_TRUE(text.startsWith(QString(c.says.value(0)).replace(QStringLiteral("%1"), files.exportFolder())))
        << text.toStdString();
    for (const QString& part : c.says.mid(1))
        EXPECT_TRUE(text.contains(part)) << text.toStdString();
    if (c.says.size() == 1 && !c.says[0].contains(QStringLiteral("%1"))) {
        EXPECT_EQ(text, c.says[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Checks, StoppedRun, ::testing::ValuesIn(kStops),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return info.param.name; });

TEST_F(ExportRunTest, ALongIbanPassesWithoutLookingAtTheNationalData) {
    host.exec(QStringLiteral(
        "UPDATE PERSONAL SET BLZ = '70050000', KONTO = '12345678901234' WHERE ID_PERSONAL = 101"));
    addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), 101, 20.0);
    EXPECT_TRUE(run({QStringLiteral("GU-2")}).posted) << prompter.allText().toStdString();
}

} // namespace
