#include "output/CsvFile.h"
#include "base/Windows1252.h"

#include "SepaSamples.h"
#include "WriterFixture.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;

const QString kFileName = "Bank_2026_12_05_14_05_09.csv";
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
    firma.FirmenName = "Brevanta; Söhne";
    BookingList list;
    for (const auto& [nummer, cents] : {std::pair{1007, 1250}, std::pair{1008, 0}, std::pair{1009, -5}}) {
        Buchung b = booking(nummer, cents);
        b.BLZ = "70050000";
        b.KontoNr = "123456";
        list.append(b);
    }
    list[0].Name = "Müller \"Bau\"";
    list[0].Vorname = "\"Jürgen\""; // read as a quoted field unless quoted
    list[0].Strasse = "Weg 1\r\nHinterhaus";
    list[0].Ort = "Łódź";
    list[0].Postfach = "12";
    list[0].Faelligkeit = QDateTime(QDate(2026, 12, 10), QTime(9, 30));
    list[1].Name = "Łukasz\U0001F600"; // one "?" for a character beyond the basic plane
    list[1].BIC = "NOTPROVIDED";
    list[2].IBAN.clear(); // national bank data only

    PendingFile file = write(list);
    ASSERT_TRUE(file.isStaged());
    EXPECT_EQ(prompter.progressMaximum, 3);
    EXPECT_EQ(prompter.progressValue, 3);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
    // It waits under a hidden name until the run publishes it.
    ASSERT_EQ(exportEntries().size(), 1);
    EXPECT_TRUE(exportEntries()[0].startsWith(QLatin1Char('.')));
    ASSERT_TRUE(file.publish());

    QString expected = kHeader;
    for (const char* line :
         {"R1007;R1007;20.11.2026;12,50;1007;Herr;Müller \"Bau\";\"\"\"Jürgen\"\"\";\"Weg "
          "1\r\nHinterhaus\";80331;?ód?;"
          "D;12;;Stadtsparkasse;;10.12.2026 09:30:00;DE89 3704 0044 0532 0130 00;COBADEFFXXX",
          "R1008;R1008;20.11.2026;0,00;1008;Herr;?ukasz?;Hans;Hauptstrasse "
          "1;80331;Muenchen;D;;;Stadtsparkasse;;"
          "10.12.2026;DE89 3704 0044 0532 0130 00;NOTPROVIDED",
          "R1009;R1009;20.11.2026;-0,05;1009;Herr;Mueller;Hans;Hauptstrasse 1;80331;Muenchen;D;;70050000;"
          "Stadtsparkasse;123456;10.12.2026;;COBADEFFXXX"})
        expected +=
            "UW;\"Brevanta; Söhne\";GENODEF1M04;DE26 7016 0000 0000 5555 55;" + QString(line) + "\r\n";
    EXPECT_EQ(TempFolder::read(exportFolder() + kFileName), Windows1252::encode(expected));
    EXPECT_EQ(exportEntries(), QStringList{kFileName});
}

// A folder that is missing is one critical message; a folder that takes the
// final name refuses the publishing, with its reason, and no file is left
// under the name. A discarded file leaves nothing and cannot be published; an
// empty list gives the header alone.
TEST_F(CsvBankFile, FilesThatCannotBeCreatedOrPublishedAreReported) {
    BookingList list;
    list.append(booking(1, 100));
    const QString missing = exportFolder() + "fehlt/";
    EXPECT_FALSE(WriteCSVFile(missing, list, firma, SepaSamples::runTime(), prompter).isStaged());
    EXPECT_TRUE(exportEntries().isEmpty());
    PendingFile discarded = write(list);
    discarded.discard();
    EXPECT_TRUE(exportEntries().isEmpty());
    EXPECT_FALSE(discarded.publish());

    ASSERT_TRUE(QDir(exportFolder()).mkdir(kFileName));
    PendingFile file = write(list);
    ASSERT_TRUE(file.isStaged());
    EXPECT_FALSE(file.publish());
    EXPECT_EQ(file.errorString, "Es gibt schon eine Datei dieses Namens; sie wird nicht ersetzt.");
    EXPECT_EQ(exportEntries(), QStringList{kFileName});
    EXPECT_TRUE(QFileInfo(exportFolder() + kFileName).isDir());

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Fehler beim Schreiben der  " + missing + kFileName +
                                             " Datei. \rDatei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);

    ASSERT_TRUE(QDir(exportFolder()).rmdir(kFileName));
    PendingFile empty = write(BookingList());
    EXPECT_EQ(prompter.progressMaximum, 1);
    EXPECT_EQ(prompter.progressValue, 0);
    ASSERT_TRUE(empty.publish());
    EXPECT_EQ(TempFolder::read(exportFolder() + kFileName), Windows1252::encode(kHeader));
}

} // namespace
