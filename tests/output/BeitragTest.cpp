#include "output/Beitrag.h"

#include "GuiApplication.h"
#include "PdfText.h"
#include "QtPrinters.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"

#include <QPdfWriter>

#include <gtest/gtest.h>

namespace {

const QDate printDate(2026, 12, 7);

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

class BeitragReport : public ::testing::Test {
protected:
    // Runs PrintBeitrag and draws what it hands to the prompter.
    QStringList print(const BookingList& bookings, const QString& panelText = {}) {
        RecordingPrompter prompter;
        PrintBeitrag(beitragReport(beitragRows(bookings, panelText), printDate), prompter);
        EXPECT_EQ(prompter.reports.size(), 1);
        if (prompter.reports.isEmpty())
            return {};
        EXPECT_EQ(prompter.reports[0].first, "Beitrag");
        return PdfText::reportPages(prompter.reports[0].second, temp.file(QStringLiteral("Beitrag.pdf")));
    }

    TempFolder temp;
};

TEST_F(BeitragReport, OneBookingWithTitleCaptionsTotalAndFooter) {
    BookingList bookings;
    bookings.append(booking(QStringLiteral("R-1001"), 123450));
    const QStringList pages = print(bookings);
    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages[0];
    EXPECT_EQ(PdfText::lineWith(page, "Einzelbuchungen"), "Einzelbuchungen SEPA");
    EXPECT_EQ(PdfText::lineWith(page, "RechnungsNr."),
              "RechnungsNr. Nachname Vorname BIC IBAN Verwendungszweck Betrag");
    EXPECT_EQ(PdfText::lineWith(page, "R-1001"),
              "R-1001 Müller Jürgen COBADEFFXXX DE89370400440532013000 Zweck R-1001 1.234,50");
    EXPECT_EQ(PdfText::lineWith(page, "Summe:"), "Summe: 1.234,50");
    EXPECT_TRUE(PdfText::lineWith(page, "Seite:").startsWith("Montag, 7. Dezember 2026 Seite:"));
    EXPECT_EQ(PdfText::pageCounter(page), "Seite: 1 / 1");
}

TEST_F(BeitragReport, ColumnsSitWhereTheLayoutPutsThem) {
    BookingList bookings;
    bookings.append(booking(QStringLiteral("R-1"), 7));
    bookings.append(booking(QStringLiteral("R-2"), 123456789));
    ASSERT_EQ(print(bookings).size(), 1);
    const QList<PdfText::Word> words = PdfText::words(temp.file(QStringLiteral("Beitrag.pdf")));
    const auto cm = [](double centimetres) { return centimetres * 72 / 2.54; };
    const double left = PdfText::word(words, "RechnungsNr.").xMin;
    const auto x = [&](const QString& text) { return PdfText::word(words, text).xMin - left; };
    const auto right = [&](const QString& text) { return PdfText::word(words, text).xMax - left; };
    EXPECT_NEAR(x("Nachname"), cm(3.3), 0.5);
    EXPECT_NEAR(x("Vorname"), cm(5.7), 0.5);
    EXPECT_NEAR(x("BIC"), cm(7.7), 0.5);
    EXPECT_NEAR(x("IBAN"), cm(9.9), 0.5);
    EXPECT_NEAR(x("Verwendungszweck"), cm(13.7), 0.5);
    EXPECT_NEAR(right("Betrag"), cm(19), 0.5);
    EXPECT_NEAR(x("R-1"), 0, 0.5);
    EXPECT_NEAR(x("Müller"), cm(3.3), 0.5);
    EXPECT_NEAR(x("COBADEFFXXX"), cm(7.7), 0.5);
    EXPECT_NEAR(right("0,07"), cm(19), 0.5);
    EXPECT_NEAR(right("1.234.567,89"), cm(19), 0.5);
    EXPECT_NEAR(x("Summe:"), cm(13.9), 0.5);
    EXPECT_NEAR(right("1.234.567,96"), cm(19), 0.5);
    const PdfText::Word title = PdfText::word(words, "Einzelbuchungen");
    EXPECT_NEAR((title.xMin + PdfText::word(words, "SEPA").xMax) / 2 - left, cm(9.5), 1);
}

TEST_F(BeitragReport, PrintsTheNameAsReadNotTheSanitizedOne) {
    BookingList bookings;
    bookings.append(booking(QStringLiteral("R-1"), 100));
    const QStringList pages = print(bookings);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Müller"));
    EXPECT_TRUE(pages[0].contains("Jürgen"));
    EXPECT_FALSE(pages[0].contains("Mueller"));
    EXPECT_FALSE(pages[0].contains("Juergen"));
}

TEST_F(BeitragReport, PanelPurposeTextReplacesEveryBookingsOwn) {
    BookingList bookings;
    bookings.append(booking(QStringLiteral("R-1"), 100));
    bookings.append(booking(QStringLiteral("R-2"), 200));

    const QStringList replaced = print(bookings, QStringLiteral("Sammelzahlung Dezember"));
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_FALSE(replaced[0].contains("Zweck R-"));
    EXPECT_TRUE(PdfText::lineWith(replaced[0], "R-1 ").contains("Sammelzahlung Dezember 1,00"));
    EXPECT_TRUE(PdfText::lineWith(replaced[0], "R-2 ").contains("Sammelzahlung Dezember 2,00"));

    const QStringList own = print(bookings);
    ASSERT_EQ(own.size(), 1);
    EXPECT_FALSE(own[0].contains("Sammelzahlung"));
    EXPECT_TRUE(PdfText::lineWith(own[0], "R-1 ").contains("Zweck R-1 1,00"));
    EXPECT_TRUE(PdfText::lineWith(own[0], "R-2 ").contains("Zweck R-2 2,00"));
}

TEST_F(BeitragReport, LongTextsPrintInFull) {
    BookingList bookings;
    Buchung b = booking(QStringLiteral("R-1"), 100);
    b.DruckName = QStringLiteral("Grundbesitz und Beteiligungen Schönhausen Nord Verwaltungs GmbH");
    bookings.append(b);
    const QString panelText = QStringLiteral("Mitgliedsbeitrag Dezember 2026 laut Vertrag vom 1. Januar");
    const QStringList pages = print(bookings, panelText);
    ASSERT_EQ(pages.size(), 1);
    for (const QString& word : (b.DruckName + QLatin1Char(' ') + panelText).split(QLatin1Char(' ')))
        EXPECT_TRUE(pages[0].contains(word)) << word.toStdString();
}

TEST_F(BeitragReport, ManyBookingsBreakIntoPagesWithCaptionsAndCounterOnEach) {
    BookingList bookings;
    for (int i = 1; i <= 130; ++i)
        bookings.append(booking(QStringLiteral("R-%1").arg(i, 4, 10, QLatin1Char('0')), 10000 + i));
    const QStringList pages = print(bookings);
    ASSERT_EQ(pages.size(), 3);
    int next = 1;
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(pages[p].contains("Einzelbuchungen SEPA"), p == 0);
        EXPECT_FALSE(PdfText::lineWith(pages[p], "RechnungsNr.").isEmpty());
        EXPECT_TRUE(PdfText::lineWith(pages[p], "Seite:").startsWith("Montag, 7. Dezember 2026"));
        EXPECT_EQ(PdfText::pageCounter(pages[p]), QStringLiteral("Seite: %1 / 3").arg(p + 1));
        EXPECT_EQ(pages[p].contains("Summe:"), p == 2);
        // Every booking once, in list order, across the pages.
        for (const QString& line : pages[p].split(QLatin1Char('\n'))) {
            const QString first = line.simplified().section(QLatin1Char(' '), 0, 0);
            if (first.startsWith("R-")) {
                EXPECT_EQ(first, QStringLiteral("R-%1").arg(next++, 4, 10, QLatin1Char('0')));
            }
        }
    }
    EXPECT_EQ(next, 131);
    EXPECT_EQ(PdfText::lineWith(pages[2], "Summe:"), "Summe: 13.085,15"); // 130 * 100,00 + 85,15
}

TEST(BeitragRender, ReportsAPdfThatCannotBeWritten) {
    ensureGuiApplication();
    TempFolder temp;
    QPdfWriter pdf(temp.file(QStringLiteral("missing/Beitrag.pdf")));
    EXPECT_FALSE(renderReport(pdf, *beitragReport({}, printDate)));
}

} // namespace
