#include "ExportRunFixture.h"

#include <QDir>

// Runs that stop before anything is published: nothing in the export folder,
// nothing printed or posted, the list unchanged, the arrow back, and one
// critical message that says why.
namespace {

struct StopCase {
    const char* name;
    // The message starts with the first text and holds the others; %1 is the
    // export folder. A single text without %1 is the whole message.
    QStringList says;
    QString sql = {};               // on the host first
    const char* dueDateColumn = ""; // the due-date setting
    const char* purpose = nullptr;  // the purpose text of the creditor panel
    const char* folder = nullptr;   // the export folder
};

// Customer 101's bank data, as SQL values.
QString bankData(const char* iban, const char* blz, const char* konto) {
    return QStringLiteral("UPDATE PERSONAL SET IBAN = %1, BLZ = '%2', KONTO = %3 WHERE ID_PERSONAL = 101")
        .arg(QLatin1String(iban), QLatin1String(blz), QLatin1String(konto));
}
QStringList bankDataError(const char* what) {
    return {"Fehler in Belegadesse Schäfer Hans mit der Nummer 1101 aufgetreten. " + QString::fromUtf8(what)};
}
// A trigger that refuses GU-2's posting with "gesperrt" and undoes the whole
// transaction, as a server may do on its own.
QString refusal(const char* when) {
    return QStringLiteral("CREATE TRIGGER t BEFORE %1 = 'GU-2' BEGIN SELECT RAISE(ROLLBACK, 'gesperrt'); END")
        .arg(QLatin1String(when));
}
const QStringList kRefused = {"", "gesperrt", "GU-2", "Es wurde nichts exportiert und nichts gebucht"};
const char* const kTooLong = "Kontonummer darf maximal 13 stellig sein!";
const char* const kNotNumeric = "Kontonummer ist leer oder nicht numerisch!";
const QStringList kDiskette = {
    "Fehler beim Schreiben der Datei aufgetreten!\r\n\r\nFolgende Probleme könnten die "
    "Ursache sein: \r\n1) Es ist keine Diskette eingelegt!\r\n2) Die Diskette ist "
    "nicht formatiert!\r\n3) Die Diskette ist defekt!"};

const StopCase kStops[] = {
    {"AccountLongerThan13", bankDataError(kTooLong), bankData("NULL", "70050000", "'12345678901234'")},
    {"AccountEmpty", bankDataError(kNotNumeric), bankData("NULL", "70050000", "NULL")},
    {"AccountBlanksOnly", bankDataError(kNotNumeric), bankData("''", "70050000", "'   '")},
    {"AccountNotNumeric", bankDataError(kNotNumeric), bankData("NULL", "70050000", "'12AB'")},
    {"BankCodeLongerThan8", bankDataError("Bankleitzahl darf maximal 8 stellig sein!"),
     bankData("NULL", "700 500 001", "'123456'")},
    {"BankCodeNotNumeric", bankDataError("Bankleitzahl ist leer oder nicht numerisch!"),
     bankData("NULL", "7005OOOO", "'123456'")},
    {"FiveCharacterIbanIsChecked", bankDataError(kTooLong),
     bankData("'DE89 '", "70050000", "'12345678901234'")},
    {"InvoiceWithoutInvoiceDate",
     {"", "GU-2", "Rechnungsdatum"},
     "UPDATE RECHNUNGSJOURNAL SET INVDATE = NULL WHERE R_NAME = 'GU-2'"},
    {"UnreadableDueDate",
     {"", "GU-1", "Fälligkeitsdatum"},
     "UPDATE HEADERRECH SET FAELLIGKEITSDATUM = 'bald' WHERE R_NAME = 'GU-1'",
     "FAELLIGKEITSDATUM"},
    // Drive A: does not exist on this machine: the write test fails, nothing is wiped, asked or written.
    {.name = "Diskette", .says = kDiskette, .folder = "A:\\"},
    {.name = "DisketteFolder", .says = kDiskette, .folder = "a:\\sepa\\"},
    {.name = "UnwritablePaymentFile",
     .says = {"Fehler beim Schreiben der XML Datei %1UW_Abr/2026_"},
     .purpose = "Abr/2026"},
    // The database undoes the whole transaction itself: the search for the
    // invoice's name must not post the ones before it for good.
    {"MarkRolledBackByTheDatabase", kRefused, refusal("INSERT ON COMM WHEN NEW.SUBTEXT")},
    {"HeaderRolledBackByTheDatabase", kRefused, refusal("UPDATE ON HEADERRECH WHEN NEW.R_NAME")},
};

class StoppedRun : public ExportRunTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StoppedRun, LeavesNothingAndSaysWhy) {
    const StopCase& c = GetParam();
    settings.strCSV = "1";
    settings.firma.DatumFaelligkeit = QString::fromLatin1(c.dueDateColumn);
    if (c.purpose)
        settings.firma.Verwendungszweck = QString::fromUtf8(c.purpose);
    if (c.folder)
        settings.strExportPfad = QString::fromLatin1(c.folder);
    addInvoice("GU-1", "A3", 100, 10.0);
    addInvoice("GU-2", "A3", 101, 20.0);
    if (!c.sql.isEmpty())
        host.exec(c.sql);

    const ExportOutcome outcome = run({"GU-1", "GU-2"});
    EXPECT_FALSE(outcome.published || outcome.posted);
    EXPECT_EQ(files.exportEntries(), QStringList());
    EXPECT_EQ(markCount(), 0);
    EXPECT_EQ(column("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT IS NOT NULL OR ZAHL_BETRAG IS NOT NULL OR "
                     "ZAHLDATUM IS NOT NULL"),
              QStringList());
    EXPECT_TRUE(prompter.reports.isEmpty() && prompter.questions.isEmpty());
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(openInvoices(), QStringList({"GU-1", "GU-2"}));
    EXPECT_FALSE(QDir("A:").exists() || QDir("a:").exists());
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.allText().toStdString();
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
    const QString text = prompter.messages[0].text;
    EXPECT_TRUE(text.startsWith(QString(c.says[0]).replace("%1", files.exportFolder())))
        << text.toStdString();
    for (const QString& part : c.says.mid(1))
        EXPECT_TRUE(text.contains(part)) << text.toStdString();
    if (c.says.size() == 1 && !c.says[0].contains("%1")) {
        EXPECT_EQ(text, c.says[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Checks, StoppedRun, ::testing::ValuesIn(kStops),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return info.param.name; });

} // namespace
