#include "output/BankIdentifiers.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

bool isUpper(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetterOrDigit(QChar c) {
    return isUpper(c) || isDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

QString withoutBlanks(const QString& text) {
    QString result = text;
    result.remove(QLatin1Char(' '));
    return result;
}

// The remainder by 97 of the number that the texts stand for, one after the
// other, when every letter is replaced by its two digits (A = 10 … Z = 35).
// The number is gathered in steps of up to 14 digits, so that only every
// few characters divide.
int mod97(std::initializer_list<QStringView> texts) {
    std::int64_t rest = 0;
    int digits = 0;
    for (const QStringView text : texts) {
        for (const QChar c : text) {
            if (isDigit(c)) {
                rest = rest * 10 + (c.unicode() - '0');
                digits += 1;
            } else {
                rest = rest * 100 + (c.unicode() - 'A' + 10);
                digits += 2;
            }
            if (digits >= 14) {
                rest %= 97;
                digits = 2;
            }
        }
    }
    return int(rest % 97);
}

} // namespace

namespace BankIdentifiers {

QString normalized(const QString& identifier) {
    // As a rule it is stored that way already and comes back without a copy.
    const bool asStored = std::none_of(identifier.begin(), identifier.end(), [](QChar c) {
        return c == QLatin1Char(' ') || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               c.unicode() >= 0x80;
    });
    return asStored ? identifier : withoutBlanks(identifier).toUpper();
}

bool ibanFitsSchema(const QString& iban) {
    if (iban.size() < 5 || iban.size() > 34)
        return false;
    if (!isUpper(iban[0]) || !isUpper(iban[1]) || !isDigit(iban[2]) || !isDigit(iban[3]))
        return false;
    for (qsizetype i = 4; i < iban.size(); ++i) {
        if (!isAsciiLetterOrDigit(iban[i]))
            return false;
    }
    return true;
}

bool bicFitsSchema(const QString& bic) {
    if (bic.size() != 8 && bic.size() != 11)
        return false;
    for (int i = 0; i < 6; ++i) {
        if (!isUpper(bic[i]))
            return false;
    }
    const QChar location = bic[6];
    if (!(isUpper(location) || (location >= QLatin1Char('2') && location <= QLatin1Char('9'))))
        return false;
    const QChar office = bic[7];
    if (!((isUpper(office) && office != QLatin1Char('O')) || isDigit(office)))
        return false;
    for (qsizetype i = 8; i < bic.size(); ++i) {
        if (!isUpper(bic[i]) && !isDigit(bic[i]))
            return false;
    }
    return true;
}

bool ibanHasNationalLength(const QString& iban) {
    const qsizetype length = withoutBlanks(iban).size();
    if (length == 0)
        return false;
    const QStringView country = QStringView(iban).left(2);
    if (country == u"DE")
        return length == 22;
    if (country == u"AT")
        return length == 20;
    if (country == u"CH")
        return length == 21;
    return true;
}

bool ibanCheckDigitsValid(const QString& iban) {
    return mod97({QStringView(iban).mid(4), QStringView(iban).left(4)}) == 1;
}

bool creditorIdValid(const QString& creditorId) {
    const QString id = normalized(creditorId);
    if (id.size() < 8 || id.size() > 35 || !isUpper(id[0]) || !isUpper(id[1]) || !isDigit(id[2]) ||
        !isDigit(id[3]))
        return false;
    for (qsizetype i = 4; i < id.size(); ++i) {
        if (!isUpper(id[i]) && !isDigit(id[i]))
            return false;
    }
    // The business code (positions 4 to 6) is not part of the check.
    return mod97({QStringView(id).mid(7), QStringView(id).left(4)}) == 1;
}

QString bicOrNotProvided(const QString& bic) {
    const QString result = normalized(bic);
    return result.isEmpty() ? QStringLiteral("NOTPROVIDED") : result;
}

} // namespace BankIdentifiers
