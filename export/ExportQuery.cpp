#include "export/ExportQuery.h"

#include "base/ExportSettings.h"
#include "base/NodeKey.h"
#include "hostdb/ExportStatements.h"
#include "hostdb/HostDb.h"

#include <QRegularExpression>

namespace ExportQuery {

bool open(const HostDb& db, const ExportSettings& settings, QSqlQuery* query, QString* error) {
    ExportStatements::ExportParts parts;
    if (!db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.ExterneBelegnummer,
                          kExternalNumberSetting, &parts.remittanceColumn, error) ||
        !db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.DatumFaelligkeit, kDueDateSetting,
                          &parts.dueDateColumn, error) ||
        !db.settingColumn(QStringLiteral("PERSONAL_FREE"), settings.strCheckBox,
                          NodeKey::flagSetting(settings.strVer_Type), &parts.flagColumn, error))
        return false;
    parts.directDebit = NodeKey::isDirectDebit(settings.strVer_Type);
    if (!parts.directDebit) {
        static const QRegularExpression settlementKey(QStringLiteral("^A[1-8]$"));
        if (!settlementKey.match(settings.strVer_Type).hasMatch()) {
            *error = QStringLiteral("Unbekannte Belegart „%1“.").arg(settings.strVer_Type);
            return false;
        }
    }
    parts.documentType = settings.strVer_Type;
    parts.transferKind = NodeKey::transferKind(settings.strVer_Type);
    parts.sortByCustomer = settings.sortByCustomer;

    const Statement statement = ExportStatements::exportInvoices(db, parts);
    *query = db.newQuery();
    QString dbError;
    if (!db.run(*query, statement.sql, statement.values, &dbError)) {
        *error = QStringLiteral("Fehler beim Lesen der Belege für den Export:\r%1").arg(dbError);
        return false;
    }
    return true;
}

} // namespace ExportQuery
