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
    void place(Placement::Kind kind, qsizetype row, double height);
    void startPage();
    double bandHeight(const ReportBand& band) const;
    double textWidth(const ReportItem& item) const { return metrics(item.font).horizontalAdvance(item.text); }
    double wrapWidth(const ReportBand& band, const ReportItem& item) const;
    std::unique_ptr<QTextLayout> wrappedLines(const ReportItem& item, double width) const;
    void drawBand(QPainter& painter, const ReportBand& band, double top, int page) const;
    void drawText(QPainter& painter, const ReportItem& item, const QString& text, double top) const;
    const ReportBand& band(const Placement& p) const;

    QPagedPaintDevice& m_device;
    const ReportLayout& m_layout;
    QList<QFont> m_fonts; // the layout's fonts, resolved for the device
    QList<QFontMetricsF> m_metrics;
    double m_scaleX = 1;
    double m_scaleY = 1;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    double m_offsetX = 0; // left edge of the layout inside the printable area
    double m_bodyBottom = 0;
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
    }
}

// The room of a wrapping text: up to the next text of its band that starts
// further right, or up to the page edge, less a gutter; never less than its box.
// Zero when the text fits its box on one line.
double Renderer::wrapWidth(const ReportBand& band, const ReportItem& item) const {
    const double box = x(item.width - gutter);
    const double width = textWidth(item);
    if (width <= box)
        return 0;
    const double left = x(item.x);
    double limit = m_pageWidth - m_offsetX;
    for (const ReportItem& other : band.items) {
        if (other.kind != ReportItem::Kind::Text || other.text.isEmpty() ||
            other.field != ReportItem::Field::Text)
            continue;
        double start = x(other.x);
        if (other.align == ReportItem::Align::Right)
            start = x(other.x + other.width) - textWidth(other);
        else if (other.align == ReportItem::Align::Center)
            start += (x(other.width) - textWidth(other)) / 2;
        if (start > left && other.y < item.y + item.height && item.y < other.y + other.height)
            limit = std::min(limit, start);
    }
    const double room = std::max(box, limit - left - x(gutter));
    return width <= room ? 0 : room;
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

double Renderer::bandHeight(const ReportBand& band) const {
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
    }
    return height;
}

void Renderer::place(Placement::Kind kind, qsizetype row, double height) {
    m_pages.last().append(Placement{kind, row, m_cursor});
    m_cursor += height;
}

void Renderer::startPage() {
    m_pages.append(QList<Placement>());
    m_cursor = 0;
    if (m_pages.size() == 1 && !isEmpty(m_layout.reportHeader))
        place(Placement::Kind::ReportHeader, -1, bandHeight(m_layout.reportHeader));
    place(Placement::Kind::PageHeader, -1, bandHeight(m_layout.pageHeader));
    m_pageTop = m_cursor;
}

// Counts the pages before anything is drawn, so every page footer can name
// the total. Rows never split; a row taller than a page gets a page alone.
void Renderer::layOutPages() {
    m_bodyBottom = m_pageHeight - bandHeight(m_layout.pageFooter);
    startPage();
    for (qsizetype row = 0; row < m_layout.rowCount; ++row) {
        const double height = bandHeight(m_layout.detail(row));
        if (m_cursor + height > m_bodyBottom && m_cursor > m_pageTop)
            startPage();
        place(Placement::Kind::Detail, row, height);
    }
    if (!isEmpty(m_layout.reportFooter)) {
        const double height = bandHeight(m_layout.reportFooter);
        if (m_cursor + height > m_bodyBottom && m_cursor > m_pageTop)
            startPage();
        place(Placement::Kind::ReportFooter, -1, height);
    }
}

void Renderer::drawText(QPainter& painter, const ReportItem& item, const QString& text, double top) const {
    const QFontMetricsF& fm = metrics(item.font);
    painter.setFont(m_fonts[item.font]);
    // Texts may run past their box, but never past the printable area.
    const double pageLeft = -m_offsetX;
    const double pageRight = m_pageWidth - m_offsetX;
    const double left = x(item.x);
    const double right = left + x(item.width);
    QRectF room;
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    switch (item.align) {
    case ReportItem::Align::Left:
        room = QRectF(left, top, pageRight - left, fm.height());
        flags |= Qt::AlignLeft;
        break;
    case ReportItem::Align::Right:
        room = QRectF(pageLeft, top, right - pageLeft, fm.height());
        flags |= Qt::AlignRight;
        break;
    case ReportItem::Align::Center:
        room = QRectF(left, top, right - left, fm.height());
        flags |= Qt::AlignHCenter;
        break;
    }
    const double width = fm.horizontalAdvance(text);
    const double widest = item.align == ReportItem::Align::Center ? pageRight - pageLeft : room.width();
    painter.drawText(room, flags, width > widest ? fm.elidedText(text, Qt::ElideRight, widest) : text);
}

void Renderer::drawBand(QPainter& painter, const ReportBand& band, double top, int page) const {
    for (const ReportItem& item : band.items) {
        const double itemTop = top + y(item.y);
        if (item.kind == ReportItem::Kind::Line) {
            painter.drawLine(QPointF(x(item.x), itemTop),
                             QPointF(x(item.x + item.width), itemTop + y(item.height)));
            continue;
        }
        if (item.wrap) {
            if (const double width = wrapWidth(band, item); width > 0) {
                painter.setFont(m_fonts[item.font]);
                wrappedLines(item, width)->draw(&painter, QPointF(x(item.x), itemTop));
                continue;
            }
        }
        switch (item.field) {
        case ReportItem::Field::Text:
            drawText(painter, item, item.text, itemTop);
            break;
        case ReportItem::Field::PageNumber:
            drawText(painter, item, QString::number(page + 1), itemTop);
            break;
        case ReportItem::Field::PageCount:
            drawText(painter, item, QString::number(m_pages.size()), itemTop);
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
            drawBand(painter, band(p), p.top, page);
        }
        drawBand(painter, m_layout.pageFooter, footerTop, page);
    }
    return painter.end();
}

} // namespace

QFont reportFont(double pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
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
