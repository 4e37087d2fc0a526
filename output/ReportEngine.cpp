#include "output/ReportEngine.h"

#include "output/PdfCanvas.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

// Room kept free on the sheet, in millimetres; each report is centred
// horizontally inside it.
const QMarginsF sheetMargins(5, 12, 5, 10);

const double linePoints = 0.75;
const int gutter = 85; // twips kept free between a wrapping text and the next

const QPageLayout a4Layout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, sheetMargins,
                       QPageLayout::Millimeter);
}

// Resolution the own PDF writer lays reports out at, as QPdfWriter does.
const int pdfDpi = 1200;

// A device that only measures: the own PDF writer lays reports out on it.
class MeasuringDevice : public QPaintDevice {
public:
    MeasuringDevice(double width, double height) : m_width(width), m_height(height) {}
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return int(m_width);
        case PdmHeight:
            return int(m_height);
        case PdmWidthMM:
            return int(m_width * 25.4 / pdfDpi);
        case PdmHeightMM:
            return int(m_height * 25.4 / pdfDpi);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return pdfDpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    double m_width;
    double m_height;
};

const QString creator = QStringLiteral("BRV32-SEPA-Überweisung");

bool isEmpty(const ReportBand& band) {
    return band.height == 0 && band.items.isEmpty();
}

// A band placed on a page; details are identified by their row.
struct Placement {
    enum class Kind { ReportHeader, PageHeader, Detail, ReportFooter };
    Kind kind;
    qsizetype row;
    double top;
    double height;
    bool wraps; // some text of the band breaks into lines
};

class Renderer {
public:
    // Lays the report out on device, whose page is width by height units.
    Renderer(const QPaintDevice& device, double width, double height, const ReportLayout& layout);
    // Places every band on its page; with checkCodes it also notes whether
    // every text can be carried by the own PDF writer's fonts.
    void layOutPages(bool checkCodes = false);
    bool pdfCodesSuffice() const { return m_pdfCodesSuffice; }
    int pageCount() const { return int(m_pages.size()); }
    // Every page, or those of ranges (numbered from 1) when it is not empty.
    bool paint(ReportCanvas& canvas, const QPageRanges& ranges = {});
    void drawPage(ReportCanvas& canvas, int page);
    const QList<QFont>& fonts() const { return m_fonts; }
    double advance(int font, QChar c) const {
        return c.unicode() < kCachedBelow ? cachedAdvance(m_advances[font].data(), font, c.unicode())
                                          : metrics(font).horizontalAdvance(c);
    }

private:
    // Characters whose advances are kept once asked; asking the font engine
    // for one costs about as much as measuring a row of text.
    static constexpr char16_t kCachedBelow = 0x250;
    double cachedAdvance(double* advances, int font, char16_t c) const {
        if (advances[c] < 0)
            advances[c] = metrics(font).horizontalAdvance(QChar(c));
        return advances[c];
    }
    double x(int twips) const { return twips * m_scaleX; }
    double y(int twips) const { return twips * m_scaleY; }
    const QFontMetricsF& metrics(int font) const { return m_metrics[font]; }

    void place(Placement::Kind kind, qsizetype row, const ReportBand& band);
    void startPage();
    void carryLastRowOver();
    void checkCodes(const ReportBand& band);
    double bandHeight(const ReportBand& band, bool* wraps = nullptr) const;
    double textWidth(int font, const QString& text) const;
    double textWidth(const ReportItem& item) const { return textWidth(item.font, item.text); }
    bool fits(int font, const QString& text, double room) const;
    // A text of a band that may end the room of a wrapping text.
    struct Neighbour {
        int right; // of its box, in twips
        int top;
        int bottom;
        double start; // where it is drawn from, in device units
    };
    const std::vector<Neighbour>& neighbours(const ReportBand& band) const;
    double wrapWidth(const std::vector<Neighbour>& neighbours, const ReportItem& item) const;
    std::unique_ptr<QTextLayout> wrappedLines(const ReportItem& item, double width) const;
    const ReportBand& detail(qsizetype row);
    void drawBand(ReportCanvas& canvas, const ReportBand& band, double top, bool wraps, int page);
    void drawText(ReportCanvas& canvas, const ReportItem& item, const QString& text, double top, bool fits);
    const ReportBand& band(const Placement& p) const;

    const QPaintDevice& m_device;
    const ReportLayout& m_layout;
    QList<QFont> m_fonts; // the layout's fonts, resolved for the device
    QList<QFontMetricsF> m_metrics;
    mutable std::vector<std::array<double, kCachedBelow>> m_advances; // per font, -1 until asked
    QList<double> m_ascents;                     // per font, asked once: every text of a page needs it
    mutable std::vector<Neighbour> m_neighbours; // kept for its room
    double m_scaleX = 1;
    double m_scaleY = 1;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    double m_offsetX = 0; // left edge of the layout inside the printable area
    double m_bodyBottom = 0;
    bool m_footerWraps = false;
    double m_pageTop = 0; // where details start on the current page
    double m_cursor = 0;
    bool m_checkCodes = false;
    bool m_pdfCodesSuffice = true;
    ReportBand m_detail; // the band of the row being placed or drawn
    QList<QList<Placement>> m_pages;
};

Renderer::Renderer(const QPaintDevice& device, double width, double height, const ReportLayout& layout)
    : m_device(device), m_layout(layout) {
    m_scaleX = m_device.logicalDpiX() / 1440.0;
    m_scaleY = m_device.logicalDpiY() / 1440.0;
    m_pageWidth = width;
    m_pageHeight = height;
    m_offsetX = std::max(0.0, (m_pageWidth - x(m_layout.width)) / 2);
    for (const QFont& font : m_layout.fonts) {
        m_fonts.append(QFont(font, &m_device));
        m_metrics.append(QFontMetricsF(m_fonts.last(), &m_device));
        m_advances.emplace_back().fill(-1);
        m_ascents.append(m_metrics.last().ascent());
    }
}

// The width of a one-line text. Measuring means shaping, which dominates the
// cost of long reports; without kerning (reportFont) a text of the common
// characters is as wide as the sum of their advances.
double Renderer::textWidth(int font, const QString& text) const {
    double* const advances = m_advances[font].data();
    double sum = 0;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= kCachedBelow)
            return metrics(font).horizontalAdvance(text);
        sum += cachedAdvance(advances, font, c.unicode());
    }
    return sum;
}

bool Renderer::fits(int font, const QString& text, double room) const {
    return textWidth(font, text) <= room;
}

// The texts of a band that shows its own text, each starting at its box or
// further left for a right-aligned or centred text wider than its box.
// Asked once per band, so that a text is measured once however many
// wrapping texts it borders.
const std::vector<Renderer::Neighbour>& Renderer::neighbours(const ReportBand& band) const {
    m_neighbours.clear();
    for (const ReportItem& other : band.items) {
        if (other.kind != ReportItem::Kind::Text || other.text.isEmpty() ||
            other.field != ReportItem::Field::Text)
            continue;
        double start = x(other.x);
        if (other.align != ReportItem::Align::Left) {
            const double width = textWidth(other);
            if (width > x(other.width)) {
                start = other.align == ReportItem::Align::Right ? x(other.x + other.width) - width
                                                                : start + (x(other.width) - width) / 2;
            }
        }
        m_neighbours.push_back({other.x + other.width, other.y, other.y + other.height, start});
    }
    return m_neighbours;
}

// The room of a wrapping text: up to the next text of its band that starts
// further right (a right-aligned amount wider than its box included), or up
// to the page edge, less a gutter. Zero when the text fits on one line.
double Renderer::wrapWidth(const std::vector<Neighbour>& neighbours, const ReportItem& item) const {
    const double left = x(item.x);
    double limit = m_pageWidth - m_offsetX;
    for (const Neighbour& other : neighbours) {
        if (other.right <= item.x || other.top >= item.y + item.height || item.y >= other.bottom)
            continue;
        if (other.start > left)
            limit = std::min(limit, other.start);
    }
    const double room = limit - left - x(gutter);
    return fits(item.font, item.text, room) ? 0 : std::max(room, x(gutter));
}

std::unique_ptr<QTextLayout> Renderer::wrappedLines(const ReportItem& item, double width) const {
    auto lines = std::make_unique<QTextLayout>(item.text, m_fonts[item.font], &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    lines->setTextOption(option);
    lines->beginLayout();
    double top = 0;
    for (QTextLine line = lines->createLine(); line.isValid(); line = lines->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, top));
        top += line.height();
    }
    lines->endLayout();
    return lines;
}

double Renderer::bandHeight(const ReportBand& band, bool* wraps) const {
    // A band grows by the extra lines of its longest wrapping text and keeps
    // its spacing below them.
    const double base = y(band.height);
    double height = base;
    const std::vector<Neighbour>* others = nullptr;
    for (const ReportItem& item : band.items) {
        if (item.kind != ReportItem::Kind::Text || !item.wrap)
            continue;
        if (!others)
            others = &neighbours(band);
        const double width = wrapWidth(*others, item);
        if (width == 0)
            continue;
        const double wrapped = wrappedLines(item, width)->boundingRect().height();
        height = std::max({height, base + wrapped - metrics(item.font).height(), y(item.y) + wrapped});
        if (wraps)
            *wraps = true;
    }
    return height;
}

// The own PDF writer's fonts carry Windows-1252; a report with any other
// character goes through QPdfWriter.
void Renderer::checkCodes(const ReportBand& band) {
    for (const ReportItem& item : band.items) {
        for (const QChar c : item.text) {
            if (PdfCanvas::code(c) == 0) {
                m_pdfCodesSuffice = false;
                return;
            }
        }
    }
}

void Renderer::place(Placement::Kind kind, qsizetype row, const ReportBand& band) {
    if (m_checkCodes && m_pdfCodesSuffice)
        checkCodes(band);
    bool wraps = false;
    const double height = bandHeight(band, &wraps);
    const bool pageFull =
        kind != Placement::Kind::PageHeader && m_cursor + height > m_bodyBottom && m_cursor > m_pageTop;
    if (pageFull && kind == Placement::Kind::ReportFooter)
        carryLastRowOver();
    else if (pageFull)
        startPage();
    m_pages.last().append(Placement{kind, row, m_cursor, height, wraps});
    m_cursor += height;
}

// Starts a new page for the total and takes the last row along, so that the
// total never stands alone on a page.
void Renderer::carryLastRowOver() {
    QList<Placement>& page = m_pages.last();
    const bool twoRows = page.size() >= 2 && page[page.size() - 2].kind == Placement::Kind::Detail &&
                         page.last().kind == Placement::Kind::Detail;
    if (!twoRows) {
        startPage();
        return;
    }
    Placement last = page.takeLast();
    startPage();
    last.top = m_cursor;
    m_pages.last().append(last);
    m_cursor += last.height;
}

void Renderer::startPage() {
    m_pages.append(QList<Placement>());
    m_cursor = 0;
    m_pageTop = m_bodyBottom; // headers never move to a new page
    if (m_pages.size() == 1 && !isEmpty(m_layout.reportHeader))
        place(Placement::Kind::ReportHeader, -1, m_layout.reportHeader);
    place(Placement::Kind::PageHeader, -1, m_layout.pageHeader);
    m_pageTop = m_cursor;
}

// Counts the pages before anything is drawn, so every page footer can name
// the total. Rows never split; a row taller than a page gets a page alone.
void Renderer::layOutPages(bool checkCodes) {
    m_checkCodes = checkCodes;
    if (checkCodes)
        this->checkCodes(m_layout.pageFooter);
    m_bodyBottom = m_pageHeight - bandHeight(m_layout.pageFooter, &m_footerWraps);
    startPage();
    for (qsizetype row = 0; row < m_layout.rowCount; ++row)
        place(Placement::Kind::Detail, row, detail(row));
    if (!isEmpty(m_layout.reportFooter))
        place(Placement::Kind::ReportFooter, -1, m_layout.reportFooter);
}

const ReportBand& Renderer::detail(qsizetype row) {
    if (!m_layout.detailRefills) {
        m_detail.height = 0;
        m_detail.items.clear();
    }
    m_layout.detail(row, m_detail);
    return m_detail;
}

// Draws a text on one line from its baseline, which spares the line layout of
// a text drawn into a rectangle. fits: the text is known to fit on the page,
// so a left-aligned one need not be measured.
void Renderer::drawText(ReportCanvas& canvas, const ReportItem& item, const QString& text, double top,
                        bool fits) {
    const QFontMetricsF& fm = metrics(item.font);
    // Texts may run past their box, but never past the printable area.
    const double pageLeft = -m_offsetX;
    const double pageRight = m_pageWidth - m_offsetX;
    const double left = x(item.x);
    const double right = left + x(item.width);
    const bool leftAligned = item.align == ReportItem::Align::Left;
    const double room = leftAligned                              ? pageRight - left
                        : item.align == ReportItem::Align::Right ? right - pageLeft
                                                                 : pageRight - pageLeft;
    QString shown = text;
    double width = 0;
    if (!fits || !leftAligned) {
        width = textWidth(item.font, text);
        if (!fits && width > room) {
            shown = fm.elidedText(text, Qt::ElideRight, room);
            width = fm.horizontalAdvance(shown);
        }
    }
    double start = left;
    if (item.align == ReportItem::Align::Right)
        start = right - width;
    else if (item.align == ReportItem::Align::Center)
        start = std::clamp(left + (right - left - width) / 2, pageLeft, pageRight - width);
    canvas.drawText(item.font, QPointF(m_offsetX + start, top + m_ascents[item.font]), shown);
}

void Renderer::drawBand(ReportCanvas& canvas, const ReportBand& band, double top, bool wraps, int page) {
    const std::vector<Neighbour>* others = nullptr;
    for (const ReportItem& item : band.items) {
        const double itemTop = top + y(item.y);
        const double left = m_offsetX + x(item.x);
        if (item.kind == ReportItem::Kind::Line) {
            canvas.drawLine(QPointF(left, itemTop),
                            QPointF(m_offsetX + x(item.x + item.width), itemTop + y(item.height)));
            continue;
        }
        if (item.wrap && wraps) {
            if (!others)
                others = &neighbours(band);
            if (const double width = wrapWidth(*others, item); width > 0) {
                // Each line one run of text.
                const std::unique_ptr<QTextLayout> lines = wrappedLines(item, width);
                for (int i = 0; i < lines->lineCount(); ++i) {
                    const QTextLine line = lines->lineAt(i);
                    canvas.drawText(item.font, QPointF(left + line.x(), itemTop + line.y() + line.ascent()),
                                    item.text.mid(line.textStart(), line.textLength()));
                }
                continue;
            }
        }
        switch (item.field) {
        case ReportItem::Field::Text:
            // A wrapping text that did not wrap fits its room.
            drawText(canvas, item, item.text, itemTop, item.wrap);
            break;
        case ReportItem::Field::PageNumber:
            drawText(canvas, item, QString::number(page + 1), itemTop, false);
            break;
        case ReportItem::Field::PageCount:
            drawText(canvas, item, QString::number(m_pages.size()), itemTop, false);
            break;
        }
    }
}

const ReportBand& Renderer::band(const Placement& p) const {
    switch (p.kind) {
    case Placement::Kind::ReportHeader:
        return m_layout.reportHeader;
    case Placement::Kind::PageHeader:
        return m_layout.pageHeader;
    case Placement::Kind::ReportFooter:
        return m_layout.reportFooter;
    case Placement::Kind::Detail:
        break;
    }
    return m_detail;
}

bool Renderer::paint(ReportCanvas& canvas, const QPageRanges& ranges) {
    bool painted = false;
    for (int page = 0; page < m_pages.size(); ++page) {
        if (!ranges.isEmpty() && !ranges.contains(page + 1))
            continue;
        if (!canvas.newPage())
            return false;
        drawPage(canvas, page);
        painted = true;
    }
    return painted && canvas.finish();
}

void Renderer::drawPage(ReportCanvas& canvas, int page) {
    for (const Placement& p : m_pages[page]) {
        if (p.kind == Placement::Kind::Detail)
            detail(p.row);
        drawBand(canvas, band(p), p.top, p.wraps, page);
    }
    drawBand(canvas, m_layout.pageFooter, m_bodyBottom, m_footerWraps, page);
}

// Draws with a painter: on a paged device page after page (printers,
// QPdfWriter), or one page with a painter opened elsewhere (the preview).
class PainterCanvas : public ReportCanvas {
public:
    PainterCanvas(QPagedPaintDevice& device, const QList<QFont>& fonts)
        : m_device(&device), m_painter(&m_ownPainter), m_fonts(fonts) {}
    PainterCanvas(QPainter& painter, const QList<QFont>& fonts) : m_painter(&painter), m_fonts(fonts) {
        preparePainter();
    }

    bool newPage() override {
        if (!m_device)
            return true;
        if (m_painter->isActive())
            return m_device->newPage();
        if (!m_painter->begin(m_device))
            return false;
        preparePainter();
        return true;
    }
    void drawText(int font, const QPointF& baseline, const QString& text) override {
        if (font != m_font)
            m_painter->setFont(m_fonts[font]);
        m_font = font;
        m_painter->drawText(baseline, text);
    }
    void drawLine(const QPointF& from, const QPointF& to) override { m_painter->drawLine(from, to); }
    bool finish() override { return !m_device || m_painter->end(); }

private:
    void preparePainter() {
        m_painter->setRenderHint(QPainter::Antialiasing);
        m_painter->setPen(QPen(Qt::black, linePoints * m_painter->device()->logicalDpiY() / 72.0));
    }

    QPagedPaintDevice* m_device = nullptr;
    QPainter m_ownPainter;
    QPainter* m_painter;
    const QList<QFont>& m_fonts;
    int m_font = -1;
};

QPagedPaintDevice& inA4(QPagedPaintDevice& device) {
    if (!device.setPageLayout(a4Layout())) {
        // A printer with wider unprintable borders keeps its own margins.
        device.setPageSize(QPageSize(QPageSize::A4));
        device.setPageOrientation(QPageLayout::Portrait);
    }
    return device;
}

} // namespace

QFont reportFont(double pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    // Kerning and ligatures are cosmetic in Latin text; skipping them halves
    // the cost of long lists.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

ReportItem& ReportBand::addText(int x, int y, int width, int height, const QString& text, int font,
                                ReportItem::Align align) {
    // Built in place: a detail band is filled anew for every row.
    ReportItem& item = items.emplaceBack();
    item.x = x;
    item.y = y;
    item.width = width;
    item.height = height;
    item.text = text;
    item.font = font;
    item.align = align;
    return item;
}

ReportItem& ReportBand::addWrappingText(int x, int y, int width, int height, const QString& text, int font) {
    ReportItem& item = addText(x, y, width, height, text, font);
    item.wrap = true;
    return item;
}

ReportItem& ReportBand::addLine(int x1, int y1, int x2, int y2) {
    ReportItem item;
    item.kind = ReportItem::Kind::Line;
    item.x = x1;
    item.y = y1;
    item.width = x2 - x1;
    item.height = y2 - y1;
    items.append(item);
    return items.last();
}

void ReportBand::addPageCounter(int right, int y, int height, int font) {
    addText(right - 1539, y, 570, height, QStringLiteral("Seite:"), font);
    addText(right - 972, y, 405, height, {}, font, ReportItem::Align::Right).field =
        ReportItem::Field::PageNumber;
    addText(right - 557, y, 165, height, QStringLiteral(" /"), font);
    addText(right - 405, y, 405, height, {}, font).field = ReportItem::Field::PageCount;
}

struct ReportPages::Laid {
    Laid(QPagedPaintDevice& target, const ReportLayout& layout)
        : device(inA4(target)), renderer(device, device.width(), device.height(), layout) {
        renderer.layOutPages();
    }
    QPagedPaintDevice& device;
    Renderer renderer;
};

ReportPages::ReportPages(QPagedPaintDevice& device, const ReportLayout& layout)
    : m_laid(std::make_unique<Laid>(device, layout)) {}

ReportPages::~ReportPages() = default;

int ReportPages::pageCount() const {
    return m_laid->renderer.pageCount();
}

void ReportPages::paintPage(QPainter& painter, int page) const {
    PainterCanvas canvas(painter, m_laid->renderer.fonts());
    m_laid->renderer.drawPage(canvas, page);
}

bool ReportPages::print(const QPageRanges& ranges) const {
    PainterCanvas canvas(m_laid->device, m_laid->renderer.fonts());
    return m_laid->renderer.paint(canvas, ranges);
}

bool renderReport(QPagedPaintDevice& device, const ReportLayout& layout) {
    return ReportPages(device, layout).print({});
}

bool writeReportPdf(QIODevice& out, const ReportLayout& layout, const QString& title) {
    const QPageLayout a4 = a4Layout();
    const QRectF printable = a4.paintRect(QPageLayout::Point);
    const double unitsPerPoint = pdfDpi / 72.0;
    MeasuringDevice device(printable.width() * unitsPerPoint, printable.height() * unitsPerPoint);
    Renderer renderer(device, printable.width() * unitsPerPoint, printable.height() * unitsPerPoint, layout);
    renderer.layOutPages(true);
    if (!renderer.pdfCodesSuffice()) {
        QPdfWriter writer(&out);
        writer.setTitle(title);
        writer.setCreator(creator);
        return renderReport(writer, layout);
    }
    QList<PdfCanvas::Font> fonts;
    for (qsizetype f = 0; f < renderer.fonts().size(); ++f) {
        const QFont& font = renderer.fonts()[f];
        PdfCanvas::Font pdfFont;
        pdfFont.bold = font.bold();
        pdfFont.pointSize = font.pointSizeF();
        const double unitsPerEm = pdfFont.pointSize * unitsPerPoint;
        for (int code = 32; code < 256; ++code) {
            const QChar c = PdfCanvas::character(uchar(code));
            if (!c.isNull())
                pdfFont.widths[code - 32] = renderer.advance(int(f), c) * 1000 / unitsPerEm;
        }
        fonts.append(pdfFont);
    }
    const QRectF paper = a4.fullRect(QPageLayout::Point);
    const PdfCanvas::Page page{paper.width(), paper.height(), printable.topLeft(), 1 / unitsPerPoint};
    PdfCanvas canvas(out, fonts, page, title, creator);
    return renderer.paint(canvas);
}
