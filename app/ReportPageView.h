#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <QRect>

class ReportPages;

// The pages of a laid-out report one below the other, as sheets on a grey
// desk. Only the pages in view are drawn, each once per zoom, so a list of
// a thousand pages opens as fast as one of a single page.
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Zoom { FitWidth, FitPage, Fixed };

    // paper and printable: the sheet and its printable area in the units the
    // report was laid out in, at dpi units per inch.
    ReportPageView(const ReportPages& pages, const QRect& paper, const QRect& printable, int dpi,
                   QWidget* parent = nullptr);

    int currentPage() const { return m_current; } // from 0
    void goToPage(int page);
    void setZoom(Zoom zoom);
    // Factor times the current size, the fit modes left.
    void zoomBy(double factor);

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int pageWidth() const;
    int pageHeight() const;
    int pageStride() const { return pageHeight() + gap; }
    void applyZoom();
    void updateScrollBars();
    const QImage& pageImage(int page);
    void setCurrent(int page);

    static constexpr int gap = 12; // pixels between the sheets and around them

    const ReportPages& m_pages;
    QRect m_paper;
    QRect m_printable;
    int m_dpi;
    Zoom m_zoom = Zoom::FitWidth;
    double m_scale = 0.1;
    int m_current = 0;
    bool m_jumping = false;       // goToPage scrolls: the page it chose stays current
    QCache<int, QImage> m_images; // drawn pages at the current scale, cost in KB
};
