#include "output/ReportEngine.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <memory>

namespace {

// Room kept free on the sheet, in millimetres; each report is centred
// horizontally inside it.
const QMarginsF sheetMargins(5, 12, 5, 10);

const double linePoints = 0.75;
const int gutter = 85; // twips kept free between a wrapping text and the next

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
    Renderer(QPagedPaintDevice& device, const ReportLayout& layout);
    bool paint();

private:
    double x(int twips) const { return twips * m_scaleX; }
    double y(int twips) const { return twips * m_scaleY; }
    const QFontMetricsF& metrics(int font) const { return m_metrics[font]; }

    void layOutPages();
    void place(Placement::Kind kind, qsizetype row, const ReportBand& band);
    void startPage();
    void carryLastRowOver();
    double bandHeight(const ReportBand& band, bool* wraps = nullptr) const;
    double textWidth(int font, const QString& text) const;
    double textWidth(const ReportItem& item) const { return textWidth(item.font, item.text); }
    bool fits(int font, const QString& text, double room) const;
    double wrapWidth(const ReportBand& band, const ReportItem& item) const;
    std::unique_ptr<QTextLayout> wrappedLines(const ReportItem& item, double width) const;
    void drawBand(QPainter& painter, const ReportBand& band, double top, bool wraps, int page);
    void drawText(QPainter& painter, const ReportItem& item, const QString& text, double top, bool fits);
    void setFont(QPainter& painter, int font);
    const ReportBand& band(const Placement& p) const;

    QPagedPaintDevice& m_device;
    const ReportLayout& m_layout;
    QList<QFont> m_fonts; // the layout's fonts, resolved for the device
    QList<QFontMetricsF> m_metrics;
    QList<QList<double>> m_advances; // per font, of the characters below U+0250
    int m_painterFont = -1;
    double m_scaleX = 1;
    double m_scaleY = 1;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    double m_offsetX = 0; // left edge of the layout inside the printable area
    double m_bodyBottom = 0;
    bool m_footerWraps = false;
    double m_pageTop = 0; // where details start on the current page
    double m_cursor = 0;
    ReportBand m_detail; // the band of the row being drawn
    QList<QList<Placement>> m_pages;
};

Renderer::Renderer(QPagedPaintDevice& device, const ReportLayout& layout)
    : m_device(device), m_layout(layout) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, sheetMargins,
                         QPageLayout::Millimeter);
    if (!m_device.setPageLayout(a4)) {
        // A printer with wider unprintable borders keeps its own margins.
        m_device.setPageSize(QPageSize(QPageSize::A4));
        m_device.setPageOrientation(QPageLayout::Portrait);
    }
    m_scaleX = m_device.logicalDpiX() / 1440.0;
    m_scaleY = m_device.logicalDpiY() / 1440.0;
    m_pageWidth = m_device.width();
    m_pageHeight = m_device.height();
    m_offsetX = std::max(0.0, (m_pageWidth - x(m_layout.width)) / 2);
    for (const QFont& font : m_layout.fonts) {
        m_fonts.append(QFont(font, &m_device));
        m_metrics.append(QFontMetricsF(m_fonts.last(), &m_device));
        QList<double> advances(0x250);
        for (char16_t c = 0x20; c < advances.size(); ++c)
            advances[c] = m_metrics.last().horizontalAdvance(QChar(c));
        m_advances.append(advances);
    }
}

// The width of a one-line text. Measuring means shaping, which dominates the
// cost of long reports; without kerning (reportFont) a text of the common
// characters is as wide as the sum of their advances.
double Renderer::textWidth(int font, const QString& text) const {
    const QList<double>& advances = m_advances[font];
    double sum = 0;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= advances.size())
            return metrics(font).horizontalAdvance(text);
        sum += advances[c.unicode()];
    }
    return sum;
}

bool Renderer::fits(int font, const QString& text, double room) const {
    return textWidth(font, text) <= room;
}

// The room of a wrapping text: up to the next text of its band that starts
// further right (a right-aligned amount wider than its box included), or up
// to the page edge, less a gutter. Zero when the text fits on one line.
double Renderer::wrapWidth(const ReportBand& band, const ReportItem& item) const {
    const double left = x(item.x);
    double limit = m_pageWidth - m_offsetX;
    for (const ReportItem& other : band.items) {
        if (other.kind != ReportItem::Kind::Text || other.text.isEmpty() ||
            other.field != ReportItem::Field::Text || other.x + other.width <= item.x)
            continue;
        if (other.y >= item.y + item.height || item.y >= other.y + other.height)
            continue;
        // A text that fits its box starts at or right of the box.
        double start = x(other.x);
        if (other.align != ReportItem::Align::Left && !fits(other.font, other.text, x(other.width))) {
            const double width = textWidth(other);
            start = other.align == ReportItem::Align::Right ? x(other.x + other.width) - width
                                                            : start + (x(other.width) - width) / 2;
        }
        if (start > left)
            limit = std::min(limit, start);
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
    for (const ReportItem& item : band.items) {
        if (item.kind != ReportItem::Kind::Text || !item.wrap)
            continue;
        const double width = wrapWidth(band, item);
        if (width == 0)
            continue;
        const double wrapped = wrappedLines(item, width)->boundingRect().height();
        height = std::max({height, base + wrapped - metrics(item.font).height(), y(item.y) + wrapped});
        if (wraps)
            *wraps = true;
    }
    return height;
}

void Renderer::place(Placement::Kind kind, qsizetype row, const ReportBand& band) {
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
void Renderer::layOutPages() {
    m_bodyBottom = m_pageHeight - bandHeight(m_layout.pageFooter, &m_footerWraps);
    startPage();
    for (qsizetype row = 0; row < m_layout.rowCount; ++row)
        place(Placement::Kind::Detail, row, m_layout.detail(row));
    if (!isEmpty(m_layout.reportFooter))
        place(Placement::Kind::ReportFooter, -1, m_layout.reportFooter);
}

void Renderer::setFont(QPainter& painter, int font) {
    if (font != m_painterFont)
        painter.setFont(m_fonts[font]);
    m_painterFont = font;
}

// Draws a text on one line from its baseline, which spares the line layout of
// a text drawn into a rectangle. fits: the text is known to fit on the page,
// so a left-aligned one need not be measured.
void Renderer::drawText(QPainter& painter, const ReportItem& item, const QString& text, double top,
                        bool fits) {
    const QFontMetricsF& fm = metrics(item.font);
    setFont(painter, item.font);
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
    painter.drawText(QPointF(start, top + fm.ascent()), shown);
}

void Renderer::drawBand(QPainter& painter, const ReportBand& band, double top, bool wraps, int page) {
    for (const ReportItem& item : band.items) {
        const double itemTop = top + y(item.y);
        if (item.kind == ReportItem::Kind::Line) {
            painter.drawLine(QPointF(x(item.x), itemTop),
                             QPointF(x(item.x + item.width), itemTop + y(item.height)));
            continue;
        }
        if (item.wrap && wraps) {
            if (const double width = wrapWidth(band, item); width > 0) {
                setFont(painter, item.font);
                wrappedLines(item, width)->draw(&painter, QPointF(x(item.x), itemTop));
                continue;
            }
        }
        switch (item.field) {
        case ReportItem::Field::Text:
            // A wrapping text that did not wrap fits its room.
            drawText(painter, item, item.text, itemTop, item.wrap);
            break;
        case ReportItem::Field::PageNumber:
            drawText(painter, item, QString::number(page + 1), itemTop, false);
            break;
        case ReportItem::Field::PageCount:
            drawText(painter, item, QString::number(m_pages.size()), itemTop, false);
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

bool Renderer::paint() {
    layOutPages();
    QPainter painter;
    if (!painter.begin(&m_device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, linePoints * m_device.logicalDpiY() / 72.0));
    painter.translate(m_offsetX, 0);
    const double footerTop = m_bodyBottom;
    for (int page = 0; page < m_pages.size(); ++page) {
        if (page > 0 && !m_device.newPage())
            return false;
        for (const Placement& p : m_pages[page]) {
            if (p.kind == Placement::Kind::Detail)
                m_detail = m_layout.detail(p.row);
            drawBand(painter, band(p), p.top, p.wraps, page);
        }
        drawBand(painter, m_layout.pageFooter, footerTop, m_footerWraps, page);
    }
    return painter.end();
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
    ReportItem item;
    item.x = x;
    item.y = y;
    item.width = width;
    item.height = height;
    item.text = text;
    item.font = font;
    item.align = align;
    items.append(item);
    return items.last();
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

bool renderReport(QPagedPaintDevice& device, const ReportLayout& layout) {
    return Renderer(device, layout).paint();
}
