#include "output/CsvFile.h"
#include "output/Windows1252.h"

#include "SepaSamples.h"
#include "WriterFixture.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;

const QString kFileName = QStringLiteral("Bank_2026_12_05_14_05_09.csv");
const QString kHeader = QStringLiteral(
    "Buchungsart;AuftraggeberName;AuftraggeberBLZ;AuftraggeberKonto;Rechnung;Verwendungszweck;"
    "Rechnungsdat;Betrag;Nummer;Anrede;Name;Vorname;Strasse;PLZ;Ort;Nation;Postfach;BLZ;Bank;KontoNr;"
    "Faelligkeit;IBAN;BIC\r\n");

class CsvBankFile : public testing::Test, public WriterFixture {
protected:
    PendingFile write(const BookingList& list) {
        return WriteCSVFile(exportFolder(), list, firma, SepaSamples::runTime(), prompter);
    }
    Firmendaten firma = SepaSamples::firma();
};

// Characters outside the code page become question marks, and the user is
// told once; progress goes per booking.
TEST_F(CsvBankFile, WritesEveryColumnInWindows1252) {
    firma.FirmenName = QStringLiteral("Brevanta; Söhne");
    BookingList list;
    Buchung international = booking(1007, 1250);
    international.Name = QStringLiteral("Müller \"Bau\"");
    international.Vorname = QStringLiteral("\"Jürgen\""); // read as a quoted field unless quoted
    international.Strasse = QStringLiteral("Weg 1\r\nHinterhaus");
    international.Ort = QStringLiteral("Łódź");
    international.BLZ = QStringLiteral("70050000");
    international.KontoNr = QStringLiteral("123456");
    international.Postfach = QStringLiteral("12");
    international.Faelligkeit = QDateTime(QDate(2026, 12, 10), QTime(9, 30));
    list.append(international);
    Buchung notProvided = booking(1008, 0);
    notProvided.Name = QStringLiteral("Łukasz\U0001F600"); // one "?" for a character beyond the basic plane
    notProvided.BIC = QStringLiteral("NOTPROVIDED");
    notProvided.BLZ = QStringLiteral("70050000");
    notProvided.KontoNr = QStringLiteral("123456");
    list.append(notProvided);
    Buchung national = booking(1009, -5);
    national.IBAN.clear();
    national.BLZ = QStringLiteral("70050000");
    national.KontoNr = QStringLiteral("123456");
    list.append(national);

    PendingFile file = write(list);
    ASSERT_TRUE(file.isStaged());
    EXPECT_EQ(prompter.progressMaximum, 3);
    EXPECT_EQ(prompter.progressValue, 3);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
    // It waits under a hidden name until the run publishes it.
    ASSERT_EQ(exportEntries().size(), 1);
    EXPECT_TRUE(exportEntries()[0].startsWith(QLatin1Char('.')));
    ASSERT_TRUE(PublishCSVFile(file, prompter));

    const QString company = QStringLiteral("UW;\"Brevanta; Söhne\";GENODEF1M04;DE26 7016 0000 0000 5555 55;");
    const QString expected =
        kHeader + company +
        QStringLiteral("R1007;R1007;20.11.2026;12,50;1007;Herr;Müller \"Bau\";\"\"\"Jürgen\"\"\";\"Weg "
                       "1\r\nHinterhaus\";"
                       "80331;?ód?;D;12;;Stadtsparkasse;;10.12.2026 09:30:00;DE89 3704 0044 0532 0130 00;"
                       "COBADEFFXXX\r\n") +
        company +
        QStringLiteral("R1008;R1008;20.11.2026;0,00;1008;Herr;?ukasz?;Hans;Hauptstrasse 1;80331;Muenchen;D;;;"
                       "Stadtsparkasse;;10.12.2026;DE89 3704 0044 0532 0130 00;NOTPROVIDED\r\n") +
        company +
        QStringLiteral("R1009;R1009;20.11.2026;-0,05;1009;Herr;Mueller;Hans;Hauptstrasse 1;80331;Muenchen;D;;"
                       "70050000;Stadtsparkasse;123456;10.12.2026;;COBADEFFXXX\r\n");
    EXPECT_EQ(TempFolder::read(exportFolder() + kFileName), Windows1252::encode(expected));
    EXPECT_EQ(exportEntries(), QStringList{kFileName});
}

// A folder that is missing, and a folder that takes the final name: each is
// one critical message, and no file is left under the name. A discarded file
// leaves nothing and cannot be published; an empty list gives the header alone.
TEST_F(CsvBankFile, FilesThatCannotBeCreatedOrPublishedAreReported) {
    BookingList list;
    list.append(booking(1, 100));
    const QString missing = exportFolder() + QStringLiteral("fehlt/");
    EXPECT_FALSE(WriteCSVFile(missing, list, firma, SepaSamples::runTime(), prompter).isStaged());
    EXPECT_TRUE(exportEntries().isEmpty());
    PendingFile discarded = write(list);
    discarded.discard();
    EXPECT_TRUE(exportEntries().isEmpty());
    EXPECT_FALSE(PublishCSVFile(discarded, prompter));

    ASSERT_TRUE(QDir(exportFolder()).mkdir(kFileName));
    PendingFile file = write(list);
    ASSERT_TRUE(file.isStaged());
    EXPECT_FALSE(PublishCSVFile(file, prompter));
    EXPECT_EQ(exportEntries(), QStringList{kFileName});
    EXPECT_TRUE(QFileInfo(exportFolder() + kFileName).isDir());

    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler beim Schreiben der  ") + missing +
                                                     kFileName + QStringLiteral(" Datei. \r")));
    EXPECT_TRUE(prompter.messages[1].text.startsWith(QStringLiteral("Fehler beim Schreiben der  ")));
    for (const auto& message : prompter.messages)
        EXPECT_EQ(message.icon, Prompter::Icon::Critical);

    ASSERT_TRUE(QDir(exportFolder()).rmdir(kFileName));
    PendingFile empty = write(BookingList());
    EXPECT_EQ(prompter.progressMaximum, 1);
    EXPECT_EQ(prompter.progressValue, 0);
    ASSERT_TRUE(PublishCSVFile(empty, prompter));
    EXPECT_EQ(TempFolder::read(exportFolder() + kFileName), Windows1252::encode(kHeader));
}

} // namespace
