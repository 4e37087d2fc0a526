#include "selection/ReleaseInvoices.h"

#include "base/NodeKey.h"
#include "hostdb/HostDb.h"
#include "hostdb/ReleaseStatements.h"

bool releaseInvoices(const HostDb& SQLConn, const QString& nodeKey, const QStringList& names,
                     QString* error) {
    if (names.isEmpty())
        return true;
    // Marks deleted but headers still paid would hide the invoices from both
    // lists; the two steps stand or fall together.
    if (!SQLConn.transaction(error))
        return false;
    if (ReleaseStatements::release(SQLConn, NodeKey::transferKind(nodeKey), NodeKey::documentType(nodeKey),
                                   names, error) &&
        SQLConn.commit(error))
        return true;
    // Explicitly: SQL Server keeps the transaction open after a lock time-out.
    SQLConn.rollback();
    return false;
}

QString releaseFailedMessage(const QString& error) {
    return QStringLiteral("Die Rechnungen konnten nicht freigegeben werden; in der Datenbank wurde nichts "
                          "geändert.\r") +
           error;
}
