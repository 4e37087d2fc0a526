#include "base/Windows1252.h"

namespace {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the five unused bytes.
constexpr char16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char encodeOne(char16_t c, bool* ok) {
    *ok = true;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c && c != 0)
            return static_cast<char>(0x80 + i);
    }
    // The unused bytes decode to their C1 code points; let them round-trip.
    if (c >= 0x80 && c < 0xA0 && kHighControls[c - 0x80] == 0)
        return static_cast<char>(c);
    *ok = false;
    return '?';
}

} // namespace

namespace Windows1252 {

QString decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0)
            text.append(QChar(kHighControls[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

QByteArray encode(const QString& text, bool* lossy) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool anyLost = false;
    const char* end = encodeInto(text, bytes.data(), &anyLost);
    bytes.truncate(end - bytes.constData());
    if (lossy)
        *lossy = anyLost;
    return bytes;
}

char* encodeInto(QStringView text, char* out, bool* lossy) {
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    while (c != end) {
        const char16_t unit = *c++;
        if (unit < 0x80) {
            *out++ = char(unit);
            continue;
        }
        if (QChar::isHighSurrogate(unit) && c != end && QChar::isLowSurrogate(*c))
            ++c; // one character outside the basic plane, one "?"
        bool ok = false;
        *out++ = encodeOne(unit, &ok);
        if (!ok)
            *lossy = true;
    }
    return out;
}

} // namespace Windows1252
