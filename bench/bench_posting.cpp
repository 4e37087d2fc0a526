// Times the posting alone: marks and headers of every open credit transfer
// (A3) and every open direct debit (R0) of a demo host database, each on a
// fresh copy of it, with the CPU time the process spent in the posting.
// Usage: bench_posting [INVOICES_PER_TYPE [MASTER_DB]] (default 100000; a
// master database that exists is used as it is, one that does not is kept
// for the next run). Under
// valgrind --tool=callgrind --toggle-collect='Posting::post*' it counts the
// posting's instructions only.

#include "base/NodeKey.h"
#include "bench/BenchSupport.h"
#include "export/Posting.h"
#include "hostdb/HostDb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <ctime>

namespace {

double cpuMs() {
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

bool runCase(const QString& master, const QString& folder, const QString& key) {
    const QString file = folder + QStringLiteral("/%1.db").arg(key);
    QFile::remove(file);
    if (!QFile::copy(master, file))
        return false;
    QString error;
    const auto db = HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + file, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    BookingList bookings;
    {
        QSqlQuery q = db->newQuery();
        if (!db->run(q,
                     QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE VER_TYPE = ? AND ZAHLDATUM IS NULL"),
                     {NodeKey::documentType(key)}, &error))
            return false;
        for (qint64 cents = 1; q.next(); ++cents) {
            Buchung b;
            b.Rechnung = q.value(0).toString();
            b.Betrag = cents * 99999 % 99999999999;
            bookings.append(b);
        }
    }
    Posting::Claim claim;
    int elsewhere = 0;
    const double rssBefore = rssMb();
    resetPeakRss();
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    const Posting::Result result =
        Posting::post(*db, bookings, key, QDate(2026, 3, 28), &claim, &elsewhere, &error,
                      [](const Posting::Claim&, QString*) { return true; });
    std::printf("%s: %lld bookings posted in %.0f ms wall, %.0f ms CPU, peak %.0f MB above the start%s\n",
                qPrintable(key), qlonglong(bookings.count()), ms(timer), cpuMs() - cpuStart,
                peakRssMb() - rssBefore, result == Posting::Result::Posted ? "" : " - NOT POSTED");
    if (result != Posting::Result::Posted)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    return result == Posting::Result::Posted;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    const QString master =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : folder.filePath(QStringLiteral("master.db"));
    DemoDatabase::Options options;
    if (!QFile::exists(master) &&
        !writeBenchDatabase(master, &options, argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000))
        return 1;
    bool ok = true;
    for (const char* key : {"A3", "R0"})
        ok = runCase(master, folder.path(), QString::fromLatin1(key)) && ok;
    return ok ? 0 : 1;
}
