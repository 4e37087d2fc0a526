#include "hostdb/HostValues.h"

#include "hostdb/HostDb.h"

namespace {

// SQLite's "yyyy-MM-dd HH:mm:ss", as text or blob, read digit by digit: a
// parser per value would cost more than the rest of a list load.
template <typename Char> bool fromSqliteText(const Char* s, qsizetype size, QDate* date, QTime* time) {
    const auto digits = [s](qsizetype from, qsizetype count, int* out) {
        int n = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return false;
            n = n * 10 + (s[i] - '0');
        }
        *out = n;
        return true;
    };
    int y, mo, d, h, mi, sec;
    if (size == 19 && s[4] == '-' && s[7] == '-' && s[13] == ':' && s[16] == ':' && digits(0, 4, &y) &&
        digits(5, 2, &mo) && digits(8, 2, &d) && digits(11, 2, &h) && digits(14, 2, &mi) &&
        digits(17, 2, &sec)) {
        *date = QDate(y, mo, d);
        *time = QTime(h, mi, sec);
        return date->isValid() && time->isValid();
    }
    return false;
}

bool fromSqliteText(const QString& s, QDate* date, QTime* time) {
    return fromSqliteText(s.utf16(), s.size(), date, time);
}

} // namespace

namespace HostValues {

QString text(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return *static_cast<const QString*>(value.constData());
    case QMetaType::QByteArray:
        // A text read as a blob (HostDb::readsTextAsBlob) holds its stored UTF-8.
        return QString::fromUtf8(*static_cast<const QByteArray*>(value.constData()));
    default:
        return value.toString();
    }
}

QString text(const QVariant& value, const QString& known) {
    if (!known.isEmpty()) {
        const int type = value.metaType().id();
        if (type == QMetaType::QByteArray &&
            QAnyStringView::equal(QUtf8StringView(*static_cast<const QByteArray*>(value.constData())), known))
            return known;
        if (type == QMetaType::QString && *static_cast<const QString*>(value.constData()) == known)
            return known;
    }
    return text(value);
}

QDateTime dateTime(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    const QString s = text(value).trimmed();
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
    if (value.metaType().id() == QMetaType::QString &&
        fromSqliteText(*static_cast<const QString*>(value.constData()), date, time))
        return true;
    if (value.metaType().id() == QMetaType::QByteArray) {
        const QByteArray& s = *static_cast<const QByteArray*>(value.constData());
        if (fromSqliteText(s.constData(), s.size(), date, time))
            return true;
    }
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
