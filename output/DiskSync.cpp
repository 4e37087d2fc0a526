#include "output/DiskSync.h"

#include "output/FullWrite.h"
#include "output/SystemReason.h"

#include <cerrno>

#if defined(Q_OS_WIN)
#include <io.h>
#elif defined(Q_OS_UNIX)
#include <unistd.h>
#endif

bool syncToDisk(QFileDevice& file, QString* error) {
    if (!flushAll(file)) {
        *error = germanReason(file.errorString());
        return false;
    }
#if defined(Q_OS_WIN)
    // QFile's handle is a C runtime descriptor on Windows; _commit flushes it
    // with FlushFileBuffers.
    const bool synced = ::_commit(file.handle()) == 0;
#elif defined(Q_OS_UNIX)
    const bool synced = ::fsync(file.handle()) == 0;
#else
    const bool synced = true;
#endif
    if (!synced)
        *error = germanReason(qt_error_string(errno));
    return synced;
}
