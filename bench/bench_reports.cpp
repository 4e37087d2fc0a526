// Times the single-bookings list written into a PDF as batch mode writes it,
// drawn through QPdfWriter, or shown in the window's print preview until its
// first page is painted (then its last page too, timed apart):
//   bench_reports [BOOKINGS] [qt|preview]   (default 100,000 bookings, PDF)

#include "app/ReportPageView.h"
#include "app/ReportPreview.h"
#include "bench/BenchSupport.h"
#include "output/Beitrag.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char* argv[]) {
    // Drawing a PDF needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const bool preview = argc > 2 && qstrcmp(argv[2], "preview") == 0;
    const bool qtPdf = argc > 2 && qstrcmp(argv[2], "qt") == 0;
    BookingList bookings;
    bookings.reserve(count);
    const QStringList names = {QStringLiteral("Müller"), QStringLiteral("Schmidt-Weißenfels"),
                               QStringLiteral("von Bismarck-Schönhausen Verwaltungs GmbH")};
    for (int i = 0; i < count; ++i) {
        Buchung b;
        b.Rechnung = QStringLiteral("RE-%1").arg(i + 1, 7, 10, QLatin1Char('0'));
        b.Verwendungszweck = QStringLiteral("Rechnung ") + b.Rechnung;
        b.DruckName = names[i % names.size()];
        b.DruckVorname = QStringLiteral("Jürgen");
        b.BIC = QStringLiteral("COBADEFFXXX");
        b.IBAN = QStringLiteral("DE89370400440532%1").arg(i, 6, 10, QLatin1Char('0'));
        b.Betrag = 1000 + i;
        bookings.append(b);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Beitrag.pdf"));
    const Report report = beitragReport(beitragRows(bookings, {}), QDate::currentDate());
    resetPeakRss();
    const double baseline = peakRssMb();
    QElapsedTimer timer;
    timer.start();
    // Processor time as well: other work on the machine stretches the wall clock.
    const std::clock_t cpuStart = std::clock();
    bool ok = false;
    QString lastPage;
    if (preview) {
        ReportPreview dialog(QStringLiteral("Beitrag"), report);
        dialog.show();
        dialog.view()->viewport()->repaint();
        QApplication::processEvents();
        ok = dialog.pageCount() > 1;
        QElapsedTimer turn;
        turn.start();
        dialog.view()->goToPage(dialog.pageCount() - 1);
        dialog.view()->viewport()->repaint();
        lastPage = QStringLiteral(", page %1 of %2 after %3 ms more")
                       .arg(dialog.view()->currentPage() + 1)
                       .arg(dialog.pageCount())
                       .arg(turn.elapsed());
    } else if (qtPdf) {
        QPdfWriter pdf(path);
        pdf.setResolution(300);
        ok = renderReport(pdf, *report);
    } else {
        QFile pdf(path);
        ok = pdf.open(QIODevice::WriteOnly) && writeReportPdf(pdf, *report, QStringLiteral("Beitrag"));
    }
    const double seconds = timer.elapsed() / 1000.0;
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf(
        "Beitrag, %d bookings, %s: %.2f s (%.2f s processor), peak RSS %.0f MB (%.0f MB before)%s%s\n", count,
        preview ? "preview, first page painted"
                : qPrintable(QStringLiteral("%1 MB PDF%2")
                                 .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1)
                                 .arg(qtPdf ? QStringLiteral(" through QPdfWriter") : QString())),
        seconds, cpuSeconds, peakRssMb(), baseline, qPrintable(lastPage), ok ? "" : " (FAILED)");
    return ok ? 0 : 1;
}
