#include "hostdb/ReleaseStatements.h"

#include "hostdb/BoundList.h"
#include "hostdb/HostDb.h"
#include "hostdb/TempTable.h"

namespace {

// SQL Server: the names go into a temporary table, and the release is then
// three statements of fixed text whatever their number. The table is
// created without values (a prepared statement would drop it at its end)
// inside the caller's transaction, so a rollback removes it too.
bool releaseFromTable(const HostDb& db, int kind, const QString& documentType, const QStringList& names,
                      QString* error) {
    QVariantList values;
    values.reserve(names.size());
    for (const QString& name : names)
        values.append(name);
    return db.execute(QStringLiteral("CREATE TABLE #SEPA_FREIGABE (R_NAME NVARCHAR(200) COLLATE "
                                     "DATABASE_DEFAULT NOT NULL)"),
                      {}, error) &&
           TempTable::insert(db, QStringLiteral("#SEPA_FREIGABE (R_NAME)"), 1, values, error) &&
           db.execute(QStringLiteral("DELETE FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT IN (SELECT "
                                     "R_NAME FROM #SEPA_FREIGABE)"),
                      {kind}, error) &&
           db.execute(
               QStringLiteral("UPDATE HEADERRECH SET GESPERRT = NULL, ZAHLDATUM = NULL WHERE Ver_TYPE = "
                              "? AND R_Name IN (SELECT R_NAME FROM #SEPA_FREIGABE)"),
               {documentType}, error) &&
           db.execute(QStringLiteral("DROP TABLE #SEPA_FREIGABE"), {}, error);
}

// SQLite: the names bound into IN lists, a statement per chunk.
bool releaseInChunks(const HostDb& db, int kind, const QString& documentType, const QStringList& names,
                     QString* error) {
    return BoundList::forEachChunk(names,
                                   [&](const QString& placeholders, const QVariantList& chunk) {
                                       return db.execute(QStringLiteral("DELETE FROM COMM WHERE ID = 7 AND "
                                                                        "SUBNUM = ? AND SUBTEXT IN") +
                                                             placeholders,
                                                         QVariantList{kind} + chunk, error);
                                   }) &&
           BoundList::forEachChunk(names, [&](const QString& placeholders, const QVariantList& chunk) {
               return db.execute(QStringLiteral("UPDATE HEADERRECH SET GESPERRT = NULL, ZAHLDATUM = NULL "
                                                "WHERE Ver_TYPE = ? AND R_Name IN ") +
                                     placeholders,
                                 QVariantList{documentType} + chunk, error);
           });
}

} // namespace

namespace ReleaseStatements {

bool release(const HostDb& db, int kind, const QString& documentType, const QStringList& names,
             QString* error) {
    return db.isSqlServer() ? releaseFromTable(db, kind, documentType, names, error)
                            : releaseInChunks(db, kind, documentType, names, error);
}

} // namespace ReleaseStatements
