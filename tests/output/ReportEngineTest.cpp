#include "output/ReportEngine.h"

#include "base/GermanFormat.h"
#include "output/Beitrag.h"
#include "output/UebersichtReport.h"

#include "PdfText.h"
#include "QtPrinters.h"
#include "TempFolder.h"

#include <QPdfWriter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Rows a fifteenth of a page high and a total as high as a row.
Report tallRows(qsizetype count) {
    auto layout = std::make_shared<ReportLayout>();
    ReportLayout& report = *layout;
    report.width = twipsFromCm(19);
    report.fonts = {reportFont(10)};
    report.pageHeader.height = 300;
    report.pageHeader.addText(0, 0, 3000, 300, QStringLiteral("Kopf"));
    report.pageFooter.height = 300;
    report.pageFooter.addPageCounter(twipsFromCm(19), 0, 300);
    report.reportFooter.height = 1000;
    report.reportFooter.addText(0, 0, 3000, 300, QStringLiteral("Summe"));
    report.rowCount = count;
    report.detail = [](qsizetype row, ReportBand& band) {
        band.height = 1000;
        band.addText(0, 0, 3000, 300, QStringLiteral("Zeile %1").arg(row + 1));
    };
    return layout;
}

TEST(ReportEngine, TheTotalNeverStandsAloneOnAPage) {
    TempFolder temp;
    int breaks = 0;
    for (qsizetype count = 1; count <= 40; ++count) {
        SCOPED_TRACE(count);
        const QStringList pages = PdfText::reportPages(tallRows(count), temp.file("rows.pdf"));
        ASSERT_FALSE(pages.isEmpty());
        const QString& last = pages.last();
        EXPECT_TRUE(last.contains(QStringLiteral("Zeile %1\n").arg(count)));
        EXPECT_TRUE(last.contains("Summe"));
        breaks = int(pages.size()) - 1;
    }
    EXPECT_GE(breaks, 2);
}

// Plain text runs past its box and is elided only at the page edge; wrapped
// text pushes the next row down.
TEST(ReportEngine, TextRunsPastItsBoxOrWrapsAndPushesTheNextRowDown) {
    TempFolder temp;
    auto layout = std::make_shared<ReportLayout>();
    ReportLayout& report = *layout;
    report.width = twipsFromCm(19);
    report.fonts = {reportFont(10)};
    report.rowCount = 3;
    const QString runs = "Dieser Text ist länger als sein Feld";
    const QString tooLong = QStringLiteral("Wort ").repeated(60) + QStringLiteral("Ende");
    report.detail = [&](qsizetype row, ReportBand& band) {
        band.height = row == 2 ? 600 : 300;
        if (row == 2) {
            band.addText(0, 0, 500, 300, runs);
            band.addText(0, 300, 500, 300, tooLong);
            return;
        }
        band.addWrappingText(0, 0, 1400, 300,
                             row == 0 ? QStringLiteral("eins zwei drei vier fünf sechs")
                                      : QStringLiteral("sieben"));
        band.addText(1500, 0, 2000, 300, QStringLiteral("Spalte %1").arg(row + 1));
    };
    const QStringList pages = PdfText::reportPages(layout, temp.file("edge.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(PdfText::lineWith(pages[0], "Dieser"), runs);
    EXPECT_TRUE(PdfText::lineWith(pages[0], "Wort").endsWith(QChar(0x2026)));
    EXPECT_FALSE(pages[0].contains("Ende"));
    const QStringList lines = pages[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto lineOf = [&](const QString& word) {
        const qsizetype line =
            lines.indexOf(QRegularExpression(".*" + QRegularExpression::escape(word) + ".*"));
        EXPECT_GE(line, 0) << word.toStdString();
        return line;
    };
    EXPECT_EQ(lineOf("eins"), lineOf("Spalte 1"));
    EXPECT_GT(lineOf("sechs"), lineOf("eins"));
    EXPECT_GT(lineOf("sieben"), lineOf("sechs"));
    EXPECT_EQ(lineOf("sieben"), lineOf("Spalte 2"));
}

// Where each report puts its columns, total and title, in points from the
// layout's left edge.
struct Layout {
    QStringList captions; // the last one is right-aligned like the amounts
    QList<double> starts;
    double right = 0, summe = 0, sumRight = 0, titleCentre = 0;
    const char *titleStart = nullptr, *titleEnd = nullptr;
};

Layout layoutOf(bool beitrag) {
    const auto cm = [](double centimetres) { return centimetres * 72 / 2.54; };
    const auto pt = [](int twips) { return twips / 20.0; };
    Layout l;
    if (beitrag) {
        l.captions = {"RechnungsNr.", "Nachname", "Vorname", "BIC", "IBAN", "Verwendungszweck", "Betrag"};
        l.starts = {0, cm(3.3), cm(5.7), cm(7.7), cm(9.9), cm(13.7)};
        l.right = l.sumRight = cm(19);
        l.summe = cm(13.9);
        l.titleCentre = cm(9.5);
        l.titleStart = "Einzelbuchungen", l.titleEnd = "SEPA";
        return l;
    }
    l.captions = {"Rechnungsnummer", "Rechnungsdatum", "Rechnungskunde", "Überleitungsdatum", "Bruttopreis"};
    l.starts = {pt(1134), pt(2835), pt(4536), pt(6236)};
    l.right = pt(7937 + 1134);
    l.summe = pt(6435);
    l.sumRight = pt(7455 + 1635);
    l.titleCentre = pt(11190 / 2);
    l.titleStart = "Übersicht", l.titleEnd = "Rechnungen";
    return l;
}

// A row of one report filled to the worst case, each cell as it prints, in
// column order; the last cell is the right-aligned amount.
struct WorstCase {
    const char* name;
    bool beitrag; // else the overview
    QStringList cells;
};

class WorstCaseRow : public ::testing::TestWithParam<WorstCase> {};

// Draws the row alone and reads it back word by word: every cell prints in
// full inside its column, no cell reaches into the next one, and captions,
// total and title sit where the layout puts them.
TEST_P(WorstCaseRow, EveryCellPrintsInFullAndStaysOutOfItsNeighbour) {
    const WorstCase& worst = GetParam();
    const QStringList& c = worst.cells;
    const Layout l = layoutOf(worst.beitrag);
    const QDate date(2026, 12, 7);
    qint64 cents = 0;
    ASSERT_TRUE(GermanFormat::parseAmount(c.last(), &cents));
    TempFolder temp;
    const QString pdf = temp.file("worst.pdf");
    ASSERT_EQ(c.size(), l.captions.size());
    const Report report =
        worst.beitrag
            ? beitragReport({{c[0], c[1], c[2], c[3], c[4], c[5], cents}}, date)
            : uebersichtReport(
                  {{c[0], GermanFormat::parseDate(c[1]), c[2], GermanFormat::parseDate(c[3]), cents}}, date);
    ASSERT_EQ(PdfText::reportPages(report, pdf).size(), 1);
    const QList<PdfText::Word> words = PdfText::words(pdf);
    const PdfText::Word caption = PdfText::word(words, l.captions[0]);
    const double left = caption.xMin - l.starts[0];
    const PdfText::Word summe = PdfText::word(words, "Summe:");
    for (qsizetype i = 0; i < l.starts.size(); ++i)
        EXPECT_NEAR(PdfText::word(words, l.captions[i]).xMin - left, l.starts[i], 0.5) << i;
    EXPECT_NEAR(PdfText::word(words, l.captions.last()).xMax - left, l.right, 0.5);
    EXPECT_NEAR(summe.xMin - left, l.summe, 0.5);
    EXPECT_NEAR((PdfText::word(words, l.titleStart).xMin + PdfText::word(words, l.titleEnd).xMax) / 2 - left,
                l.titleCentre, 1);
    EXPECT_NEAR(PdfText::word(words, "Montag,").xMin - left, 0, 0.5);

    // Each word of the row goes to the column it starts in; the amount is the
    // word that ends at the right edge, the total the one beside "Summe:".
    QList<QList<PdfText::Word>> cells(c.size());
    for (const PdfText::Word& w : words) {
        if (w.text == c.last() && w.yMin > summe.yMin - 1) {
            EXPECT_NEAR(w.xMax - left, l.sumRight, 0.5);
            continue;
        }
        if (w.yMin <= caption.yMax || w.yMax >= summe.yMin)
            continue;
        qsizetype column = 0;
        if (w.text == c.last() && std::abs(w.xMax - left - l.right) < 0.5) {
            column = c.size() - 1;
        } else {
            while (column + 1 < l.starts.size() && w.xMin - left >= l.starts[column + 1] - 0.5)
                ++column;
        }
        cells[column].append(w);
    }
    for (qsizetype i = 0; i < c.size(); ++i) {
        SCOPED_TRACE(c[i].toStdString());
        QString printed;
        for (const PdfText::Word& w : cells[i])
            printed += w.text;
        EXPECT_EQ(printed.toStdString(), QString(c[i]).remove(QLatin1Char(' ')).toStdString());
        if (cells[i].isEmpty())
            continue;
        if (i < l.starts.size()) {
            EXPECT_NEAR(cells[i][0].xMin - left, l.starts[i], 0.5);
        }
        if (i + 1 < c.size() && !cells[i + 1].isEmpty()) {
            double end = 0;
            double next = 1e9;
            for (const PdfText::Word& w : cells[i])
                end = std::max(end, w.xMax);
            for (const PdfText::Word& w : cells[i + 1])
                next = std::min(next, w.xMin);
            EXPECT_LT(end, next);
        }
    }
    EXPECT_NEAR(cells.last().value(0).xMax - left, l.right, 0.5);
}

const QString w15(15, 'W'), w20(20, 'W'), w35(35, 'W'), w50(50, 'W');

INSTANTIATE_TEST_SUITE_P(
    Reports, WorstCaseRow,
    ::testing::Values(
        // An eleven-letter BIC and the longest IBAN in groups of four.
        WorstCase{"BeitragLongestIban",
                  true,
                  {"RE-2026-00003", "Huber", "Anna", "BKAUATWWXXX", "LC55 HEMM 0001 0001 0012 0012 0002 3015",
                   "Abrechnung", "999.999.999.999,99"}},
        WorstCase{"BeitragEveryFieldFull", true, {w20, w50, w50, w15, w50, w35, "-999.999.999,99"}},
        WorstCase{"BeitragLongNameAndPanelText",
                  true,
                  {"R-1", "Grundbesitz und Beteiligungen Schönhausen Nord Verwaltungs GmbH", "Jürgen",
                   "COBADEFFXXX", "DE89370400440532013000",
                   "Mitgliedsbeitrag Dezember 2026 laut Vertrag vom 1. Januar", "1,00"}},
        WorstCase{
            "UebersichtEveryFieldFull", false, {w20, "28.02.2026", w50, "31.12.2026", "-999.999.999,99"}},
        // Longer than the fields of the old report table.
        WorstCase{"UebersichtLongNumberAndCustomer",
                  false,
                  {"RE 2026 Filiale Nord 000123", "01.11.2026",
                   "Bäckerei Müller & Söhne Großhandel für Backwaren und Konditoreibedarf", "02.12.2026",
                   "5,00"}},
        WorstCase{"UebersichtAmountWiderThanItsBox",
                  false,
                  {"RE-2026-00004", "01.11.2026", "Huber", "02.12.2026", "-99.999.999.999.999,99"}}),
    [](const ::testing::TestParamInfo<WorstCase>& info) { return std::string(info.param.name); });

// Both reports over many rows, and the overview of none: the title on the
// first page only; captions, date and counter on every page; every row once
// and in order; the total on the last page alone.
TEST(PrintedReports, BreakIntoPagesWithTheTotalOnTheLast) {
    QList<BeitragRow> bookings;
    QList<UebersichtRow> overview;
    for (int i = 1; i <= 130; ++i) {
        const QString name = QStringLiteral("R-%1").arg(i, 4, 10, QLatin1Char('0'));
        bookings.append(
            {name, "Müller", "Jürgen", "COBADEFFXXX", "DE89370400440532013000", "Zweck", 10000 + i});
        overview.append({name, QDate(2026, 11, 1), "Kunde", QDate(2026, 12, 2), 100001});
    }
    const QDate date(2026, 12, 7);
    const struct {
        const char* title;
        const char* caption;
        Report report;
        int rows, pages;
        const char* total;
    } cases[] = {
        {"Einzelbuchungen SEPA", "RechnungsNr.", beitragReport(bookings, date), 130, 3, "Summe: 13.085,15"},
        {"Übersicht der abgerechneten Rechnungen", "Rechnungsnummer", uebersichtReport(overview, date), 130,
         3, "Summe: 130.001,30"},
        {"Übersicht der abgerechneten Rechnungen", "Rechnungsnummer", uebersichtReport({}, date), 0, 1,
         "Summe: 0,00"},
    };
    TempFolder temp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        const QStringList pages = PdfText::reportPages(c.report, temp.file("pages.pdf"));
        ASSERT_EQ(pages.size(), c.pages);
        int next = 1;
        for (int p = 0; p < pages.size(); ++p) {
            SCOPED_TRACE(p + 1);
            EXPECT_EQ(pages[p].contains(QString::fromUtf8(c.title)), p == 0);
            EXPECT_FALSE(PdfText::lineWith(pages[p], c.caption).isEmpty());
            EXPECT_TRUE(PdfText::lineWith(pages[p], "Seite:").startsWith("Montag, 7. Dezember 2026"));
            EXPECT_EQ(PdfText::pageCounter(pages[p]),
                      QStringLiteral("Seite: %1 / %2").arg(p + 1).arg(c.pages));
            EXPECT_EQ(pages[p].contains("Summe:"), p == c.pages - 1);
            for (const QString& line : pages[p].split(QLatin1Char('\n'))) {
                const QString first = line.simplified().section(QLatin1Char(' '), 0, 0);
                if (first.startsWith("R-")) {
                    EXPECT_EQ(first, QStringLiteral("R-%1").arg(next++, 4, 10, QLatin1Char('0')));
                }
            }
        }
        EXPECT_EQ(next, c.rows + 1);
        EXPECT_EQ(PdfText::lineWith(pages.last(), "Summe:"), c.total);
    }
}

// The own PDF writer against QPdfWriter, which draws the same layout with
// embedded fonts: every word the same and where the layout put it. A text
// outside the standard fonts' code page sends the report through QPdfWriter.
TEST(OwnPdfWriter, WritesTheWordsWhereQPdfWriterDrawsThem) {
    // Text put into a name and a purpose text; Helvetica rather than the embedded layout fonts.
    for (const auto& [unusual, ownFonts] : {std::pair{"Œuvre…", true}, std::pair{"Łódź", false}}) {
        SCOPED_TRACE(unusual);
        TempFolder temp;
        QList<BeitragRow> rows;
        for (int i = 0; i < 70; ++i) {
            rows.append(
                {QStringLiteral("RE-%1").arg(i), "Müller (Süd)\\" + QString(unusual), "Jürgen", "COBADEFFXXX",
                 "DE89 3704 0044 0532 0130 00",
                 (i == 3 ? "Mitgliedsbeitrag Dezember 2026 laut Vertrag vom 1. Januar " : "„Zweck“ 5 € – ") +
                     QString(unusual),
                 qint64(-123456789) * i});
        }
        const Report report = beitragReport(rows, QDate(2026, 12, 7));
        const QString own = temp.file("own.pdf");
        ASSERT_GE(PdfText::reportPages(report, own).size(), 2);
        const QString qt = temp.file("qt.pdf");
        {
            QPdfWriter writer(qt);
            ASSERT_TRUE(renderReport(writer, *report));
        }
        const QList<PdfText::Word> ownWords = PdfText::words(own);
        const QList<PdfText::Word> qtWords = PdfText::words(qt);
        ASSERT_EQ(ownWords.size(), qtWords.size());
        for (qsizetype i = 0; i < ownWords.size(); ++i) {
            SCOPED_TRACE(qtWords[i].text.toStdString());
            EXPECT_EQ(ownWords[i].page, qtWords[i].page);
            EXPECT_EQ(ownWords[i].text, qtWords[i].text);
            EXPECT_NEAR(ownWords[i].xMin, qtWords[i].xMin, 0.5);
            EXPECT_NEAR(ownWords[i].xMax, qtWords[i].xMax, 0.5);
            EXPECT_NEAR(ownWords[i].yMax, qtWords[i].yMax, 0.5);
        }
        for (const QString& font : PdfText::fonts(own))
            EXPECT_EQ(font.startsWith("Helvetica"), ownFonts) << font.toStdString();
    }
}

} // namespace
