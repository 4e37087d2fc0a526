#include "app/ReportPreview.h"

#include "app/ReportPageView.h"
#include "output/ReportEngine.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPageRanges>
#include <QPrintDialog>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QAction* toolButton(QToolBar* bar, const QString& text, const QString& toolTip,
                    const QList<QKeySequence>& keys) {
    QAction* action = bar->addAction(text);
    action->setToolTip(toolTip);
    action->setShortcuts(keys);
    return action;
}

// The report's own name keeps to ASCII for its PDF file; the title shows
// the word with its umlaut.
QString shownName(const QString& reportName) {
    return reportName == QLatin1String("Uebersicht") ? QStringLiteral("Übersicht") : reportName;
}

} // namespace

ReportPreview::ReportPreview(const QString& reportName, Report report, QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_layoutDevice(QPrinter::HighResolution),
      m_printer(QPrinter::HighResolution) {
    setWindowTitle(QStringLiteral("Druckvorschau – %1").arg(shownName(reportName)));
    m_printer.setDocName(shownName(reportName));
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_pages = std::make_unique<ReportPages>(m_layoutDevice, *m_report);
    const QPageLayout page = m_layoutDevice.pageLayout();
    const int dpi = m_layoutDevice.resolution();
    m_view = new ReportPageView(*m_pages, page.fullRectPixels(dpi), page.paintRectPixels(dpi), dpi, this);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(toolButton(bar, QStringLiteral("Anfang"), QStringLiteral("Erste Seite (Pos1)"), {Qt::Key_Home}),
            &QAction::triggered, this, [this] { showPage(0); });
    connect(toolButton(bar, QStringLiteral("Zurück"), QStringLiteral("Vorige Seite (Bild auf)"),
                       {Qt::Key_PageUp}),
            &QAction::triggered, this, [this] { showPage(m_view->currentPage() - 1); });
    auto* pageLabel = new QLabel(QStringLiteral(" &Seite "), bar);
    bar->addWidget(pageLabel);
    m_pageField = new QSpinBox(bar);
    pageLabel->setBuddy(m_pageField); // Alt+S to type a page number
    m_pageField->setRange(1, pageCount());
    m_pageField->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_pageField->setKeyboardTracking(false); // the page changes on Enter, not on every digit
    m_pageField->setAlignment(Qt::AlignRight);
    m_pageField->setToolTip(
        QStringLiteral("Seitenzahl eingeben und mit der Eingabetaste aufschlagen (Alt+S)"));
    m_pageField->setAccessibleName(QStringLiteral("Seite"));
    bar->addWidget(m_pageField);
    bar->addWidget(new QLabel(QStringLiteral(" von %1 ").arg(pageCount()), bar));
    connect(toolButton(bar, QStringLiteral("Weiter"), QStringLiteral("Nächste Seite (Bild ab)"),
                       {Qt::Key_PageDown}),
            &QAction::triggered, this, [this] { showPage(m_view->currentPage() + 1); });
    connect(toolButton(bar, QStringLiteral("Ende"), QStringLiteral("Letzte Seite (Ende)"), {Qt::Key_End}),
            &QAction::triggered, this, [this] { showPage(pageCount() - 1); });
    bar->addSeparator();
    // Tool buttons show no access keys, so each gets its Alt key itself.
    connect(toolButton(bar, QStringLiteral("Breite"),
                       QStringLiteral("Seitenbreite: an die Fensterbreite anpassen (Alt+B)"),
                       {QKeySequence(Qt::ALT | Qt::Key_B)}),
            &QAction::triggered, this, [this] { m_view->setZoom(ReportPageView::Zoom::FitWidth); });
    connect(toolButton(bar, QStringLiteral("Ganze Seite"), QStringLiteral("Die ganze Seite zeigen (Alt+G)"),
                       {QKeySequence(Qt::ALT | Qt::Key_G)}),
            &QAction::triggered, this, [this] { m_view->setZoom(ReportPageView::Zoom::FitPage); });
    connect(toolButton(bar, QStringLiteral("−"), QStringLiteral("Verkleinern (Strg+Minus)"),
                       {QKeySequence(QKeySequence::ZoomOut)}),
            &QAction::triggered, this, [this] { m_view->zoomBy(1 / 1.25); });
    connect(toolButton(bar, QStringLiteral("+"), QStringLiteral("Vergrößern (Strg+Plus)"),
                       {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
            &QAction::triggered, this, [this] { m_view->zoomBy(1.25); });
    bar->addSeparator();
    connect(toolButton(bar, QStringLiteral("Drucken …"), QStringLiteral("Drucken (Strg+P oder Alt+D)"),
                       {QKeySequence(QKeySequence::Print), QKeySequence(Qt::ALT | Qt::Key_D)}),
            &QAction::triggered, this, &ReportPreview::print);
    connect(toolButton(bar, QStringLiteral("Schließen"), QStringLiteral("Vorschau schließen (Esc)"), {}),
            &QAction::triggered, this, &QDialog::reject);

    connect(m_pageField, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    connect(m_view, &ReportPageView::currentPageChanged, this, [this](int page) {
        const QSignalBlocker quiet(m_pageField);
        m_pageField->setValue(page + 1);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view);
    const QSize wanted(900, 1000);
    const QSize room = screen() ? screen()->availableSize() * 0.95 : wanted;
    resize(wanted.boundedTo(room));
    m_view->setFocus();
}

ReportPreview::~ReportPreview() {
    delete m_view; // it draws from m_pages, which goes before the dialog's children
}

int ReportPreview::pageCount() const {
    return m_pages->pageCount();
}

QString ReportPreview::pageText() const {
    return QStringLiteral("Seite %1 von %2").arg(m_pageField->value()).arg(pageCount());
}

void ReportPreview::showPage(int page) {
    m_view->goToPage(page);
    m_view->setFocus();
}

void ReportPreview::print() {
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(QStringLiteral("Drucken – %1").arg(m_printer.docName()));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
                      QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPageRanges ranges;
    if (m_printer.printRange() == QPrinter::CurrentPage)
        ranges.addPage(m_view->currentPage() + 1);
    else if (m_printer.printRange() == QPrinter::PageRange)
        ranges = m_printer.pageRanges();
    printPages(m_printer, ranges);
}

bool ReportPreview::printPages(QPrinter& printer, const QPageRanges& ranges) {
    bool printed = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The printer may have other margins or another resolution than the
        // preview's: lay out for it, as the report would print by itself.
        const ReportPages pages(printer, *m_report);
        printed = pages.print(ranges);
        QApplication::restoreOverrideCursor();
    }
    if (!printed)
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("Der Bericht konnte nicht gedruckt werden (%1).")
                .arg(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName()));
    return printed;
}
