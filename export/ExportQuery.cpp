#include "export/ExportQuery.h"

#include "export/ExportSettings.h"
#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"
#include "selection/NodeKey.h"

#include <QRegularExpression>
#include <QSqlError>

#include <algorithm>

namespace {

constexpr int kNamesPerInsert = 400; // well below SQL Server's 2100 parameters

QString selectionTable(const HostDb& db) {
    return db.isSqlServer() ? QStringLiteral("#SEPA_AUSWAHL") : QStringLiteral("temp.SEPA_AUSWAHL");
}

} // namespace

namespace ExportQuery {

bool storeSelection(const HostDb& db, const QStringList& names, QString* error) {
    const QString table = selectionTable(db);
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
    if (!db.isSqlServer()) {
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
    // One statement of kNamesPerInsert rows, prepared once and run for every
    // full chunk; the rest of the names takes one statement of its own.
    QSqlQuery insert = db.newQuery();
    qsizetype prepared = 0;
    for (qsizetype start = 0; start < names.size(); start += kNamesPerInsert) {
        const qsizetype count = std::min<qsizetype>(kNamesPerInsert, names.size() - start);
        bool ok = true;
        if (count != prepared) {
            QStringList rows(count, QStringLiteral("(?)"));
            ok = insert.prepare(
                QStringLiteral("INSERT INTO %1 (R_NAME) VALUES %2").arg(table, rows.join(QLatin1Char(','))));
            prepared = count;
        }
        for (qsizetype i = 0; ok && i < count; ++i)
            insert.bindValue(int(i), names[start + i]);
        if (!ok || !insert.exec())
            return failed(insert.lastError().text());
    }
    return true;
}

bool countAlreadyTransferred(const HostDb& db, const QString& strVer_Type, int* count, QString* error) {
    QSqlQuery q = db.newQuery();
    if (!db.run(q,
                QStringLiteral(
                    "SELECT COUNT(*) FROM %1 WHERE R_NAME IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND "
                    "SUBNUM = ?)")
                    .arg(selectionTable(db)),
                {NodeKey::transferKind(strVer_Type)}, error))
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

bool open(const HostDb& db, const ExportSettings& settings, QSqlQuery* query, QString* error) {
    const bool mssql = db.isSqlServer();
    const QString isnull = mssql ? QStringLiteral("ISNULL") : QStringLiteral("IFNULL");
    const QString now = mssql ? QStringLiteral("GETDATE()") : QStringLiteral("datetime('now','localtime')");
    const QString left = mssql ? QStringLiteral("left(") : QStringLiteral("substr(");
    const QString leftEnd = mssql ? QStringLiteral(",27)") : QStringLiteral(",1,27)");

    QString externalNumber, dueDate, flagColumn;
    if (!db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.ExterneBelegnummer,
                          kExternalNumberSetting, &externalNumber, error) ||
        !db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.DatumFaelligkeit, kDueDateSetting,
                          &dueDate, error) ||
        !db.settingColumn(QStringLiteral("PERSONAL_FREE"), settings.strCheckBox,
                          NodeKey::flagSetting(settings.strVer_Type), &flagColumn, error))
        return false;
    const QString remittance =
        externalNumber.isEmpty() ? QStringLiteral("RJ.R_NAME") : QStringLiteral("HR.") + externalNumber;
    const QString due = dueDate.isEmpty() ? QStringLiteral("RJ.INVDATE  ")
                                          : QStringLiteral(" %1(HR.%2,%3) ").arg(isnull, dueDate, now);
    const QString flag = flagColumn.isEmpty() ? QStringLiteral(" ")
                                              : QStringLiteral(" AND PERSONAL_FREE.%1 = 1 ").arg(flagColumn);

    QVariantList values;
    QString kind;
    if (NodeKey::isDirectDebit(settings.strVer_Type)) {
        kind = QStringLiteral("RJ.VER_TYPE = 'R' AND personal.KUNDE = 1 ");
    } else {
        static const QRegularExpression settlementKey(QStringLiteral("^A[1-8]$"));
        if (!settlementKey.match(settings.strVer_Type).hasMatch()) {
            *error = QStringLiteral("Unbekannte Belegart „%1“.").arg(settings.strVer_Type);
            return false;
        }
        kind = QStringLiteral("RJ.VER_TYPE = ? AND ABRECH%1 = 1 ")
                   .arg(NodeKey::transferKind(settings.strVer_Type));
        values << settings.strVer_Type;
    }
    values << NodeKey::transferKind(settings.strVer_Type);

    // The texts of every row, as written for the statement or, where that is
    // cheaper to read, as blobs under the same names.
    const bool blobs = db.readsTextAsBlob();
    const auto text = [blobs](const QString& expression, const char* as = nullptr,
                              const char* name = nullptr) {
        const QString column = name ? QLatin1String(name) : expression.section(QLatin1Char('.'), -1);
        if (blobs)
            return QStringLiteral("CAST(%1 AS BLOB) AS %2").arg(expression, column);
        return name ? expression + QLatin1String(as) + column : expression;
    };
    const auto account = [&](const char* first, const char* second, const char* name) {
        return text(QStringLiteral("case when %1(use_bank2,0) = 0 then %2 else %3 end")
                        .arg(isnull, QLatin1String(first), QLatin1String(second)),
                    " as ", name);
    };
    const QString comma = QStringLiteral(", ");

    const QString sql =
        QStringLiteral("SELECT ") + text(QStringLiteral("RJ.R_NAME")) + comma +
        text(left + remittance + leftEnd, " as ", "Verwendungszweck") + comma +
        text(QStringLiteral("RJ.INVDATE")) + QStringLiteral(", RJ.NETTOPREIS Preis, PERSONAL.ID_PERSONAL, ") +
        QStringLiteral("%1(HR.KOPF1,0) SKONTOPROZ, %1(HR.KOPF2,0) SKONTOTAGE, NUMMER, ").arg(isnull) +
        text(QStringLiteral("NAME")) + comma + text(QStringLiteral("VORNAME")) + QStringLiteral(",  ") +
        account("BLZ", "BLZ2", "BLZ") + comma + text(QStringLiteral("ANREDE")) + comma +
        text(QStringLiteral("STRASSE")) + comma + text(QStringLiteral("PLZ")) + comma +
        text(QStringLiteral("ORT")) + comma + text(QStringLiteral("NATION")) + comma +
        account("BANK", "bank2", "BANK") + comma + account("KONTO", "KONTO2", "KONTO") + comma +
        text(QStringLiteral("POSTFACH")) + comma + account("IBAN", "IBAN2", "IBAN") + comma +
        account("BIC", "BIC2", "BIC") + comma +
        (mssql ? text(due, " as ", "[Faellig]") : text(due, " as ", "\"Faellig\"")) + comma +
        text(isnull + QStringLiteral("(MANDATSNUMMER,NUMMER)"), " AS ", "Mandatsnummer") +
        QStringLiteral(",  ") + text(isnull + QStringLiteral("(BEZEICHNUNG,'')"), " as ", "BEZEICHNUNG") +
        QStringLiteral(" ") +
        QStringLiteral(
            "FROM  RECHNUNGSJOURNAL RJ INNER JOIN HEADERRECH HR ON RJ.R_NAME = HR.R_NAME AND RJ.VER_TYPE = "
            "HR.VER_TYPE ") +
        QStringLiteral("INNER JOIN PERSONAL ON RJ.KUNDE = PERSONAL.ID_PERSONAL ") +
        QStringLiteral("INNER JOIN PERSONAL_FREE ON PERSONAL.ID_PERSONAL = PERSONAL_FREE.ID_PERSONAL ") +
        QStringLiteral("WHERE ") + QStringLiteral("RJ.R_NAME IN") +
        QStringLiteral("(SELECT R_NAME FROM %1)").arg(selectionTable(db)) + QStringLiteral(" AND ") + kind +
        flag +
        QStringLiteral("AND RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                       "SUBTEXT IS NOT NULL) ") +
        QStringLiteral("order by ") + due +
        (settings.sortByCustomer ? (blobs ? QStringLiteral(", PERSONAL.NAME, PERSONAL.VORNAME")
                                          : QStringLiteral(", NAME, VORNAME"))
                                 : QStringLiteral(", RJ.R_NAME"));

    *query = db.newQuery();
    QString dbError;
    if (!db.run(*query, sql, values, &dbError)) {
        *error = QStringLiteral("Fehler beim Lesen der Belege für den Export:\r%1").arg(dbError);
        return false;
    }
    return true;
}

} // namespace ExportQuery
