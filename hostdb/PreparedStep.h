#pragma once

#include "hostdb/HostDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>

// A statement prepared once and run many times with new values, as the
// posting and its take-back do: nothing is built per call but the bindings.
namespace PreparedStep {

// Prepares sql on a new forward-only query of the connection; on failure
// false and the database's description.
inline bool prepare(const HostDb& db, QSqlQuery& q, const QString& sql, QString* error) {
    q = db.newQuery();
    if (q.prepare(sql))
        return true;
    *error = db.describe(q.lastError());
    return false;
}

// Binds the values in order and runs the prepared statement; a failure is
// named by the caller (failed).
template <typename... Values> bool step(QSqlQuery& q, const Values&... values) {
    int i = 0;
    (q.bindValue(i++, values), ...);
    return q.exec();
}

// Sets error to "what: the database's description"; always false.
inline bool failed(const HostDb& db, const QSqlQuery& q, const QString& what, QString* error) {
    *error = QStringLiteral("%1: %2").arg(what, db.describe(q.lastError()));
    return false;
}

} // namespace PreparedStep
