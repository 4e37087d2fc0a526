#include "output/Sanitizing.h"

#include <array>

namespace {

// The replacement of one character, or nullptr when it stays.
const char* replacementOf(char16_t c) {
    switch (c) {
    case u'Ä':
        return "AE";
    case u'Ö':
        return "OE";
    case u'Ü':
        return "UE";
    case u'ä':
        return "ae";
    case u'ö':
        return "oe";
    case u'ü':
        return "ue";
    case u'ß':
        return "ss";
    case u'Á':
    case u'À':
        return "A";
    case u'á':
    case u'à':
        return "a";
    case u'É':
    case u'È':
        return "E";
    case u'é':
    case u'è':
        return "e";
    case u'Í':
    case u'Ì':
        return "I";
    case u'í':
    case u'ì':
        return "i";
    case u'Ó':
    case u'Ò':
        return "O";
    case u'ó':
    case u'ò':
        return "o";
    case u'Ú':
    case u'Ù':
        return "U";
    case u'ú':
    case u'ù':
        return "u";
    case u'Ý':
        return "Y";
    case u'ý':
        return "y";
    default:
        return nullptr;
    }
}

// The letters that have no canonical decomposition to a base letter.
const char* letterReplacementOf(char16_t c) {
    switch (c) {
    case u'ø':
        return "o";
    case u'Ø':
        return "O";
    case u'æ':
        return "ae";
    case u'Æ':
        return "AE";
    case u'œ':
        return "oe";
    case u'Œ':
        return "OE";
    case u'ł':
        return "l";
    case u'Ł':
        return "L";
    case u'đ':
    case u'ð':
        return "d";
    case u'Đ':
    case u'Ð':
        return "D";
    case u'þ':
        return "th";
    case u'Þ':
        return "TH";
    case u'ı':
        return "i";
    default:
        return nullptr;
    }
}

bool inSepaSet(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '-' || c == '?' || c == ':' || c == '(' || c == ')' || c == '.' || c == ',' || c == '\'' ||
           c == '+' || c == ' ';
}

} // namespace

QString ReplaceSpecialChars(const QString& text) {
    // Every character of the table lies in Latin-1's upper half; most texts
    // hold none and come back without a copy.
    qsizetype first = 0;
    while (first < text.size() &&
           (text.at(first).unicode() < 0xC0 || !replacementOf(text.at(first).unicode())))
        ++first;
    if (first == text.size())
        return text;

    QString result = text.left(first);
    result.reserve(text.size() + 8);
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (const char* plain = replacementOf(c.unicode()))
            result += QLatin1String(plain);
        else
            result += c;
    }
    return result;
}

void ReplaceSpecialCharsInBookings(BookingList& bookings) {
    for (Buchung& b : bookings) {
        b.Anrede = ReplaceSpecialChars(b.Anrede);
        b.Strasse = ReplaceSpecialChars(b.Strasse);
        b.Ort = ReplaceSpecialChars(b.Ort);
        b.Nation = ReplaceSpecialChars(b.Nation);
        b.Name = ReplaceSpecialChars(b.Name);
        b.Vorname = ReplaceSpecialChars(b.Vorname);
        b.Bank = ReplaceSpecialChars(b.Bank);
    }
}

namespace {

// The whole way, for any text: replacements, then decomposition with the
// marks dropped, then a blank for whatever is still outside the set.
QString toSepaSetSlowly(const QString& text) {
    QString letters;
    for (const QChar c : ReplaceSpecialChars(text)) {
        if (const char* replacement = letterReplacementOf(c.unicode()))
            letters += QLatin1String(replacement);
        else
            letters += c;
    }
    // Canonical decomposition puts the base letter first and its marks
    // after it; the marks then fall outside the set and are dropped.
    QString result;
    for (const QChar c : letters.normalized(QString::NormalizationForm_D)) {
        if (c.isMark())
            continue;
        result += inSepaSet(c.unicode()) ? c : QLatin1Char(' ');
    }
    return result;
}

// Each Latin-1 character's part of the result, taken the whole way once: a
// Latin-1 character decomposes into its base letter and marks alone, so a
// Latin-1 text comes out as its characters' parts in a row. Names and
// addresses are Latin-1 as a rule, and the whole way costs thousands of
// steps per text.
const std::array<QString, 256>& latin1Parts() {
    static const std::array<QString, 256> parts = [] {
        std::array<QString, 256> all;
        for (char16_t c = 0; c < 256; ++c)
            all[c] = toSepaSetSlowly(QString(QChar(c)));
        return all;
    }();
    return parts;
}

} // namespace

QString ToSepaCharacterSet(const QString& text, qsizetype maxLength) {
    bool plain = true;
    bool latin1 = true;
    for (const QChar c : text) {
        plain = plain && inSepaSet(c.unicode());
        latin1 = latin1 && c.unicode() < 256;
    }
    QString result;
    if (plain) {
        result = text;
    } else if (latin1) {
        const std::array<QString, 256>& parts = latin1Parts();
        result.reserve(text.size() + 8);
        for (const QChar c : text)
            result += parts[c.unicode()];
    } else {
        result = toSepaSetSlowly(text);
    }
    return result.trimmed().left(maxLength);
}

bool isSepaIdentifier(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || !inSepaSet(c.unicode()))
            return false;
    }
    return true;
}
