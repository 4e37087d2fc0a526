#include "hostdb/CatalogStatements.h"

#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"

#include <QSqlQuery>

namespace CatalogStatements {

bool indexes(const HostDb& db, const QString& table, QList<Index>* result, QString* error) {
    const QString sql =
        db.isSqlServer()
            ? QStringLiteral("SELECT i.name, c.name FROM sys.indexes i "
                             "INNER JOIN sys.index_columns ic ON ic.object_id = i.object_id AND "
                             "ic.index_id = i.index_id "
                             "INNER JOIN sys.columns c ON c.object_id = ic.object_id AND "
                             "c.column_id = ic.column_id "
                             "WHERE i.object_id = OBJECT_ID(?) AND ic.key_ordinal > 0 AND i.is_disabled = 0 "
                             "AND i.is_hypothetical = 0 ORDER BY i.name, ic.key_ordinal")
            : QStringLiteral("SELECT il.name, ii.name FROM pragma_index_list(?) il, "
                             "pragma_index_info(il.name) ii ORDER BY il.name, ii.seqno");
    QSqlQuery q = db.newQuery();
    if (!db.run(q, sql, {table}, error))
        return false;
    result->clear();
    while (q.next()) {
        const QString name = HostValues::text(q.value(0));
        if (result->isEmpty() || result->last().name != name)
            result->append({name, {}});
        result->last().keyColumns << HostValues::text(q.value(1));
    }
    return HostDb::rowsEnded(q, error);
}

bool dateTimeRoundTrip(const HostDb& db, const QDateTime& sent, QDateTime* received, QString* error) {
    QSqlQuery q = db.newQuery();
    if (!db.run(q,
                db.isSqlServer() ? QStringLiteral("SELECT CAST(? AS DATETIME)") : QStringLiteral("SELECT ?"),
                {HostValues::bindable(db, sent)}, error))
        return false;
    if (!q.next()) {
        *received = QDateTime();
        return HostDb::rowsEnded(q, error);
    }
    *received = HostValues::dateTime(q.value(0));
    return true;
}

} // namespace CatalogStatements
