#include "hostdb/CommStatements.h"

#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"

namespace CommStatements {

bool tidyTransferMarks(const HostDb& db, QString* error) {
    if (!db.execute(QStringLiteral("UPDATE COMM SET SUBNUM = 1 WHERE ID = 7 AND SUBNUM IS NULL"), {}, error))
        return false;
    const QString orphanedMarks =
        db.isSqlServer()
            ? QStringLiteral(
                  "DELETE FROM COMM  FROM COMM LEFT JOIN HEADERRECH ON COMM.SUBTEXT = HEADERRECH.R_NAME "
                  "AND HEADERRECH.VER_TYPE = ? WHERE COMM.SUBNUM  = ? AND HEADERRECH.R_NAME IS NULL "
                  "AND COMM.ID = 7")
            : QStringLiteral("DELETE FROM COMM WHERE COMM.ID = 7 AND NOT EXISTS (SELECT 1 FROM HEADERRECH "
                             "WHERE COMM.SUBTEXT = HEADERRECH.R_NAME AND HEADERRECH.VER_TYPE = ?) "
                             "AND COMM.SUBNUM = ?");
    for (int n = 1; n <= 8; ++n) {
        if (!db.execute(orphanedMarks, {QStringLiteral("A%1").arg(n), n}, error))
            return false;
    }
    return true;
}

QString claimTransferMark(const HostDb& db) {
    // Under READ COMMITTED the NOT EXISTS test alone would take its shared
    // locks only while it reads, so two runs could both find no mark and both
    // insert one. UPDLOCK makes the test take an update lock that two runs
    // cannot hold at once, HOLDLOCK keeps it (as a key-range lock, so it also
    // covers a mark that does not exist yet) until the transaction ends: the
    // second run waits for the first to commit and then finds its mark.
    if (db.isSqlServer())
        return QStringLiteral(
            "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) SELECT 7, ?, ?, ? WHERE NOT EXISTS (SELECT 1 FROM "
            "COMM WITH (UPDLOCK, HOLDLOCK) WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = ?)");
    // SQLite's writing transaction excludes every other writer and fails
    // rather than write over what it read, so the test in the header read of
    // the same transaction holds; an insert that read its own table would
    // first copy its rows through a temporary table, which doubled the cost.
    return QStringLiteral(
        "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) SELECT 7, key, ?, ? FROM json_each(?)");
}

QString deleteTransferMark() {
    return QStringLiteral("DELETE FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = ?");
}

QString countTransferMark() {
    return QStringLiteral("SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = ?");
}

bool deleteTransferMarks(const HostDb& db, int kind, const QStringList& names, QString* error) {
    return BoundList::forEachChunk(names, [&](const QString& placeholders, const QVariantList& chunk) {
        return db.execute(QStringLiteral("DELETE FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT IN") +
                              placeholders,
                          QVariantList{kind} + chunk, error);
    });
}

} // namespace CommStatements
