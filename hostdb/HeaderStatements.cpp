#include "hostdb/HeaderStatements.h"

#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"

namespace HeaderStatements {

QString valuesBeforePosting(const HostDb& db) {
    // UPDLOCK, HOLDLOCK: on SQL Server the row stays locked against every
    // other run's claim until this transaction ends, so the values read are
    // the ones the posting replaces and a take-back restores.
    if (db.isSqlServer())
        return QStringLiteral("SELECT ZAHL_BETRAG, ZAHLDATUM, GESPERRT FROM HEADERRECH WITH (UPDLOCK, "
                              "HOLDLOCK) WHERE R_NAME = ? AND VER_TYPE = ?");
    // SQLite runs the posting as one writing transaction that no other writer
    // can interleave, so the read may also test for a mark of the kind and
    // the mark be a plain insert (see claimTransferMark).
    return QStringLiteral("SELECT ZAHL_BETRAG, ZAHLDATUM, GESPERRT, EXISTS (SELECT 1 FROM COMM WHERE ID = 7 "
                          "AND SUBNUM = ? AND SUBTEXT = HEADERRECH.R_NAME) FROM HEADERRECH WHERE R_NAME = ? "
                          "AND VER_TYPE = ?");
}

QString markTransferred() {
    // The condition makes the update its own test: an invoice another run
    // posted meanwhile is left alone and the row count tells.
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = ?, GESPERRT = 1 WHERE R_NAME = ? AND "
        "VER_TYPE = ? AND ZAHLDATUM IS NULL");
}

QString restoreBeforePosting() {
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = NULL, GESPERRT = ? WHERE R_NAME = "
        "? AND VER_TYPE = ? AND ZAHLDATUM = ?");
}

QString paymentDate() {
    return QStringLiteral("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = ? AND VER_TYPE = ?");
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
