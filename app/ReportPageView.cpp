#include "app/ReportPageView.h"

#include "output/ReportEngine.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Sheets between these widths in pixels: small enough to see a dozen at
// once, large enough to read small print; the cache below holds a few of
// the largest.
const int narrowestPage = 120;
const int widestPage = 2000;
const int cachedKilobytes = 64 * 1024;

} // namespace

ReportPageView::ReportPageView(const ReportPages& pages, const QRect& paper, const QRect& printable, int dpi,
                               QWidget* parent)
    : QAbstractScrollArea(parent), m_pages(pages), m_paper(paper), m_printable(printable), m_dpi(dpi),
      m_images(cachedKilobytes) {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
}

int ReportPageView::pageWidth() const {
    return int(std::lround(m_paper.width() * m_scale));
}

int ReportPageView::pageHeight() const {
    return int(std::lround(m_paper.height() * m_scale));
}

void ReportPageView::setZoom(Zoom zoom) {
    m_zoom = zoom;
    applyZoom();
}

void ReportPageView::zoomBy(double factor) {
    m_zoom = Zoom::Fixed;
    m_scale *= factor;
    applyZoom();
}

void ReportPageView::applyZoom() {
    const QSize room = viewport()->size() - QSize(2 * gap, 2 * gap);
    const double widthScale = double(room.width()) / m_paper.width();
    if (m_zoom == Zoom::FitWidth)
        m_scale = widthScale;
    else if (m_zoom == Zoom::FitPage)
        m_scale = std::min(widthScale, double(room.height()) / m_paper.height());
    m_scale =
        std::clamp(m_scale, double(narrowestPage) / m_paper.width(), double(widestPage) / m_paper.width());
    m_images.clear();
    // The new range may move the scroll bar; the page in view stays the same.
    const int page = m_current;
    m_jumping = true;
    updateScrollBars();
    m_jumping = false;
    goToPage(page);
    viewport()->update();
}

void ReportPageView::updateScrollBars() {
    const QSize view = viewport()->size();
    const int height = gap + m_pages.pageCount() * pageStride();
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setRange(0, std::max(0, pageWidth() + 2 * gap - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
}

void ReportPageView::goToPage(int page) {
    page = std::clamp(page, 0, m_pages.pageCount() - 1);
    m_jumping = true;
    verticalScrollBar()->setValue(page * pageStride());
    m_jumping = false;
    setCurrent(page);
}

void ReportPageView::setCurrent(int page) {
    if (page == m_current)
        return;
    m_current = page;
    emit currentPageChanged(page);
}

void ReportPageView::scrollContentsBy(int, int) {
    viewport()->update();
    if (m_jumping)
        return;
    // Scrolled by hand: the page at the middle of the view, or the last one
    // when the view has reached the end.
    const QScrollBar* bar = verticalScrollBar();
    const int middle = bar->value() + viewport()->height() / 2 - gap;
    const int last = m_pages.pageCount() - 1;
    setCurrent(bar->value() == bar->maximum() && bar->maximum() > 0
                   ? last
                   : std::clamp(middle / pageStride(), 0, last));
}

const QImage& ReportPageView::pageImage(int page) {
    if (const QImage* cached = m_images.object(page))
        return *cached;
    auto* image = new QImage(pageWidth(), pageHeight(), QImage::Format_RGB32);
    image->fill(Qt::white);
    // The image claims the resolution the report was laid out at, so the
    // painter gives each font the size it has on paper; the scale shrinks all.
    const int dotsPerMeter = int(std::lround(m_dpi / 0.0254));
    image->setDotsPerMeterX(dotsPerMeter);
    image->setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(image);
        painter.scale(m_scale, m_scale);
        painter.translate(m_printable.topLeft() - m_paper.topLeft());
        m_pages.paintPage(painter, page);
    }
    const qsizetype kilobytes = image->sizeInBytes() / 1024;
    m_images.insert(page, image, kilobytes);
    return *m_images.object(page);
}

void ReportPageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QSize view = viewport()->size();
    const int width = pageWidth();
    const int left =
        width + 2 * gap <= view.width() ? (view.width() - width) / 2 : gap - horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    for (int page = std::max(0, (top - gap) / pageStride()); page < m_pages.pageCount(); ++page) {
        const int y = gap + page * pageStride() - top;
        if (y >= view.height())
            break;
        const QImage& image = pageImage(page);
        painter.drawImage(left, y, image);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(left - 1, y - 1, width + 1, pageHeight() + 1);
    }
}

void ReportPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    applyZoom();
}

void ReportPageView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // Ctrl and the wheel zoom, as in most viewers.
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        zoomBy(std::pow(1.25, steps));
    event->accept();
}
