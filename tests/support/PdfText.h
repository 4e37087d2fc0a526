#pragma once

#include "export/Prompter.h"

#include <QString>
#include <QStringList>

// Reads PDFs back through poppler's command-line tools.
namespace PdfText {

// Draws a report into a PDF at pdfPath, as batch mode does, and returns its
// pages; a painter that fails gives a test failure and no pages.
QStringList reportPages(const Prompter::ReportPainter& paint, const QString& pdfPath);

// The text of every page as `pdftotext -layout` lays it out.
QStringList pages(const QString& pdfPath);
// The text of every page in drawing order (`pdftotext -raw`): keeps single
// blanks that the layout mode drops between letter-spaced characters.
QStringList rawPages(const QString& pdfPath);
// The names of the fonts the PDF uses, as `pdffonts` lists them.
QStringList fonts(const QString& pdfPath);
// The first line of a page that contains needle, with its runs of blanks
// squeezed to one; empty when no line has it.
QString lineWith(const QString& page, const QString& needle);
// The page counter of a page as it reads, "Seite: 3 / 7". pdftotext drops
// the blank between the counter's parts, so the blanks are put back.
QString pageCounter(const QString& page);

} // namespace PdfText
