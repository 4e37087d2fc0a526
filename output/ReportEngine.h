#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;
class QPageRanges;
class QPagedPaintDevice;
class QPainter;
class QPaintDevice;
class QPointF;

// A small banded report renderer: a report is a handful of bands (report
// header, page header, one detail band per row, page footer, report footer)
// laid out on A4 pages of any QPagedPaintDevice. Positions are twips
// (1/1440 inch) from the band's top left corner.

// Twips from centimetres, for layouts measured on a centimetre grid.
constexpr int twipsFromCm(double centimetres) {
    return int(centimetres * 1440.0 / 2.54 + 0.5);
}

// Arial, as every report uses it; Liberation Sans where Arial is missing
// (same metrics, so the layouts keep their widths).
QFont reportFont(double pointSize, bool bold = false);

struct ReportItem {
    enum class Kind { Text, Line };
    enum class Align { Left, Right, Center };
    // What a text item shows: its text, or a page counter filled in when drawn.
    enum class Field { Text, PageNumber, PageCount };

    Kind kind = Kind::Text;
    // A text's box, or a line from (x, y) to (x + width, y + height).
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QString text;
    int font = 0; // index into ReportLayout::fonts
    Align align = Align::Left;
    Field field = Field::Text;
    // A wrapping text that is too wide for its box runs on into the free room
    // up to the next text of its band (or the page edge) and breaks into lines
    // only when that is not enough; the band grows with it. Any other text
    // stays on one line and may run past its box; it is elided only at the
    // edge of the page.
    bool wrap = false;
};

struct ReportBand {
    int height = 0;
    QList<ReportItem> items;

    ReportItem& addText(int x, int y, int width, int height, const QString& text, int font = 0,
                        ReportItem::Align align = ReportItem::Align::Left);
    // A text that may wrap and let the band grow, see ReportItem::wrap.
    ReportItem& addWrappingText(int x, int y, int width, int height, const QString& text, int font = 0);
    ReportItem& addLine(int x1, int y1, int x2, int y2);
    // "Seite:", the page number, " /" and the number of pages, ending at right:
    // reads "Seite: 3 / 7".
    void addPageCounter(int right, int y, int height, int font = 0);
};

struct ReportLayout {
    // Width of the layout in twips; it is centred on the printable width.
    int width = 0;
    QList<QFont> fonts;
    ReportBand reportHeader; // once, on the first page, above the page header
    ReportBand pageHeader;   // at the top of every page
    ReportBand pageFooter;   // at the bottom of every page
    ReportBand reportFooter; // once, after the last row
    qsizetype rowCount = 0;
    // Fills the band of a row into an empty band, which is handed in again
    // for the next row so that its items keep their room.
    std::function<void(qsizetype row, ReportBand& band)> detail;
    // The band is handed in as the row before left it (empty before the
    // first row), for rows that differ only in their texts: detail then sets
    // those instead of building the band anew.
    bool detailRefills = false;
};

// A report ready to be drawn, owning what its rows are built from, so it can
// be drawn later or on another thread.
using Report = std::shared_ptr<const ReportLayout>;

// Sets A4 portrait on the device and draws the report. Returns false when the
// device cannot be painted on.
bool renderReport(QPagedPaintDevice& device, const ReportLayout& layout);

// A report laid out once on a paged device, page breaks and page count known,
// whose pages are then drawn on demand: the window's print preview paints
// only the pages in view, and printing may take a range. Holds the layout by
// reference; it must outlive this.
class ReportPages {
public:
    // Sets A4 portrait on the device, as renderReport does, and lays the
    // report out for it.
    ReportPages(QPagedPaintDevice& device, const ReportLayout& layout);
    ~ReportPages();
    ReportPages(const ReportPages&) = delete;
    ReportPages& operator=(const ReportPages&) = delete;

    int pageCount() const;
    // Draws one page (from 0) with an open painter whose origin is the top
    // left corner of the printable area, in the device's units; the painter's
    // device must report the device's resolution, so fonts keep their size.
    void paintPage(QPainter& painter, int page) const;
    // Draws the pages in ranges (numbered from 1; every page when empty) on
    // the device, each with its own page number. False when the device
    // cannot be painted on or no page is in ranges.
    bool print(const QPageRanges& ranges) const;

private:
    struct Laid;
    std::unique_ptr<Laid> m_laid;
};

// Writes the report as an A4 PDF into out, with title and creator in its
// document information. Texts that the PDF's standard fonts cannot carry
// (outside Windows-1252) send the whole report through QPdfWriter instead.
// False when out refused a write.
bool writeReportPdf(QIODevice& out, const ReportLayout& layout, const QString& title);

// What the renderer draws on, in the units of the device it measures with,
// from the top left corner of the printable area.
class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;
    // Called before the first page and between pages.
    virtual bool newPage() = 0;
    // One run of text on one line from its baseline.
    virtual void drawText(int font, const QPointF& baseline, const QString& text) = 0;
    virtual void drawLine(const QPointF& from, const QPointF& to) = 0;
    virtual bool finish() = 0;
};
