#include "selection/ReleaseInvoices.h"

#include "hostdb/CommStatements.h"
#include "hostdb/HeaderStatements.h"
#include "hostdb/HostDb.h"
#include "selection/NodeKey.h"

#include <QSqlDatabase>
#include <QSqlError>

bool releaseInvoices(const HostDb& SQLConn, const QString& nodeKey, const QStringList& names,
                     QString* error) {
    if (names.isEmpty())
        return true;
    // Marks deleted but headers still paid would hide the invoices from both
    // lists; the two steps stand or fall together.
    if (!SQLConn.transaction()) {
        *error = SQLConn.database().lastError().text();
        return false;
    }
    if (CommStatements::deleteTransferMarks(SQLConn, NodeKey::transferKind(nodeKey), names, error) &&
        HeaderStatements::releaseHeaders(SQLConn, NodeKey::documentType(nodeKey), names, error)) {
        if (SQLConn.commit())
            return true;
        *error = SQLConn.database().lastError().text();
    }
    SQLConn.rollback();
    return false;
}

QString releaseFailedMessage(const QString& error) {
    return QStringLiteral("Die Rechnungen konnten nicht freigegeben werden; in der Datenbank wurde nichts "
                          "geändert.\r") +
           error;
}
