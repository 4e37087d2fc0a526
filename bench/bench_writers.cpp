// Times the two SEPA writers alone on 100,000 bookings (target: under 0.3 s each).
#include "bench/BenchSupport.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

BookingList bookings(int n) {
    BookingList list;
    list.reserve(n);
    const QDateTime due(QDate(2026, 12, 10), QTime(0, 0));
    for (int i = 0; i < n; ++i) {
        Buchung b;
        b.Rechnung = QStringLiteral("R%1").arg(100000 + i);
        b.Betrag = 100 + (i * 7919) % 99900;
        b.Nummer = 10000 + i;
        b.Name = QStringLiteral("Mueller");
        b.Vorname = QStringLiteral("Hans");
        b.Strasse = QStringLiteral("Hauptstrasse %1").arg(i % 200);
        b.PLZ = QStringLiteral("80331");
        b.Ort = QStringLiteral("Muenchen");
        b.Mandatsnummer = QStringLiteral("M%1").arg(i);
        b.Faelligkeit = due.addDays(i / 20000);
        b.IBAN = QStringLiteral("DE89 3704 0044 0532 0130 00");
        b.BIC = QStringLiteral("COBADEFFXXX");
        list.append(b);
    }
    return list;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int n = 100000;
    QTemporaryDir folder;
    Firmendaten firma;
    firma.FirmenName = QStringLiteral("Brevanta Handels GmbH");
    firma.Bankleitzahl = QStringLiteral("GENODEF1M04");
    firma.Kontonummer = QStringLiteral("DE02 7016 0000 0000 5555 55");
    firma.GlaubigerID = QStringLiteral("DE98ZZZ09999999999");
    firma.Verwendungszweck = QStringLiteral("Bench");
    const QString exportFolder = folder.path() + QLatin1Char('/');
    const QString log = folder.filePath(QStringLiteral("LogDatei.txt"));
    SilentPrompter prompter(true);

    struct Writer {
        const char* name;
        SepaResult (*write)(const QString&, BookingList&, const Firmendaten&, const QDateTime&, Prompter&);
        bool directDebit;
    };
    const Writer writers[] = {{"WriteSEPAUeberweisung", WriteSEPAUeberweisung, false},
                              {"WriteSEPALastschrift", WriteSEPALastschrift, true}};
    int run = 0;
    for (const Writer& writer : writers) {
        BookingList list = bookings(n);
        const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, run++));
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        CheckBookings(list, writer.directDebit, log, now); // as the export run does before writing
        const SepaResult result = writer.write(exportFolder, list, firma, now, prompter);
        const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%-22s %d bookings: %.3f s wall, %.3f s CPU (%s, %lld bytes)\n", writer.name, n, seconds,
                    cpuSeconds, result.written ? "written" : "NOT written",
                    static_cast<long long>(QFileInfo(result.file.tempPath).size()));
    }
    return 0;
}
