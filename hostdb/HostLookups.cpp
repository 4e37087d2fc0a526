#include "hostdb/HostLookups.h"

#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"

#include <QSqlQuery>

namespace HostLookups {

QString GetAbrechnungFlag(const HostDb& db, const QString& code, QString* error) {
    QSqlQuery query = db.newQuery();
    if (!db.run(query,
                QStringLiteral("SELECT NUMBER_VALUE FROM FORMS_CONFIG WHERE FORM_ID = 'F_STAMMEINKONF' "
                               "AND PROPERTY_ID = ?"),
                {QStringLiteral("CHKABRECHNUNG") + code}, error))
        return QStringLiteral("0");
    if (!query.next()) {
        HostDb::rowsEnded(query, error);
        return QStringLiteral("0");
    }
    return query.value(0).isNull() ? QStringLiteral("0") : query.value(0).toString();
}

bool isEnabled(const QString& flag) {
    bool ok = false;
    const double number = flag.trimmed().toDouble(&ok);
    return ok && number == 1.0;
}

QString GetStringText(const HostDb& db, int id, QString* error) {
    const QString sql =
        db.isSqlServer()
            ? QStringLiteral(
                  "SELECT ISNULL(CUSTOM_GERMAN,ISNULL(GERMAN,'')) FROM STRINGS WHERE ID_STRING = ?")
            : QStringLiteral(
                  "SELECT IFNULL(CUSTOM_GERMAN,IFNULL(GERMAN,'')) FROM STRINGS WHERE ID_STRING = ?");
    QSqlQuery query = db.newQuery();
    if (!db.run(query, sql, {id}, error))
        return {};
    if (query.next())
        return HostValues::text(query.value(0));
    HostDb::rowsEnded(query, error);
    return {};
}

} // namespace HostLookups
