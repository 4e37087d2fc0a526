#include "output/UebersichtReport.h"

#include "PdfText.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

const QDate printDate(2026, 12, 7);

// Rows of the overview list as they show: name, invoice date, customer,
// amount, transfer date. Empty cells print empty and
// count nothing; a due-date column after the five read ones plays no part.
// A cell that is no date or amount is told with its row, and nothing prints.
TEST(UebersichtReport, PrintsTheRowsInListOrderOrNamesTheBadCell) {
    const QStringList good = {"R1", "01.11.2026", "A", "1,00", "02.12.2026"};
    const struct {
        QList<QStringList> list;
        const char* message; // nullptr: printed
    } cases[] = {
        {{{"R1003", "05.11.2026", "Krämer KG", "1.234,50", "01.12.2026"},
          {"R1001", "3.11.2026", "Müller", "99,00", "02.12.2026"},
          {"R1002", "04.11.2026", "Öztürk", "-10,00", "03.12.2026", "15.12.2026"},
          {"R8", "", "", "", ""},
          {"R9", "01.11.2026", "B", "2,50", ""}},
         nullptr},
        {{good, {"R2", "31.02.2026", "B", "1,00", "02.12.2026"}},
         "In Zeile 2 (Rechnung R2) ist das Rechnungsdatum „31.02.2026“ kein Datum."},
        {{{"R1", "01.11.2026", "A", "1,00", "2026-12-02"}},
         "In Zeile 1 (Rechnung R1) ist das Überleitungsdatum „2026-12-02“ kein Datum."},
        {{good, good, {"R3", "01.11.2026", "C", "1.234.50", "02.12.2026"}},
         "In Zeile 3 (Rechnung R3) ist der Bruttopreis „1.234.50“ kein Betrag."},
        {{{"", "01.11.2026", "A", "zehn", "02.12.2026"}},
         "In Zeile 1 ist der Bruttopreis „zehn“ kein Betrag."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message ? c.message : "printed");
        RecordingPrompter prompter;
        EXPECT_EQ(PrintUebersicht(c.list, printDate, prompter), !c.message);
        if (c.message) {
            EXPECT_TRUE(prompter.reports.isEmpty());
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
            EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
            EXPECT_EQ(prompter.messages[0].text,
                      "Die Übersicht kann nicht gedruckt werden: " + QString::fromUtf8(c.message));
            continue;
        }
        EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
        TempFolder temp;
        const QStringList pages =
            PdfText::shownReportPages(prompter.reports, "Uebersicht", temp.file("U.pdf"));
        ASSERT_EQ(pages.size(), 1);
        EXPECT_EQ(PdfText::missingLines(pages[0], {"R1003 05.11.2026 Krämer KG 01.12.2026 1.234,50",
                                                   "R1001 03.11.2026 Müller 02.12.2026 99,00",
                                                   "R1002 04.11.2026 Öztürk 03.12.2026 -10,00", "R8",
                                                   "R9 01.11.2026 B 2,50", "Summe: 1.326,00"}),
                  QStringList());
        EXPECT_FALSE(pages[0].contains("15.12.2026"));
    }
}

} // namespace
