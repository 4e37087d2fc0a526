// Times the single-bookings list of 100,000 bookings drawn into a PDF.

#include "bench/BenchSupport.h"
#include "output/Beitrag.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

int main(int argc, char* argv[]) {
    // Drawing a PDF needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = 100000;
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
    const QList<BeitragRow> rows = beitragRows(bookings, {});
    resetPeakRss();
    const double baseline = peakRssMb();
    QElapsedTimer timer;
    timer.start();
    // Processor time as well: other work on the machine stretches the wall clock.
    const std::clock_t cpuStart = std::clock();
    bool ok = false;
    {
        QPdfWriter pdf(path);
        ok = renderBeitrag(pdf, rows, QDate::currentDate());
    }
    const double seconds = timer.elapsed() / 1000.0;
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("Beitrag, %d bookings: %.2f s (%.2f s processor), %.1f MB PDF, peak RSS %.0f MB (%.0f MB "
                "before)%s\n",
                count, seconds, cpuSeconds, QFileInfo(path).size() / 1e6, peakRssMb(), baseline,
                ok ? "" : " (FAILED)");
    return ok ? 0 : 1;
}
