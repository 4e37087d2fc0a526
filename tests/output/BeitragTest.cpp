#include "output/Beitrag.h"

#include "PdfText.h"
#include "QtPrinters.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

Buchung booking(const QString& rechnung, qint64 cents) {
    Buchung b;
    b.Rechnung = rechnung;
    b.Verwendungszweck = QStringLiteral("Zweck ") + rechnung;
    b.Betrag = cents;
    b.Name = QStringLiteral("Mueller");
    b.DruckName = QStringLiteral("  Müller ");
    b.Vorname = QStringLiteral("Juergen");
    b.DruckVorname = QStringLiteral(" Jürgen");
    b.IBAN = QStringLiteral("DE89370400440532013000");
    b.BIC = QStringLiteral("COBADEFFXXX");
    return b;
}

// The names print as read, not as sanitized for the bank; a purpose text of
// the panel replaces every booking's own.
TEST(Beitrag, PrintsTheBookingsAsReadWithThePanelsPurposeText) {
    TempFolder temp;
    BookingList bookings;
    bookings.append(booking(QStringLiteral("R-1001"), 123450));
    bookings.append(booking(QStringLiteral("R-2"), 200));
    const struct {
        QString panelText, firstLine, secondLine;
    } rows[] = {
        {{},
         "R-1001 Müller Jürgen COBADEFFXXX DE89370400440532013000 Zweck R-1001 1.234,50",
         "R-2 Müller Jürgen COBADEFFXXX DE89370400440532013000 Zweck R-2 2,00"},
        {"Sammelzahlung Dezember",
         "R-1001 Müller Jürgen COBADEFFXXX DE89370400440532013000 Sammelzahlung Dezember 1.234,50",
         "R-2 Müller Jürgen COBADEFFXXX DE89370400440532013000 Sammelzahlung Dezember 2,00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.panelText.toStdString());
        RecordingPrompter prompter;
        PrintBeitrag(beitragReport(beitragRows(bookings, row.panelText), QDate(2026, 12, 7)), prompter);
        const QStringList pages =
            PdfText::shownReportPages(prompter.reports, QStringLiteral("Beitrag"), temp.file("Beitrag.pdf"));
        ASSERT_EQ(pages.size(), 1);
        const QString& page = pages[0];
        EXPECT_EQ(PdfText::lineWith(page, "Einzelbuchungen"), "Einzelbuchungen SEPA");
        EXPECT_EQ(PdfText::lineWith(page, "RechnungsNr."),
                  "RechnungsNr. Nachname Vorname BIC IBAN Verwendungszweck Betrag");
        EXPECT_EQ(PdfText::lineWith(page, "R-1001"), row.firstLine);
        EXPECT_EQ(PdfText::lineWith(page, "R-2 "), row.secondLine);
        EXPECT_FALSE(page.contains("Mueller") || page.contains("Juergen"));
        EXPECT_EQ(PdfText::lineWith(page, "Summe:"), "Summe: 1.236,50");
        EXPECT_TRUE(PdfText::lineWith(page, "Seite:").startsWith("Montag, 7. Dezember 2026 Seite:"));
        EXPECT_EQ(PdfText::pageCounter(page), "Seite: 1 / 1");
    }
}

} // namespace
