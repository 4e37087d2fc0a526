#include "hostdb/ListStatements.h"

#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"

namespace ListStatements {

namespace {

const QString CR = QStringLiteral("\r");

// CONVERT(CHAR,x,104): "dd.mm.yyyy".
QString displayDate(bool sqlServer, const QString& expression) {
    return sqlServer ? QStringLiteral("CONVERT(CHAR,%1,104)").arg(expression)
                     : QStringLiteral("strftime('%d.%m.%Y',%1)").arg(expression);
}

// CONVERT(CHAR,x,112): "yyyymmdd" for the range conditions.
QString compareDay(bool sqlServer, const QString& expression) {
    return sqlServer ? QStringLiteral("CONVERT(CHAR,%1,112)").arg(expression)
                     : QStringLiteral("strftime('%Y%m%d',%1)").arg(expression);
}

// The due date, today where the header has none.
QString dueDate(bool sqlServer, const QString& column) {
    return sqlServer ? QStringLiteral("ISNULL(HR.%1,GETDATE())").arg(column)
                     : QStringLiteral("IFNULL(HR.%1,datetime('now','localtime'))").arg(column);
}

// A text column of a list, as a blob where the connection reads that faster.
QString shown(bool blobs, const QString& expression) {
    return blobs ? QStringLiteral("CAST(%1 AS BLOB)").arg(expression) : expression;
}

// The day of a date-time for a list column: "dd.mm.yyyy", or where the
// connection reads blobs the day number the list keeps, without formatting
// a text per row.
QString listedDay(bool sqlServer, bool blobs, const QString& expression) {
    return blobs ? QStringLiteral("CAST(julianday(%1) + 0.5 AS INTEGER)").arg(expression)
                 : displayDate(sqlServer, expression);
}

QString dueDateField(bool sqlServer, bool blobs, const ListParts& parts) {
    if (parts.dueDateColumn.isEmpty())
        return QStringLiteral(" ");
    return sqlServer
               ? QStringLiteral(", %1 as [Fällig] ").arg(dueDate(true, parts.dueDateColumn))
               : QStringLiteral(", %1 as \"Fällig\" ").arg(shown(blobs, dueDate(false, parts.dueDateColumn)));
}

QString rangeExpression(bool sqlServer, const ListParts& parts) {
    return parts.byDueDate ? QStringLiteral(" ") + dueDate(sqlServer, parts.dueDateColumn)
                           : QStringLiteral(" HR.INVDATE");
}

// The range of a list on whole days, both ends included. SQL Server compares
// "yyyymmdd" texts; SQLite compares the date-times from the first day's
// midnight to before the midnight after the last day, which selects the same
// rows without formatting two texts per row.
QString dayFrom(bool sqlServer, const QString& expression) {
    return sqlServer ? compareDay(true, expression) + QStringLiteral(" >= ?")
                     : QStringLiteral("julianday(%1) >= julianday(?)").arg(expression);
}
QString dayTo(bool sqlServer, const QString& expression) {
    return sqlServer ? compareDay(true, expression) + QStringLiteral(" <= ?")
                     : QStringLiteral("julianday(%1) < julianday(?) + 1").arg(expression);
}
QVariant rangeDay(bool sqlServer, const QDate& day) {
    return sqlServer ? HostValues::day(day) : day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString alias(bool sqlServer, const QString& name) {
    return sqlServer ? QStringLiteral("'%1'").arg(name) : QStringLiteral("\"%1\"").arg(name);
}

} // namespace

Statement openInvoices(const HostDb& db, const ListParts& parts) {
    const bool sqlServer = db.isSqlServer(), blobs = db.readsTextAsBlob();
    const QString range = rangeExpression(sqlServer, parts);
    QString sql =
        QStringLiteral("SELECT ") + shown(blobs, QStringLiteral("RJ.R_Name")) +
        QStringLiteral(" AbrechnungsNr, ") + listedDay(sqlServer, blobs, QStringLiteral("RJ.INVDATE")) +
        QLatin1Char(' ') + alias(sqlServer, QStringLiteral("A-Datum")) + QStringLiteral(", ") + CR +
        shown(blobs, QStringLiteral("P.KURZBEZEICHNUNG")) + QLatin1Char(' ') +
        alias(sqlServer, QStringLiteral("A-Kunde")) + QStringLiteral(", RJ.NETTOPREIS Bruttopreis ") + CR;
    sql += dueDateField(sqlServer, blobs, parts);
    sql += QStringLiteral("FROM RECHNUNGSJOURNAL RJ ") + CR +
           QStringLiteral("INNER JOIN PERSONAL P ON RJ.KUNDE = P.ID_PERSONAL ") + CR +
           QStringLiteral("INNER JOIN PERSONAL_FREE PF ON P.ID_PERSONAL = PF.ID_PERSONAL ") + CR +
           QStringLiteral("INNER JOIN HEADERRECH HR ON HR.R_NAME = RJ.R_NAME AND HR.KUNDE_ID = RJ.KUNDE AND "
                          "ZAHLDATUM IS NULL ") +
           CR + QStringLiteral("WHERE ");
    sql += parts.flagColumn.isEmpty() ? QStringLiteral(" ")
                                      : QStringLiteral(" PF.%1 = 1 AND ").arg(parts.flagColumn);
    sql += QStringLiteral(" ") + CR + QStringLiteral("RJ.VER_TYPE = ? AND ") + CR;
    sql += dayFrom(sqlServer, range) + QStringLiteral(" AND ") + CR;
    sql += dayTo(sqlServer, range) + QStringLiteral(" AND ");
    if (parts.withoutArticlePrice)
        sql += sqlServer ? QStringLiteral(" ISNULL(RJ.ARTIKELPREIS,0) = 0 AND ")
                         : QStringLiteral(" IFNULL(RJ.ARTIKELPREIS,0) = 0 AND ");
    sql += CR +
           QStringLiteral("RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                          "SUBTEXT IS NOT NULL) AND ") +
           CR;
    sql += QStringLiteral("(RJ.NETTOPREIS IS NOT NULL AND RJ.NETTOPREIS > 0) ") + CR +
           QStringLiteral("order by  ") + CR;
    sql += parts.dueDateColumn.isEmpty() ? QStringLiteral(" ")
                                         : QStringLiteral(" HR.%1, ").arg(parts.dueDateColumn);
    sql += QStringLiteral(" RJ.R_NAME, RJ.INVDATE DESC, P.KURZBEZEICHNUNG");
    return {sql,
            {parts.documentType, rangeDay(sqlServer, parts.from), rangeDay(sqlServer, parts.to),
             parts.transferKind}};
}

Statement transferredInvoices(const HostDb& db, const ListParts& parts) {
    const bool sqlServer = db.isSqlServer();
    const QString range = rangeExpression(sqlServer, parts);
    QString sql = QStringLiteral("SELECT RJ.R_Name AbrechnungsNr, ") +
                  displayDate(sqlServer, QStringLiteral("RJ.INVDATE")) + QLatin1Char(' ') +
                  alias(sqlServer, QStringLiteral("A-Datum")) + QStringLiteral(", ") + CR +
                  QStringLiteral("P.KURZBEZEICHNUNG ") + alias(sqlServer, QStringLiteral("A-Kunde")) +
                  QStringLiteral(", HR.ZAHL_BETRAG Bruttopreis, ") + CR +
                  displayDate(sqlServer, QStringLiteral("C.Date1")) + QLatin1Char(' ') +
                  alias(sqlServer, QStringLiteral("Überleitungsdatum")) + QStringLiteral(" ") + CR;
    sql += dueDateField(sqlServer, db.readsTextAsBlob(), parts);
    sql += QStringLiteral("from RECHNUNGSJOURNAL RJ inner join PERSONAL P on RJ.KUNDE = P.ID_PERSONAL ") +
           CR + QStringLiteral("inner join PERSONAL_FREE PF on P.ID_PERSONAL = PF.ID_PERSONAL ");
    sql += parts.flagColumn.isEmpty() ? QStringLiteral(" ")
                                      : QStringLiteral(" AND PF.%1 = 1 ").arg(parts.flagColumn);
    sql +=
        CR + QStringLiteral("inner join COMM C on RJ.R_NAME = C.SUBTEXT AND C.ID = 7 AND SUBNUM = ? ") + CR;
    sql +=
        QStringLiteral("inner join HEADERRECH HR on HR.R_Name = RJ.R_Name AND HR.Ver_type = RJ.Ver_type ") +
        CR + QStringLiteral("where RJ.VER_TYPE = ? AND ");
    sql += dayFrom(sqlServer, range) + QStringLiteral(" AND ") + CR;
    sql += dayTo(sqlServer, range) + QStringLiteral(" ") + CR;
    sql += QStringLiteral(" order by RJ.R_NAME, RJ.INVDATE DESC, P.KURZBEZEICHNUNG ");
    return {sql,
            {parts.transferKind, parts.documentType, rangeDay(sqlServer, parts.from),
             rangeDay(sqlServer, parts.to)}};
}

Statement invoicesWithoutPrice(const HostDb& db, const QString& documentType, int transferKind,
                               const QDate& from, const QDate& to) {
    const bool sqlServer = db.isSqlServer();
    const QString day = compareDay(sqlServer, QStringLiteral("RJ.INVDATE"));
    const QString sql = QStringLiteral("SELECT RJ.R_Name AbrechnungsNr, ") +
                        displayDate(sqlServer, QStringLiteral("RJ.INVDATE")) + QLatin1Char(' ') +
                        alias(sqlServer, QStringLiteral("A-Datum")) + QStringLiteral(" ") +
                        QStringLiteral("FROM RECHNUNGSJOURNAL RJ ") +
                        QStringLiteral("WHERE VER_TYPE = ? AND ") + day + QStringLiteral(" >= ? AND ") + day +
                        QStringLiteral(" <= ? AND ") +
                        QStringLiteral("RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = "
                                       "? AND SUBTEXT IS NOT NULL) AND ") +
                        QStringLiteral("(RJ.NETTOPREIS IS NULL OR RJ.NETTOPREIS = 0) ") +
                        QStringLiteral("order by RJ.R_NAME, RJ.INVDATE DESC");
    return {sql, {documentType, HostValues::day(from), HostValues::day(to), transferKind}};
}

Statement invoicesOfOtherCustomer(const HostDb& db, const QString& documentType, int transferKind,
                                  const QDate& from, const QDate& to) {
    const bool sqlServer = db.isSqlServer();
    const QString day = compareDay(sqlServer, QStringLiteral("RJ.INVDATE"));
    const QString sql =
        QStringLiteral("SELECT RJ.R_Name AbrechnungsNr, ") +
        displayDate(sqlServer, QStringLiteral("RJ.INVDATE")) + QLatin1Char(' ') +
        alias(sqlServer, QStringLiteral("A-Datum")) + QStringLiteral(" ") +
        QStringLiteral("FROM RECHNUNGSJOURNAL RJ ") +
        QStringLiteral("inner join HEADERRECH HR on RJ.r_name = HR.r_name and RJ.ver_type = HR.ver_type ") +
        QStringLiteral("and rj.kunde <> HR.KUNDE_ID ") + QStringLiteral("WHERE RJ.VER_TYPE = ? AND ") + day +
        QStringLiteral(" >= ? AND ") + day + QStringLiteral(" <= ? AND ") +
        QStringLiteral("RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT "
                       "IS NOT NULL) ") +
        QStringLiteral("order by RJ.R_NAME, RJ.INVDATE DESC");
    return {sql, {documentType, HostValues::day(from), HostValues::day(to), transferKind}};
}

} // namespace ListStatements
