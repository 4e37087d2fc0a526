#include "hostdb/SelectionTable.h"

#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"
#include "hostdb/TempTable.h"

#include <QSqlQuery>

namespace SelectionTable {

QString name(const HostDb& db) {
    return db.isSqlServer() ? QStringLiteral("#SEPA_AUSWAHL") : QStringLiteral("temp.SEPA_AUSWAHL");
}

bool store(const HostDb& db, const QStringList& names, QString* error) {
    const QString table = name(db);
    const auto failed = [error](const QString& dbError) {
        *error =
            QStringLiteral("Die Auswahl konnte nicht an die Datenbank übergeben werden: %1").arg(dbError);
        return false;
    };
    // The temporary table takes the database's collation, not tempdb's, so the
    // comparison with R_NAME never meets a collation conflict.
    const QString create =
        db.isSqlServer()
            ? QStringLiteral("CREATE TABLE %1 (R_NAME NVARCHAR(200) COLLATE DATABASE_DEFAULT NOT NULL)")
            : QStringLiteral("CREATE TABLE %1 (R_NAME TEXT NOT NULL)");
    QString dbError;
    if (!db.execute(create.arg(table), {}, &dbError))
        return failed(dbError);
    if (db.isSqlServer()) {
        QVariantList values;
        values.reserve(names.size());
        for (const QString& n : names)
            values.append(n);
        return TempTable::insert(db, table + QStringLiteral(" (R_NAME)"), 1, values, &dbError) ||
               failed(dbError);
    }
    // All names as one JSON text: binding them one by one costs more than
    // storing them.
    QString json = QStringLiteral("[");
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            json += QLatin1Char(',');
        BoundList::appendJsonString(json, names[i]);
    }
    json += QLatin1Char(']');
    return db.execute(QStringLiteral("INSERT INTO %1 (R_NAME) SELECT value FROM json_each(?)").arg(table),
                      {json}, &dbError) ||
           failed(dbError);
}

bool countTransferred(const HostDb& db, int kind, int* count, QString* error) {
    QSqlQuery q = db.newQuery();
    if (!db.run(q,
                QStringLiteral(
                    "SELECT COUNT(*) FROM %1 WHERE R_NAME IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND "
                    "SUBNUM = ?)")
                    .arg(name(db)),
                {kind}, error))
        return false;
    // A count that breaks off is no count of nought: the run would report
    // nothing skipped, the check no mark left.
    if (!q.next()) {
        *count = 0;
        return HostDb::rowsEnded(q, error);
    }
    *count = q.value(0).toInt();
    return true;
}

} // namespace SelectionTable
