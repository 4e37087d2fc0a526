// The claim and the release on SQL Server, which does not run here: their
// statements go to the statement recorder of the tests, which answers the
// claim as a server with every invoice open would. A round trip is a
// statement sent plus the commit; the simulated time is the round trips at
// 0.3 ms each (a server on the local network) plus the measured time of the
// program's own side. The server's own work (locks, index seeks, writing)
// is not in it.
// Usage: bench_sqlserver_round_trips [INVOICES ...] (default 1000 100000)

#include "RecordedSqlServer.h"
#include "bench/BenchSupport.h"
#include "export/Posting.h"
#include "selection/ReleaseInvoices.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr double kRoundTripMs = 0.3;

QStringList invoiceNames(int count) {
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("RE-%1").arg(i, 7, 10, QLatin1Char('0'));
    return names;
}

void report(const char* what, int invoices, const RecordedSqlServer& server, const QElapsedTimer& timer,
            bool ok) {
    int inserts = 0;
    for (const RecordingDriver::Sent& s : server.sent)
        inserts += s.sql.startsWith(QLatin1String("INSERT INTO #"));
    const int roundTrips = int(server.sent.size()) + server.driver->commits;
    const double local = ms(timer);
    std::printf(
        "%-9s %8d invoices: %4lld statements (%3d inserts of 400 names) + %d commit = %4d round trips; "
        "%8.1f ms local + %4d x %.1f ms = %8.1f ms simulated%s\n",
        what, invoices, qlonglong(server.sent.size()), inserts, server.driver->commits, roundTrips, local,
        roundTrips, kRoundTripMs, local + roundTrips * kRoundTripMs, ok ? "" : " - FAILED");
}

bool claim(int invoices) {
    const QStringList names = invoiceNames(invoices);
    BookingList bookings;
    bookings.reserve(invoices);
    for (const QString& name : names) {
        bookings.last().Rechnung = name;
        bookings.last().Betrag = 12345;
        bookings.append();
    }
    RecordedSqlServer server;
    Posting::Claim claim;
    int elsewhere = 0;
    QString error;
    QElapsedTimer timer;
    timer.start();
    const bool ok =
        Posting::post(*server.db, bookings, "A3", QDate(2026, 3, 28), &claim, &elsewhere, &error,
                      [](const Posting::Claim&, QString*) { return true; }) == Posting::Result::Posted;
    report("Buchung", invoices, server, timer, ok);
    return ok;
}

bool release(int invoices) {
    const QStringList names = invoiceNames(invoices);
    RecordedSqlServer server;
    QString error;
    QElapsedTimer timer;
    timer.start();
    const bool ok = releaseInvoices(*server.db, "A3", names, &error);
    report("Freigabe", invoices, server, timer, ok);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {1000, 100000};
    std::printf("SQL Server through the statement recorder: round trips = statements + commit; simulated = "
                "measured local time + round trips x %.1f ms.\n",
                kRoundTripMs);
    bool ok = true;
    for (int n : sizes)
        ok = claim(n) && release(n) && ok;
    return ok ? 0 : 1;
}
