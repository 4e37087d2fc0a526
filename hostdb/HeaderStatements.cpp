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
    // can interleave, so one statement reads the headers of many invoices
    // (json_each over the bound list) and also tests each for a mark of the
    // kind; the marks are then a plain insert (see claimTransferMark).
    return QStringLiteral(
        "SELECT j.key, h.ZAHL_BETRAG, h.GESPERRT, h.R_NAME IS NULL OR h.ZAHLDATUM IS NOT NULL OR EXISTS "
        "(SELECT 1 FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = h.R_NAME) FROM json_each(?) AS j "
        "LEFT JOIN HEADERRECH h ON h.R_NAME = j.key AND h.VER_TYPE = ?");
}

QString markTransferred(const HostDb& db) {
    // The condition makes the update its own test: an invoice another run
    // posted meanwhile is left alone and the row count tells.
    if (db.isSqlServer())
        return QStringLiteral(
            "UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = ?, GESPERRT = 1 WHERE R_NAME = ? AND "
            "VER_TYPE = ? AND ZAHLDATUM IS NULL");
    // Cents divided in SQLite give the same double as in the program.
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = j.value / 100.0, ZAHLDATUM = ?, GESPERRT = 1 FROM json_each(?) "
        "AS j WHERE HEADERRECH.R_NAME = j.key AND HEADERRECH.VER_TYPE = ? AND HEADERRECH.ZAHLDATUM IS NULL");
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
