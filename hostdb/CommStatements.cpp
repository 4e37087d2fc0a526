#include "hostdb/CommStatements.h"

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

QString deleteTransferMark() {
    return QStringLiteral("DELETE FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = ?");
}

QString countTransferMark() {
    return QStringLiteral("SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = ?");
}

} // namespace CommStatements
