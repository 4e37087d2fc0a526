#include "hostdb/HeaderStatements.h"

namespace HeaderStatements {

QString restoreBeforePosting() {
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = NULL, GESPERRT = ? WHERE R_NAME = "
        "? AND VER_TYPE = ? AND ZAHLDATUM = ?");
}

QString paymentDate() {
    return QStringLiteral("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = ? AND VER_TYPE = ?");
}

} // namespace HeaderStatements
