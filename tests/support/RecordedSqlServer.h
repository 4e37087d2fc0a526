#pragma once

#include "StatementRecorder.h"
#include "hostdb/HostDb.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

// A connection of the SQL Server dialect over the statement recorder that
// answers the claim as a server would where every invoice stored for it has
// an open header, except those named in paid (a payment date by now) and
// missing (no header); the claim's count returns the names in lost.
class RecordedSqlServer {
public:
    RecordedSqlServer() {
        driver = new RecordingDriver(&sent);
        driver->answer = [this](const QString& sql, const QVariantList& values) {
            QList<QVariantList> rows;
            if (sql.startsWith(QLatin1String("INSERT INTO #SEPA_BUCHUNG"))) {
                for (qsizetype i = 0; i < values.size(); i += 2)
                    stored << values[i].toString();
            } else if (sql.startsWith(QLatin1String("SELECT b.R_NAME, h.ZAHL_BETRAG"))) {
                for (const QString& name : stored)
                    if (!paid.contains(name) && !missing.contains(name))
                        rows.append({name, QVariant(), QVariant(), 0});
                for (const QString& name : paid)
                    rows.append({name, 5.0, QDateTime(QDate(2026, 3, 1), QTime(8, 0)), 1});
            } else if (sql.startsWith(QLatin1String("SELECT b.R_NAME FROM #SEPA_BUCHUNG"))) {
                for (const QString& name : lost)
                    rows.append({name});
            }
            return rows;
        };
        db = HostDb::attach(driver, HostDb::Dialect::SqlServer);
        sent.clear();
    }

    QList<RecordingDriver::Sent> sent;
    RecordingDriver* driver; // owned by db
    std::unique_ptr<HostDb> db;
    QStringList stored, paid, missing, lost;
};
