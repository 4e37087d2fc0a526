#include "selection/UebersichtReport.h"

#include "PdfText.h"
#include "QtPrinters.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

const QDate printDate(2026, 12, 7);

// A row of the overview list as it shows: name, invoice date, customer,
// amount, transfer date.
QStringList listRow(const QString& name, const QString& date, const QString& customer, const QString& amount,
                    const QString& transferred) {
    return {name, date, customer, amount, transferred};
}

class UebersichtReport : public ::testing::Test {
protected:
    // Runs PrintUebersicht and draws what it hands to the prompter.
    QStringList print(const QList<QStringList>& list) {
        EXPECT_TRUE(PrintUebersicht(list, printDate, prompter));
        EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
        EXPECT_EQ(prompter.reports.size(), 1);
        if (prompter.reports.isEmpty())
            return {};
        EXPECT_EQ(prompter.reports[0].first, "Uebersicht");
        return PdfText::reportPages(prompter.reports[0].second, temp.file(QStringLiteral("Uebersicht.pdf")));
    }

    RecordingPrompter prompter;
    TempFolder temp;
};

TEST_F(UebersichtReport, RowsInListOrderWithTotalAndPageCounter) {
    const QList<QStringList> list = {
        listRow("R1003", "05.11.2026", "Krämer KG", "1.234,50", "01.12.2026"),
        listRow("R1001", "3.11.2026", "Müller", "99,00", "02.12.2026"),
        // A due-date column after the five read ones plays no part.
        QStringList{"R1002", "04.11.2026", "Öztürk", "-10,00", "03.12.2026", "15.12.2026"},
    };
    const QStringList pages = print(list);
    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages[0];
    EXPECT_EQ(PdfText::lineWith(page, "Übersicht"), "Übersicht der abgerechneten Rechnungen");
    EXPECT_EQ(PdfText::lineWith(page, "Rechnungsnummer"),
              "Rechnungsnummer Rechnungsdatum Rechnungskunde Überleitungsdatum Bruttopreis");
    EXPECT_EQ(PdfText::lineWith(page, "R1003"), "R1003 05.11.2026 Krämer KG 01.12.2026 1.234,50");
    EXPECT_EQ(PdfText::lineWith(page, "R1001"), "R1001 03.11.2026 Müller 02.12.2026 99,00");
    EXPECT_EQ(PdfText::lineWith(page, "R1002"), "R1002 04.11.2026 Öztürk 03.12.2026 -10,00");
    EXPECT_FALSE(page.contains("15.12.2026"));
    EXPECT_LT(page.indexOf("R1003"), page.indexOf("R1001"));
    EXPECT_LT(page.indexOf("R1001"), page.indexOf("R1002"));
    EXPECT_EQ(PdfText::lineWith(page, "Summe:"), "Summe: 1.323,50");
    EXPECT_TRUE(PdfText::lineWith(page, "Seite:").startsWith("Montag, 7. Dezember 2026 Seite:"));
    EXPECT_EQ(PdfText::pageCounter(page), "Seite: 1 / 1");
}

TEST_F(UebersichtReport, SectionsSitAtTheirTwipPositions) {
    ASSERT_EQ(print({listRow("R1", "01.11.2026", "Krämer", "1.234,50", "02.12.2026")}).size(), 1);
    const QList<PdfText::Word> words = PdfText::words(temp.file(QStringLiteral("Uebersicht.pdf")));
    const auto pt = [](int twips) { return twips / 20.0; };
    const double left = PdfText::word(words, "Rechnungsnummer").xMin - pt(1134);
    const auto x = [&](const QString& text) { return PdfText::word(words, text).xMin - left; };
    const auto right = [&](const QString& text) { return PdfText::word(words, text).xMax - left; };
    EXPECT_NEAR(x("Rechnungsdatum"), pt(2835), 0.5);
    EXPECT_NEAR(x("Rechnungskunde"), pt(4536), 0.5);
    EXPECT_NEAR(x("Überleitungsdatum"), pt(6236), 0.5);
    EXPECT_NEAR(right("Bruttopreis"), pt(7937 + 1134), 0.5);
    EXPECT_NEAR(x("R1"), pt(1134), 0.5);
    EXPECT_NEAR(x("01.11.2026"), pt(2835), 0.5);
    EXPECT_NEAR(x("Krämer"), pt(4536), 0.5);
    EXPECT_NEAR(x("02.12.2026"), pt(6236), 0.5);
    EXPECT_NEAR(x("Summe:"), pt(6435), 0.5);
    // The total is the lower of the two amounts.
    PdfText::Word sum;
    for (const PdfText::Word& w : words) {
        if (w.text == "1.234,50" && w.yMin > sum.yMin)
            sum = w;
    }
    EXPECT_GT(sum.yMin, PdfText::word(words, "Summe:").yMin - 1);
    EXPECT_NEAR(sum.xMax - left, pt(7455 + 1635), 0.5);
    EXPECT_NEAR(right("1.234,50"), pt(7937 + 1134), 0.5);
    EXPECT_NEAR(x("Montag,"), 0, 0.5);
    EXPECT_NEAR(x("Seite:"), pt(9638), 0.5);
    const PdfText::Word title = PdfText::word(words, "Übersicht");
    EXPECT_NEAR((title.xMin + PdfText::word(words, "Rechnungen").xMax) / 2 - left, pt(11190 / 2), 1);
}

TEST_F(UebersichtReport, ManyRowsGiveThreePagesWithTheTotalOnlyAtTheEnd) {
    QList<QStringList> list;
    for (int i = 1; i <= 130; ++i)
        list << listRow(QStringLiteral("R%1").arg(i, 4, 10, QLatin1Char('0')), "01.11.2026", "Kunde",
                        "1.000,01", "02.12.2026");
    const QStringList pages = print(list);
    ASSERT_EQ(pages.size(), 3);
    int next = 1;
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(pages[p].contains("Übersicht der abgerechneten Rechnungen"), p == 0);
        EXPECT_FALSE(PdfText::lineWith(pages[p], "Rechnungsnummer").isEmpty());
        EXPECT_EQ(PdfText::pageCounter(pages[p]), QStringLiteral("Seite: %1 / 3").arg(p + 1));
        EXPECT_EQ(pages[p].contains("Summe:"), p == 2);
        for (const QString& line : pages[p].split(QLatin1Char('\n'))) {
            const QString first = line.simplified().section(QLatin1Char(' '), 0, 0);
            if (first.startsWith("R") && first != "Rechnungsnummer") {
                EXPECT_EQ(first, QStringLiteral("R%1").arg(next++, 4, 10, QLatin1Char('0')));
            }
        }
    }
    EXPECT_EQ(next, 131);
    EXPECT_EQ(PdfText::lineWith(pages[2], "Summe:"), "Summe: 130.001,30");
}

TEST_F(UebersichtReport, NamesLongerThanTheOldTableFieldsPrintInFull) {
    const QString number = QStringLiteral("RE 2026 Filiale Nord 000123"); // 27 characters
    const QString customer = QStringLiteral(
        "Bäckerei Müller & Söhne Großhandel für Backwaren und Konditoreibedarf"); // 69 characters
    const QStringList pages = print({listRow(number, "01.11.2026", customer, "5,00", "02.12.2026")});
    ASSERT_EQ(pages.size(), 1);
    for (const QString& word : (number + QLatin1Char(' ') + customer).split(QLatin1Char(' ')))
        EXPECT_TRUE(pages[0].contains(word)) << word.toStdString();
    EXPECT_EQ(PdfText::lineWith(pages[0], "Summe:"), "Summe: 5,00");
}

TEST_F(UebersichtReport, EmptyCellsPrintEmptyAndCountNothing) {
    const QStringList pages =
        print({listRow("R1", "", "", "", ""), listRow("R2", "01.11.2026", "B", "2,50", "")});
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(PdfText::lineWith(pages[0], "R1"), "R1");
    EXPECT_EQ(PdfText::lineWith(pages[0], "R2"), "R2 01.11.2026 B 2,50");
    EXPECT_EQ(PdfText::lineWith(pages[0], "Summe:"), "Summe: 2,50");
}

TEST_F(UebersichtReport, EmptyListPrintsHeaderAndZeroTotal) {
    const QStringList pages = print({});
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(PdfText::lineWith(pages[0], "Übersicht der abgerechneten Rechnungen").isEmpty());
    EXPECT_FALSE(PdfText::lineWith(pages[0], "Rechnungsnummer").isEmpty());
    EXPECT_EQ(PdfText::lineWith(pages[0], "Summe:"), "Summe: 0,00");
    EXPECT_EQ(PdfText::pageCounter(pages[0]), "Seite: 1 / 1");
}

struct BadCell {
    const char* name;
    QList<QStringList> list;
    const char* message;
};

void PrintTo(const BadCell& cell, std::ostream* os) {
    *os << cell.name;
}

class UebersichtBadCell : public ::testing::TestWithParam<BadCell> {};

TEST_P(UebersichtBadCell, IsReportedWithItsRowAndNothingIsPrinted) {
    RecordingPrompter prompter;
    EXPECT_FALSE(PrintUebersicht(GetParam().list, printDate, prompter));
    EXPECT_TRUE(prompter.reports.isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
    EXPECT_EQ(prompter.messages[0].text, QString::fromUtf8(GetParam().message));
}

const QStringList goodRow = listRow("R1", "01.11.2026", "A", "1,00", "02.12.2026");

INSTANTIATE_TEST_SUITE_P(
    Cells, UebersichtBadCell,
    ::testing::Values(
        BadCell{"InvoiceDate",
                {goodRow, listRow("R2", "31.02.2026", "B", "1,00", "02.12.2026")},
                "Die Übersicht kann nicht gedruckt werden: In Zeile 2 (Rechnung R2) ist das Rechnungsdatum "
                "„31.02.2026“ kein Datum."},
        BadCell{
            "TransferDate",
            {listRow("R1", "01.11.2026", "A", "1,00", "gestern")},
            "Die Übersicht kann nicht gedruckt werden: In Zeile 1 (Rechnung R1) ist das Überleitungsdatum "
            "„gestern“ kein Datum."},
        BadCell{"Amount",
                {goodRow, goodRow, listRow("R3", "01.11.2026", "C", "1.234.50", "02.12.2026")},
                "Die Übersicht kann nicht gedruckt werden: In Zeile 3 (Rechnung R3) ist der Bruttopreis "
                "„1.234.50“ kein Betrag."},
        BadCell{
            "RowWithoutName",
            {listRow("", "01.11.2026", "A", "zehn", "02.12.2026")},
            "Die Übersicht kann nicht gedruckt werden: In Zeile 1 ist der Bruttopreis „zehn“ kein Betrag."}),
    [](const ::testing::TestParamInfo<BadCell>& info) { return std::string(info.param.name); });

} // namespace
