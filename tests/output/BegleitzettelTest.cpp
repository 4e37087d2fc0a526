#include "output/Begleitzettel.h"

#include "PdfText.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "base/Firmendaten.h"

#include <gtest/gtest.h>

namespace {

class BegleitzettelReport : public ::testing::Test {
protected:
    BegleitzettelReport() {
        firma.FirmenName = "Brevanta Musterfirma GmbH";
        firma.Bank = "Commerzbank Köln";
        firma.Bankleitzahl = "COBADEFFXXX";
        firma.Kontonummer = "DE89370400440532013000";
        firma.Referenznummer = "4711-REF";
    }
    // Runs PrintBegleitzettel and draws what it hands to the prompter.
    QStringList print(int count, qint64 cents, double sumKontoNr = 0, double sumBlz = 0,
                      bool directDebit = false) {
        RecordingPrompter prompter;
        PrintBegleitzettel(count, cents, sumKontoNr, sumBlz, firma, QDate(2026, 12, 7), directDebit,
                           prompter);
        return PdfText::shownReportPages(prompter.reports, "Begleitzettel", pdf);
    }

    Firmendaten firma;
    TempFolder temp;
    const QString pdf = temp.file("Begleitzettel.pdf");
};

// The checksums of accounts and bank codes are handed over but not printed.
TEST_F(BegleitzettelReport, OnePageWithTotalsAndTheCompanysBankData) {
    const QStringList pages = print(1, 123450, 987654321, 123456789);
    ASSERT_EQ(pages.size(), 1);
    // Letter-spaced: the layout text joins the letters, the words keep them apart ("D" below).
    EXPECT_EQ(PdfText::lineWith(pages[0], "BEGLEIT"), "DATENTRÄGER BEGLEITZETTEL");
    EXPECT_EQ(PdfText::missingLines(
                  pages[0],
                  {"Sammel - Gutschriftauftrag Volume-Nr.:", "Erstellungsdatum 07.12.2026",
                   "Anzahl der Überweisungen 1", "Summe in EUR 1.234,50", "BIC des Absenders COBADEFFXXX",
                   "IBAN des Absenders DE89370400440532013000",
                   "Name des Absenders Brevanta Musterfirma GmbH", "Datenträgerempfänger Commerzbank Köln",
                   "Referenznummer 4711-REF", "07.12.2026 (Unterschrift)"}),
              QStringList());
    EXPECT_FALSE(pages[0].contains("987654321") || pages[0].contains("123456789"));

    const QList<PdfText::Word> words = PdfText::words(pdf);
    const auto cm = [](double centimetres) { return centimetres * 72 / 2.54; };
    const PdfText::Word sammel = PdfText::word(words, "Sammel");
    const double left = sammel.xMin - cm(1); // the layout's left edge
    // Word, its left edge and its top below "Sammel", in centimetres; -1: unchecked.
    const std::tuple<const char*, double, double> places[] = {
        {"D", 3.8, -1},          {"Volume-Nr.:", 13, -1},     {"07.12.2026", 13, -1},
        {"COBADEFFXXX", 13, -1}, {"Erstellungsdatum", -1, 1}, {"Summe", -1, 3},
        {"BIC", -1, 6},          {"Referenznummer", -1, 10}};
    for (const auto& [text, x, down] : places) {
        const PdfText::Word w = PdfText::word(words, text);
        EXPECT_TRUE(x < 0 || std::abs(w.xMin - left - cm(x)) < 0.5) << text << " " << w.xMin - left;
        EXPECT_TRUE(down < 0 || std::abs(w.yMin - sammel.yMin - cm(down)) < 0.5) << text << " " << w.yMin;
    }
    const PdfText::Word signature = PdfText::word(words, "(Unterschrift)");
    EXPECT_NEAR((signature.xMin + signature.xMax) / 2 - left, cm(15), 1);
    // The date under the signature line, with the year in full.
    PdfText::Word signedOn;
    for (const PdfText::Word& w : words)
        if (w.text == "07.12.2026" && w.yMin > signedOn.yMin)
            signedOn = w;
    EXPECT_NEAR(signedOn.xMin - left, cm(8), 0.5);
    EXPECT_NEAR(signedOn.yMin - sammel.yMin, cm(14.15), 0.5);
}

// The note names the kind of the file beside it; the count is grouped in
// thousands, the sum in German notation, and a long company name in full.
struct NoteCase {
    const char* name;
    bool directDebit;
    int count;
    qint64 cents;
    const char* order;
    const char* countLine;
    const char* sumLine;
};

class BegleitzettelKinds : public BegleitzettelReport, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(BegleitzettelKinds, NameTheirOrderAndCountAndPrintInFull) {
    const NoteCase& c = GetParam();
    firma.FirmenName = "Brevanta Musterfirma Handels- und Dienstleistungsgesellschaft mbH & Co. KG Köln";
    const QStringList pages = print(c.count, c.cents, 0, 0, c.directDebit);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(PdfText::missingLines(pages[0], {QString::fromUtf8(c.order) + " Volume-Nr.:",
                                               QString::fromUtf8(c.countLine), QString::fromUtf8(c.sumLine)}),
              QStringList())
        << pages[0].toStdString();
    const QStringList otherKind =
        c.directDebit ? QStringList({"Gutschrift", "Überweisung"}) : QStringList({"Lastschrift"});
    for (const QString& word : otherKind)
        EXPECT_FALSE(pages[0].contains(word)) << word.toStdString();
    for (const QString& word : firma.FirmenName.split(QLatin1Char(' ')))
        EXPECT_TRUE(pages[0].contains(word)) << word.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Note, BegleitzettelKinds,
    ::testing::Values(NoteCase{"NoTransfers", false, 0, 0, "Sammel - Gutschriftauftrag",
                               "Anzahl der Überweisungen 0", "Summe in EUR 0,00"},
                      NoteCase{"OneDebit", true, 1, 123450, "Sammel - Lastschriftauftrag",
                               "Anzahl der Lastschriften 1", "Summe in EUR 1.234,50"},
                      NoteCase{"TwentyThousandDebits", true, 20000, 2039285075, "Sammel - Lastschriftauftrag",
                               "Anzahl der Lastschriften 20.000", "Summe in EUR 20.392.850,75"},
                      NoteCase{"HundredThousandTransfers", false, 100000, 123456789012,
                               "Sammel - Gutschriftauftrag", "Anzahl der Überweisungen 100.000",
                               "Summe in EUR 1.234.567.890,12"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
