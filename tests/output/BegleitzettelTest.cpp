#include "output/Begleitzettel.h"

#include "PdfText.h"
#include "QtPrinters.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "export/Firmendaten.h"

#include <gtest/gtest.h>

namespace {

class BegleitzettelReport : public ::testing::Test {
protected:
    BegleitzettelReport() {
        firma.FirmenName = QStringLiteral("Brevanta Musterfirma GmbH");
        firma.Bank = QStringLiteral("Commerzbank Köln");
        firma.Bankleitzahl = QStringLiteral("COBADEFFXXX");
        firma.Kontonummer = QStringLiteral("DE89370400440532013000");
        firma.Referenznummer = QStringLiteral("4711-REF");
    }

    // Runs PrintBegleitzettel and draws what it hands to the prompter.
    QStringList print(int count, qint64 cents, double sumKontoNr = 0, double sumBlz = 0) {
        RecordingPrompter prompter;
        PrintBegleitzettel(count, cents, sumKontoNr, sumBlz, firma, QDate(2026, 12, 7), prompter);
        return PdfText::shownReportPages(prompter.reports, QStringLiteral("Begleitzettel"), pdf());
    }
    QString pdf() const { return temp.file(QStringLiteral("Begleitzettel.pdf")); }

    Firmendaten firma;
    TempFolder temp;
};

// The checksums of accounts and bank codes are handed over but not printed.
TEST_F(BegleitzettelReport, OnePageWithTotalsAndTheCompanysBankData) {
    const QStringList pages = print(1, 123450, 987654321, 123456789);
    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages[0];
    const QStringList raw = PdfText::rawPages(pdf());
    ASSERT_EQ(raw.size(), 1);
    EXPECT_EQ(PdfText::lineWith(raw[0], "B E G"), "D A T E N T R Ä G E R B E G L E I T Z E T T E L");
    EXPECT_EQ(PdfText::lineWith(page, "Sammel"), "Sammel - Gutschriftauftrag Volume-Nr.:");
    EXPECT_EQ(PdfText::lineWith(page, "Erstellungsdatum"), "Erstellungsdatum 07.12.2026");
    EXPECT_EQ(PdfText::lineWith(page, "Anzahl der Überweisungen"), "Anzahl der Überweisungen 1");
    EXPECT_EQ(PdfText::lineWith(page, "Summe in EUR"), "Summe in EUR 1.234,50");
    EXPECT_EQ(PdfText::lineWith(page, "BIC des Absenders"), "BIC des Absenders COBADEFFXXX");
    EXPECT_EQ(PdfText::lineWith(page, "IBAN des Absenders"), "IBAN des Absenders DE89370400440532013000");
    EXPECT_EQ(PdfText::lineWith(page, "Name des Absenders"), "Name des Absenders Brevanta Musterfirma GmbH");
    EXPECT_EQ(PdfText::lineWith(page, "Datenträgerempfänger"), "Datenträgerempfänger Commerzbank Köln");
    EXPECT_EQ(PdfText::lineWith(page, "Referenznummer"), "Referenznummer 4711-REF");
    EXPECT_EQ(PdfText::lineWith(page, "(Unterschrift)"), "07.12.26 (Unterschrift)");
    EXPECT_FALSE(page.contains("987654321") || page.contains("123456789"));

    const QList<PdfText::Word> words = PdfText::words(pdf());
    const auto cm = [](double centimetres) { return centimetres * 72 / 2.54; };
    const PdfText::Word sammel = PdfText::word(words, "Sammel");
    const double left = sammel.xMin - cm(1); // the layout's left edge
    const auto x = [&](const QString& text) { return PdfText::word(words, text).xMin - left; };
    const auto down = [&](const QString& text) { return PdfText::word(words, text).yMin - sammel.yMin; };
    EXPECT_NEAR(x("D"), cm(3.8), 0.5);
    EXPECT_NEAR(x("Volume-Nr.:"), cm(13), 0.5);
    EXPECT_NEAR(x("07.12.2026"), cm(13), 0.5);
    EXPECT_NEAR(x("COBADEFFXXX"), cm(13), 0.5);
    EXPECT_NEAR(down("Erstellungsdatum"), cm(1), 0.5);
    EXPECT_NEAR(down("Summe"), cm(3), 0.5);
    EXPECT_NEAR(down("BIC"), cm(6), 0.5);
    EXPECT_NEAR(down("Referenznummer"), cm(10), 0.5);
    EXPECT_NEAR(x("07.12.26"), cm(8), 0.5);
    EXPECT_NEAR(down("07.12.26"), cm(14.15), 0.5);
    const PdfText::Word signature = PdfText::word(words, "(Unterschrift)");
    EXPECT_NEAR((signature.xMin + signature.xMax) / 2 - left, cm(15), 1);
}

// The count without thousands separators, the sum in German notation, and a
// long company name in full.
TEST_F(BegleitzettelReport, CountSumAndLongNamesPrintInFull) {
    firma.FirmenName =
        QStringLiteral("Brevanta Musterfirma Handels- und Dienstleistungsgesellschaft mbH & Co. KG Köln");
    for (const auto& [count, cents, countText, sumText] :
         {std::tuple{0, qint64(0), "0", "0,00"},
          std::tuple{100000, qint64(123456789012), "100000", "1.234.567.890,12"}}) {
        SCOPED_TRACE(sumText);
        const QStringList pages = print(count, cents);
        ASSERT_EQ(pages.size(), 1);
        EXPECT_EQ(PdfText::lineWith(pages[0], "Anzahl"),
                  QStringLiteral("Anzahl der Überweisungen ") + countText);
        EXPECT_EQ(PdfText::lineWith(pages[0], "Summe in EUR"), QStringLiteral("Summe in EUR ") + sumText);
        for (const QString& word : firma.FirmenName.split(QLatin1Char(' ')))
            EXPECT_TRUE(pages[0].contains(word)) << word.toStdString();
        EXPECT_FALSE(PdfText::lineWith(pages[0], "Datenträgerempfänger").isEmpty());
    }
}

} // namespace
