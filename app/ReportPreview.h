#pragma once

#include "base/Prompter.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class QPageRanges;
class QSpinBox;
class ReportPageView;
class ReportPages;

// The window's print preview: the report is laid out once on the printer
// and its pages are drawn as they come into view, so a list of a thousand
// pages opens at once. Pages, zoom, printing and closing by keys and mouse.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(const QString& reportName, Report report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int pageCount() const;
    // "Seite N von M", as the page field and its label read.
    QString pageText() const;
    ReportPageView* view() const { return m_view; }
    // Lays the report out anew on printer and prints the pages of ranges
    // (numbered from 1; all when empty); says so when that fails.
    bool printPages(QPrinter& printer, const QPageRanges& ranges);

private:
    void print();
    void showPage(int page);

    Report m_report;
    // The preview is laid out on a printer of its own: what the print dialog
    // changes on m_printer must not move what the pages show.
    QPrinter m_layoutDevice;
    QPrinter m_printer;
    std::unique_ptr<ReportPages> m_pages;
    ReportPageView* m_view = nullptr;
    QSpinBox* m_pageField = nullptr;
};
