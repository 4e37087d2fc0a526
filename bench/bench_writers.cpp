// Times the two SEPA writers on 100,000 bookings (or the number given) in
// both versions (target: writer alone 0.3 s for credit transfers, 0.5 s for
// direct debits, schema check 0.6 s), and the schema check of each written
// file by itself; then the CSV bank file.
#include "bench/BenchSupport.h"
#include "output/CsvFile.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaSchemaValidation.h"
#include "output/SepaUeberweisung.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <time.h>

namespace {

double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

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
        b.Rechnungsdat = QDateTime(QDate(2026, 11, 1), QTime(0, 0));
        b.IBAN = QStringLiteral("DE89 3704 0044 0532 0130 00");
        b.BIC = QStringLiteral("COBADEFFXXX");
        list.append(b);
    }
    return list;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir folder;
    Firmendaten firma;
    firma.FirmenName = QStringLiteral("Brevanta Handels GmbH");
    firma.Bankleitzahl = QStringLiteral("GENODEF1M04");
    firma.Kontonummer = QStringLiteral("DE26 7016 0000 0000 5555 55");
    firma.GlaubigerID = QStringLiteral("DE98ZZZ09999999999");
    firma.Verwendungszweck = QStringLiteral("Bench");
    const QString exportFolder = folder.path() + QLatin1Char('/');
    const QString log = folder.filePath(QStringLiteral("LogDatei.txt"));
    SilentPrompter prompter(true);

    struct Writer {
        const char* name;
        SepaResult (*write)(const QString&, BookingList&, const Firmendaten&, const QDateTime&, Prompter&,
                            const SepaOptions&, SchemaCheckTiming);
        bool directDebit;
        SepaSchemas schemas[2]; // 2009, 2019
    };
    const Writer writers[] = {
        {"WriteSEPAUeberweisung",
         WriteSEPAUeberweisung,
         false,
         {{{"pain.001.001.03.xsd", nullptr}, "", nullptr}, {{"pain.001.001.09.xsd", nullptr}, "", nullptr}}},
        {"WriteSEPALastschrift",
         WriteSEPALastschrift,
         true,
         {{{"pain.008.001.02.xsd", nullptr}, "", nullptr},
          {{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_5.xsd"}, "", nullptr}}}};
    int run = 0;
    for (const Writer& writer : writers) {
        for (const SepaVersion version : {SepaVersion::Iso2009, SepaVersion::Iso2019}) {
            BookingList list = bookings(n);
            const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, run++));
            CheckBookings(list, writer.directDebit, version, log, now); // as the export run does first
            // The schema check runs on a thread of its own while the writer
            // writes: the writing thread's CPU time is the writer alone, the
            // process's the writer and the check together.
            QElapsedTimer timer;
            timer.start();
            const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            const double threadStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            SepaResult result =
                writer.write(exportFolder, list, firma, now, prompter, SepaOptions{.version = version},
                             SchemaCheckTiming::WhileWriting);
            const double writerCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart;
            const double bothCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
            const char* year = version == SepaVersion::Iso2019 ? "2019" : "2009";
            std::printf(
                "%-22s %s %d bookings: writer alone %.3f s CPU; with the schema check %.3f s CPU, %.3f s "
                "wall (%s, %lld bytes)\n",
                writer.name, year, n, writerCpu, bothCpu, timer.nsecsElapsed() / 1e9,
                result.written ? "written" : "NOT written",
                static_cast<long long>(QFileInfo(result.file.tempPath).size()));

            // The check alone, on the staged file; its schemas are parsed already.
            QString complaint;
            timer.restart();
            const double checkStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            const bool valid =
                PendingSchemaCheck(result.file, writer.schemas[version == SepaVersion::Iso2019])
                    .passes(&complaint);
            std::printf("%-22s %s schema check alone: %.3f s CPU, %.3f s wall (%s)\n", writer.name, year,
                        cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - checkStart, timer.nsecsElapsed() / 1e9,
                        valid ? "valid" : qPrintable(complaint));
            result.file.discard();
        }
    }
    {
        // The CSV bank file of the same number of bookings.
        const BookingList list = bookings(n);
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        PendingFile csv =
            WriteCSVFile(exportFolder, list, firma, QDateTime(QDate(2026, 12, 5), QTime(14, 6)), prompter);
        std::printf("%-22s %d bookings: %.3f s CPU, %.3f s wall (%lld bytes)\n", "WriteCSVFile", n,
                    cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart, timer.nsecsElapsed() / 1e9,
                    static_cast<long long>(QFileInfo(csv.tempPath).size()));
        csv.discard();
    }
    return 0;
}
