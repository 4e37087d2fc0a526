#include "hostdb/ExportStatements.h"

#include "hostdb/HostDb.h"
#include "hostdb/SelectionTable.h"

namespace ExportStatements {

Statement exportInvoices(const HostDb& db, const ExportParts& parts) {
    const bool mssql = db.isSqlServer();
    const QString isnull = mssql ? QStringLiteral("ISNULL") : QStringLiteral("IFNULL");
    const QString now = mssql ? QStringLiteral("GETDATE()") : QStringLiteral("datetime('now','localtime')");
    const QString left = mssql ? QStringLiteral("left(") : QStringLiteral("substr(");
    const QString leftEnd = mssql ? QStringLiteral(",27)") : QStringLiteral(",1,27)");

    const QString remittance = parts.remittanceColumn.isEmpty()
                                   ? QStringLiteral("RJ.R_NAME")
                                   : QStringLiteral("HR.") + parts.remittanceColumn;
    const QString due = parts.dueDateColumn.isEmpty()
                            ? QStringLiteral("RJ.INVDATE  ")
                            : QStringLiteral(" %1(HR.%2,%3) ").arg(isnull, parts.dueDateColumn, now);
    const QString flag = parts.flagColumn.isEmpty()
                             ? QStringLiteral(" ")
                             : QStringLiteral(" AND PERSONAL_FREE.%1 = 1 ").arg(parts.flagColumn);

    QVariantList values;
    QString kind;
    if (parts.directDebit) {
        kind = QStringLiteral("RJ.VER_TYPE = 'R' AND personal.KUNDE = 1 ");
    } else {
        kind = QStringLiteral("RJ.VER_TYPE = ? AND ABRECH%1 = 1 ").arg(parts.transferKind);
        values << parts.documentType;
    }
    values << parts.transferKind;

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
        QStringLiteral("(SELECT R_NAME FROM %1)").arg(SelectionTable::name(db)) + QStringLiteral(" AND ") +
        kind + flag +
        QStringLiteral("AND RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                       "SUBTEXT IS NOT NULL) ") +
        QStringLiteral("order by ") + due +
        (parts.sortByCustomer ? (blobs ? QStringLiteral(", PERSONAL.NAME, PERSONAL.VORNAME")
                                       : QStringLiteral(", NAME, VORNAME"))
                              : QStringLiteral(", RJ.R_NAME"));
    return {sql, values};
}

} // namespace ExportStatements
