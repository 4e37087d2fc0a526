#include "output/ReportEngine.h"

#include "PdfText.h"
#include "QtPrinters.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Rows a fifteenth of a page high and a total as high as a row.
ReportLayout tallRows(qsizetype count) {
    ReportLayout report;
    report.width = twipsFromCm(19);
    report.fonts = {reportFont(10)};
    report.pageHeader.height = 300;
    report.pageHeader.addText(0, 0, 3000, 300, QStringLiteral("Kopf"));
    report.pageFooter.height = 300;
    report.pageFooter.addPageCounter(twipsFromCm(19), 0, 300);
    report.reportFooter.height = 1000;
    report.reportFooter.addText(0, 0, 3000, 300, QStringLiteral("Summe"));
    report.rowCount = count;
    report.detail = [](qsizetype row) {
        ReportBand band;
        band.height = 1000;
        band.addText(0, 0, 3000, 300, QStringLiteral("Zeile %1").arg(row + 1));
        return band;
    };
    return report;
}

TEST(ReportEngine, TheTotalNeverStandsAloneOnAPage) {
    TempFolder temp;
    int breaks = 0;
    for (qsizetype count = 1; count <= 40; ++count) {
        SCOPED_TRACE(count);
        const ReportLayout report = tallRows(count);
        const QStringList pages = PdfText::reportPages(
            [&](QPagedPaintDevice& device) { return renderReport(device, report); }, temp.file("rows.pdf"));
        ASSERT_FALSE(pages.isEmpty());
        const QString& last = pages.last();
        EXPECT_TRUE(last.contains(QStringLiteral("Zeile %1\n").arg(count)));
        EXPECT_TRUE(last.contains("Summe"));
        for (int p = 0; p < pages.size(); ++p) {
            EXPECT_TRUE(pages[p].contains("Kopf"));
            EXPECT_EQ(PdfText::pageCounter(pages[p]),
                      QStringLiteral("Seite: %1 / %2").arg(p + 1).arg(pages.size()));
        }
        breaks = int(pages.size()) - 1;
    }
    EXPECT_GE(breaks, 2);
}

TEST(ReportEngine, TextRunsPastItsBoxAndIsElidedOnlyAtThePageEdge) {
    TempFolder temp;
    ReportLayout report;
    report.width = twipsFromCm(19);
    report.fonts = {reportFont(10)};
    report.rowCount = 1;
    const QString runs = QStringLiteral("Dieser Text ist länger als sein Feld");
    const QString tooLong = QStringLiteral("Wort ").repeated(60) + QStringLiteral("Ende");
    report.detail = [&](qsizetype) {
        ReportBand band;
        band.height = 600;
        band.addText(0, 0, 500, 300, runs);
        band.addText(0, 300, 500, 300, tooLong);
        return band;
    };
    const QStringList pages = PdfText::reportPages(
        [&](QPagedPaintDevice& device) { return renderReport(device, report); }, temp.file("edge.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(PdfText::lineWith(pages[0], "Dieser"), runs);
    EXPECT_TRUE(PdfText::lineWith(pages[0], "Wort").endsWith(QChar(0x2026)));
    EXPECT_FALSE(pages[0].contains("Ende"));
}

TEST(ReportEngine, WrappedTextPushesTheNextRowDown) {
    TempFolder temp;
    ReportLayout report;
    report.width = twipsFromCm(19);
    report.fonts = {reportFont(10)};
    report.rowCount = 2;
    report.detail = [](qsizetype row) {
        ReportBand band;
        band.height = 300;
        band.addWrappingText(0, 0, 1400, 300,
                             row == 0 ? QStringLiteral("eins zwei drei vier fünf sechs")
                                      : QStringLiteral("sieben"));
        band.addText(1500, 0, 2000, 300, QStringLiteral("Spalte %1").arg(row + 1));
        return band;
    };
    const QStringList pages = PdfText::reportPages(
        [&](QPagedPaintDevice& device) { return renderReport(device, report); }, temp.file("wrap.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const QStringList lines = pages[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto lineOf = [&](const QString& word) {
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].contains(word))
                return i;
        }
        return -1;
    };
    EXPECT_EQ(lineOf("eins"), lineOf("Spalte 1"));
    EXPECT_GT(lineOf("sechs"), lineOf("eins"));
    EXPECT_GT(lineOf("sieben"), lineOf("sechs"));
    EXPECT_EQ(lineOf("sieben"), lineOf("Spalte 2"));
}

} // namespace
