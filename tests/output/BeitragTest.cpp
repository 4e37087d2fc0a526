#include "output/Beitrag.h"

#include "PdfText.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

// The names print as read, not as sanitized for the bank; a purpose text of
// the panel replaces every booking's own.
TEST(Beitrag, PrintsTheBookingsAsReadWithThePanelsPurposeText) {
    BookingList bookings;
    for (const auto& [rechnung, cents] : {std::pair{"R-1001", 123450}, std::pair{"R-2", 200}}) {
        Buchung b;
        b.Rechnung = rechnung;
        b.Verwendungszweck = QStringLiteral("Zweck ") + rechnung;
        b.Betrag = cents;
        b.Name = "Mueller";
        b.DruckName = "  Müller ";
        b.Vorname = "Juergen";
        b.DruckVorname = " Jürgen";
        b.IBAN = "DE89370400440532013000";
        b.BIC = "COBADEFFXXX";
        bookings.append(b);
    }
    TempFolder temp;
    for (const QString panelText : {"", "Sammelzahlung Dezember"}) {
        SCOPED_TRACE(panelText.toStdString());
        RecordingPrompter prompter;
        PrintBeitrag(beitragReport(beitragRows(bookings, panelText), QDate(2026, 12, 7)), prompter);
        const QStringList pages = PdfText::shownReportPages(prompter.reports, "Beitrag", temp.file("B.pdf"));
        ASSERT_EQ(pages.size(), 1);
        const QString row = "%1 Müller Jürgen COBADEFFXXX DE89370400440532013000 %2 %3";
        const auto purpose = [&](const char* name) {
            return panelText.isEmpty() ? "Zweck " + QString(name) : panelText;
        };
        EXPECT_EQ(
            PdfText::missingLines(pages[0], {row.arg("R-1001", purpose("R-1001"), "1.234,50"),
                                             row.arg("R-2", purpose("R-2"), "2,00"), "Summe: 1.236,50"}),
            QStringList());
        EXPECT_FALSE(pages[0].contains("Mueller") || pages[0].contains("Juergen"));
    }
}

} // namespace
