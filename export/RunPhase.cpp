#include "export/RunPhase.h"

#include <QFile>
#include <QMutex>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Taken when the program is loaded, before main.
const Clock::time_point programStart = Clock::now();

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - programStart).count();
}

const QString& phaseFile() {
    static const QString file = qEnvironmentVariable("BRV32_SEPA_PHASEN");
    return file;
}

} // namespace

void RunPhase::sinceProgramStart(const char* name) {
    RunPhase phase(name);
    if (phase.m_startNs >= 0)
        phase.m_startNs = 0;
}

RunPhase::RunPhase(const char* name) : m_name(name) {
    if (!phaseFile().isEmpty())
        m_startNs = nowNs();
}

void RunPhase::end() {
    if (m_startNs < 0)
        return;
    const long long endNs = nowNs();
    // Phases may end on two threads at once.
    static QMutex mutex;
    const QMutexLocker lock(&mutex);
    QFile file(phaseFile());
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(QByteArray(m_name) + '\t' + QByteArray::number(m_startNs / 1e6, 'f', 1) + '\t' +
                   QByteArray::number(endNs / 1e6, 'f', 1) + '\n');
    m_startNs = -1;
}
