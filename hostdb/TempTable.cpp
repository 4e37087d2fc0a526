#include "hostdb/TempTable.h"

#include "hostdb/HostDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace TempTable {

bool insert(const HostDb& db, const QString& tableAndColumns, int columns, const QVariantList& values,
            QString* error) {
    const qsizetype rowCount = values.size() / columns;
    const QString row = QLatin1Char('(') + QStringList(columns, QStringLiteral("?")).join(QLatin1Char(',')) +
                        QLatin1Char(')');
    QSqlQuery insert = db.newQuery();
    qsizetype prepared = 0;
    for (qsizetype start = 0; start < rowCount; start += kRowsPerInsert) {
        const qsizetype count = std::min<qsizetype>(kRowsPerInsert, rowCount - start);
        bool ok = true;
        if (count != prepared) {
            ok = insert.prepare(QStringLiteral("INSERT INTO %1 VALUES %2")
                                    .arg(tableAndColumns, QStringList(count, row).join(QLatin1Char(','))));
            prepared = count;
        }
        for (qsizetype i = 0; ok && i < count * columns; ++i)
            insert.bindValue(int(i), values[start * columns + i]);
        if (!ok || !insert.exec()) {
            *error = db.describe(insert.lastError());
            return false;
        }
    }
    return true;
}

} // namespace TempTable
