#pragma once

// Timing, memory and prompter helpers shared by the benchmarks.

#include "base/Prompter.h"
#include "hostdb/DemoDatabase.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

// The demo database the benchmarks share: 100,000 open invoices per type
// unless told otherwise, dated in March 2026. Prints how long it took.
inline bool writeBenchDatabase(const QString& file, DemoDatabase::Options* options,
                               int invoicesPerType = 100000) {
    options->invoicesPerType = invoicesPerType;
    options->today = QDate(2026, 3, 28);
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!DemoDatabase::write(file, *options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    std::printf("demo database (5 types x %d invoices): %.0f ms\n", options->invoicesPerType,
                timer.nsecsElapsed() / 1e6);
    return true;
}

inline double ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// A line of /proc/self/status in MB ("VmHWM:", "VmRSS:").
inline double statusMb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Peak resident memory in MB since the last reset.
inline double peakRssMb() {
    return statusMb("VmHWM:");
}

// Resident memory now, in MB.
inline double rssMb() {
    return statusMb("VmRSS:");
}

// Lets the peak count from here on (Linux 4.0 and later).
inline void resetPeakRss() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Gives every question the same answer, prints messages to standard error
// (a clean run has none) and presents no report.
class SilentPrompter : public QuietPrompter {
public:
    explicit SilentPrompter(bool answer) : QuietPrompter(answer) {}

    void message(const QString& text, Icon, const QString&) override {
        std::fprintf(stderr, "Meldung: %s\n", qPrintable(text));
    }
};
