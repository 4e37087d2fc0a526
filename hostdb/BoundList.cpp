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

} // namespace BoundList
