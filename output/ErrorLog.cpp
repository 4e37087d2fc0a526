#include "output/ErrorLog.h"

#include "base/Windows1252.h"
#include "output/FullWrite.h"
#include "output/SystemReason.h"

#include <QFile>

bool WriteLog(const QString& logPath, const QString& message, const QDateTime& now, QString* error) {
    const QString line = now.toString(QStringLiteral("yyyy.MM.dd")) + QStringLiteral(" - ") +
                         now.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(';') + message +
                         QStringLiteral("\r\n");
    const QByteArray bytes = Windows1252::encode(line);
    QFile file(logPath);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Append) && writeAll(file, bytes) && flushAll(file);
    if (!written && error)
        *error = germanReason(file.errorString());
    return written;
}
