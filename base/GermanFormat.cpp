#include "base/GermanFormat.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const QLocale& german() {
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

// Integer and fractional parts of |cents| as digit texts.
struct Split {
    bool negative;
    qint64 units;
    int fraction;
};

Split split(qint64 cents) {
    const bool negative = cents < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(cents) : quint64(cents);
    return {negative, qint64(magnitude / 100), int(magnitude % 100)};
}

QChar digit(int value) {
    return QLatin1Char(char('0' + value));
}

// The amount with a decimal comma and two decimals, its units grouped in
// threes by "." when asked. Digits by hand: the CSV file and the reports
// format every amount.
QString fixedText(qint64 cents, bool grouping) {
    const Split s = split(cents);
    char16_t text[32];
    char16_t* const end = text + 32;
    char16_t* p = end;
    *--p = char16_t('0' + s.fraction % 10);
    *--p = char16_t('0' + s.fraction / 10);
    *--p = u',';
    quint64 units = quint64(s.units);
    int digits = 0;
    do {
        if (grouping && digits > 0 && digits % 3 == 0)
            *--p = u'.';
        *--p = char16_t('0' + units % 10);
        units /= 10;
        ++digits;
    } while (units != 0);
    if (s.negative)
        *--p = u'-';
    return QStringView(p, end - p).toString();
}

// The shortest decimal text of cents with the given separator, written to
// out; returns its length. Digits by hand: the writers format every amount
// of a file.
qsizetype shortText(qint64 cents, char separator, char* out) {
    const Split s = split(cents);
    char digits[20];
    int n = 0;
    quint64 units = quint64(s.units);
    do {
        digits[n++] = char('0' + units % 10);
        units /= 10;
    } while (units != 0);
    char* p = out;
    if (s.negative)
        *p++ = '-';
    while (n > 0)
        *p++ = digits[--n];
    if (s.fraction != 0) {
        *p++ = separator;
        *p++ = char('0' + s.fraction / 10);
        if (s.fraction % 10 != 0)
            *p++ = char('0' + s.fraction % 10);
    }
    return p - out;
}

} // namespace

namespace GermanFormat {

QString date(const QDate& d) {
    if (!d.isValid())
        return {};
    int year = 0, month = 0, day = 0;
    d.getDate(&year, &month, &day);
    if (year < 1000 || year > 9999)
        return d.toString(QStringLiteral("dd.MM.yyyy"));
    // By hand for the usual years: the CSV file and the reports format two per booking.
    const QChar text[10] = {digit(day / 10),    digit(day % 10),        QLatin1Char('.'),
                            digit(month / 10),  digit(month % 10),      QLatin1Char('.'),
                            digit(year / 1000), digit(year / 100 % 10), digit(year / 10 % 10),
                            digit(year % 10)};
    return QString(text, 10);
}

QString dateTime(const QDateTime& dt) {
    if (!dt.isValid())
        return {};
    QString text = date(dt.date());
    const QTime t = dt.time();
    if (t != QTime(0, 0)) {
        const QChar clock[9] = {QLatin1Char(' '), digit(t.hour() / 10),   digit(t.hour() % 10),
                                QLatin1Char(':'), digit(t.minute() / 10), digit(t.minute() % 10),
                                QLatin1Char(':'), digit(t.second() / 10), digit(t.second() % 10)};
        text.append(clock, 9);
    }
    return text;
}

QString longDate(const QDate& d) {
    return german().toString(d, QStringLiteral("dddd, d. MMMM yyyy"));
}

QString count(qint64 n) {
    return german().toString(n);
}

QString amount(qint64 cents) {
    return fixedText(cents, true);
}

QString amountPlain(qint64 cents) {
    return fixedText(cents, false);
}

QString amountShort(qint64 cents) {
    char text[kMaxAmountXmlLength];
    return QString::fromLatin1(text, shortText(cents, ',', text));
}

QString amountXml(qint64 cents) {
    char text[kMaxAmountXmlLength];
    return QString::fromLatin1(text, amountXmlChars(cents, text));
}

qsizetype amountXmlChars(qint64 cents, char* out) {
    return shortText(cents, '.', out);
}

qint64 roundToCents(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return 0;
    // Far beyond any amount a payment may carry; larger values would not fit
    // into 64 bits of cents and must not wrap round into small or negative ones.
    constexpr double kLimit = 1e16;
    const double magnitude = std::fabs(value);
    if (magnitude >= kLimit)
        return value < 0 ? -qint64(kLimit) * 100 : qint64(kLimit) * 100;
    // Below 10^10 the 15-digit text is within 0.001 cent of the binary value,
    // so away from a half cent both round alike; the text is built only near
    // one. Lists and bookings round every amount they read.
    if (magnitude < 1e10) {
        const double hundredths = magnitude * 100.0;
        const double whole = std::floor(hundredths);
        const double fraction = hundredths - whole;
        if (std::fabs(fraction - 0.5) > 0.01) {
            const qint64 cents = qint64(whole) + (fraction > 0.5 ? 1 : 0);
            return value < 0 ? -cents : cents;
        }
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude); // d.ddddddddddddddde±x
    qint64 mantissa = 0;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            mantissa = mantissa * 10 + (*p - '0');
    }
    const int exponent = std::atoi(p + 1);
    const int shift = exponent + 2 - 14; // mantissa * 10^shift is the value in cents
    qint64 cents = 0;
    if (shift >= 0) {
        cents = mantissa;
        for (int i = 0; i < shift && i < 6; ++i)
            cents *= 10;
    } else if (shift > -18) {
        qint64 divisor = 1;
        for (int i = 0; i < -shift; ++i)
            divisor *= 10;
        cents = mantissa / divisor;
        if ((mantissa % divisor) * 2 >= divisor)
            ++cents;
    }
    return value < 0 ? -cents : cents;
}

bool parseAmount(const QString& text, qint64* cents) {
    static const QRegularExpression pattern(
        QStringLiteral("^(-?)([0-9]{1,3}(?:\\.[0-9]{3})*|[0-9]+)(?:,([0-9]{1,2}))?$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    QString units = match.captured(2);
    units.remove(QLatin1Char('.'));
    QString fraction = match.captured(3);
    while (fraction.size() < 2)
        fraction += QLatin1Char('0');
    qint64 value = units.toLongLong() * 100 + fraction.toInt();
    *cents = match.captured(1).isEmpty() ? value : -value;
    return true;
}

QDate parseDate(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return {};
    bool okDay = false, okMonth = false, okYear = false;
    const int day = parts[0].toInt(&okDay);
    const int month = parts[1].toInt(&okMonth);
    const int year = parts[2].toInt(&okYear);
    if (!okDay || !okMonth || !okYear)
        return {};
    return QDate(year, month, day);
}

} // namespace GermanFormat
