#pragma once

#include "base/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads PDFs back through poppler's command-line tools.
namespace PdfText {

// Writes a report into a PDF at pdfPath, as batch mode does, and returns its
// pages; a report that cannot be written gives a test failure and no pages.
QStringList reportPages(const Report& report, const QString& pdfPath);
// The same for the one report a prompter was shown, which must carry this name.
QStringList shownReportPages(const QList<QPair<QString, Report>>& shown, const QString& reportName,
                             const QString& pdfPath);

// The text of every page as `pdftotext -layout` lays it out.
QStringList pages(const QString& pdfPath);
// A word and its box in points from the top left corner of its page.
struct Word {
    int page = 0; // counted from 0
    QString text;
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;
};
// Every word of the PDF with its box (`pdftotext -bbox`).
QList<Word> words(const QString& pdfPath);
// The first word with this text, on the given page or on any page (-1); a
// test failure and an empty word when there is none.
Word word(const QList<Word>& words, const QString& text, int page = -1);

// The names of the fonts the PDF uses, as `pdffonts` lists them.
QStringList fonts(const QString& pdfPath);
// The first line of a page that contains needle, with its runs of blanks
// squeezed to one; empty when no line has it.
QString lineWith(const QString& page, const QString& needle);
// The expected lines that the page lacks, each line of the page taken with
// its runs of blanks squeezed to one; empty when it has them all.
QStringList missingLines(const QString& page, const QStringList& expected);
// The page counter of a page as it reads, "Seite: 3 / 7". pdftotext drops
// the blank between the counter's parts, so the blanks are put back.
QString pageCounter(const QString& page);

} // namespace PdfText
