#include "hostdb/BoundList.h"

namespace BoundList {

QString placeholders(qsizetype count) {
    QString text = QStringLiteral("(");
    for (qsizetype i = 0; i < count; ++i)
        text += i ? QStringLiteral(",?") : QStringLiteral("?");
    return text + QLatin1Char(')');
}

bool forEachChunk(const QStringList& names,
                  const std::function<bool(const QString& placeholders, const QVariantList& names)>& run) {
    for (qsizetype from = 0; from < names.size(); from += kChunk) {
        const QStringList chunk = names.mid(from, kChunk);
        QVariantList values;
        values.reserve(chunk.size());
        for (const QString& name : chunk)
            values.append(name);
        if (!run(placeholders(chunk.size()), values))
            return false;
    }
    return true;
}

void appendJsonString(QString& json, const QString& text) {
    json += QLatin1Char('"');
    qsizetype plain = 0; // start of the characters not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        json += QStringView(text).sliced(plain, i - plain);
        json += c < 0x20 ? QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'))
                         : QString(QLatin1Char('\\')) + QChar(c);
        plain = i + 1;
    }
    json += QStringView(text).sliced(plain);
    json += QLatin1Char('"');
}

} // namespace BoundList
