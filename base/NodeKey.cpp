#include "base/NodeKey.h"

namespace NodeKey {

bool isDirectDebit(const QString& key) {
    return key.contains(QLatin1Char('R'), Qt::CaseSensitive);
}

QString normalised(const QString& key) {
    return isDirectDebit(key) ? QStringLiteral("R0") : key;
}

QString documentType(const QString& key) {
    return isDirectDebit(key) ? QStringLiteral("R") : key;
}

int transferKind(const QString& key) {
    const QString k = normalised(key);
    return k.isEmpty() ? 0 : k.back().digitValue();
}

QString flagSetting(const QString& key) {
    return isDirectDebit(key) ? QStringLiteral("CheckBoxLastschrift") : QStringLiteral("CheckBoxGutschrift");
}

} // namespace NodeKey
