#include "hostdb/HeaderStatements.h"

#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"

namespace HeaderStatements {

QString markTransferred() {
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = ?, GESPERRT = 1 WHERE R_NAME = ? AND "
        "VER_TYPE = ?");
}

bool releaseHeaders(const HostDb& db, const QString& documentType, const QStringList& names, QString* error) {
    return BoundList::forEachChunk(names, [&](const QString& placeholders, const QVariantList& chunk) {
        return db.execute(QStringLiteral("UPDATE HEADERRECH SET GESPERRT = NULL, ZAHLDATUM = NULL "
                                         "WHERE Ver_TYPE = ? AND R_Name IN ") +
                              placeholders,
                          QVariantList{documentType} + chunk, error);
    });
}

} // namespace HeaderStatements
