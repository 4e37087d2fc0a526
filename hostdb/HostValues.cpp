#include "hostdb/HostValues.h"

#include "hostdb/HostDb.h"

namespace {

// SQLite's "yyyy-MM-dd HH:mm:ss", read digit by digit: a parser per value
// would cost more than the rest of a list load.
bool fromSqliteText(const QString& s, QDate* date, QTime* time) {
    const auto digits = [&s](qsizetype from, qsizetype count, int* out) {
        int n = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (!s[i].isDigit())
                return false;
            n = n * 10 + s[i].digitValue();
        }
        *out = n;
        return true;
    };
    int y, mo, d, h, mi, sec;
    if (s.size() == 19 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-') && s[13] == QLatin1Char(':') &&
        s[16] == QLatin1Char(':') && digits(0, 4, &y) && digits(5, 2, &mo) && digits(8, 2, &d) &&
        digits(11, 2, &h) && digits(14, 2, &mi) && digits(17, 2, &sec)) {
        *date = QDate(y, mo, d);
        *time = QTime(h, mi, sec);
        return date->isValid() && time->isValid();
    }
    return false;
}

} // namespace

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
    QDate date;
    QTime time;
    if (fromSqliteText(s, &date, &time))
        return QDateTime(date, time);
    for (const char* format :
         {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss"}) {
        const QDateTime dt = QDateTime::fromString(s, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

bool dateAndTime(const QVariant& value, QDate* date, QTime* time) {
    if (value.isNull())
        return false;
    if (value.metaType().id() == QMetaType::QString && fromSqliteText(value.toString(), date, time))
        return true;
    const QDateTime dt = dateTime(value);
    if (!dt.isValid())
        return false;
    *date = dt.date();
    *time = dt.time();
    return true;
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
