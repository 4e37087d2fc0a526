#include "hostdb/HeaderStatements.h"

namespace HeaderStatements {

QString markTransferred() {
    return QStringLiteral("UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = ?, GESPERRT = 1 WHERE R_NAME = ? AND "
                          "VER_TYPE = ?");
}

} // namespace HeaderStatements
