#include "hostdb/HostValues.h"

#include "hostdb/HostDb.h"

namespace HostValues {

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

QDateTime dateTime(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    const QString s = value.toString().trimmed();
    for (const char* format :
         {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss"}) {
        const QDateTime dt = QDateTime::fromString(s, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

QVariant bindable(const HostDb& db, const QDateTime& value) {
    if (db.isSqlServer())
        return value;
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString day(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

} // namespace HostValues
