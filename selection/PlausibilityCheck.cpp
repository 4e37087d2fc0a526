#include "selection/PlausibilityCheck.h"

#include "base/NodeKey.h"
#include "base/Prompter.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"
#include "hostdb/ListStatements.h"

#include <QSqlQuery>

namespace {

// One line per invoice, in the statement's order, values as returned.
bool findings(const HostDb& db, const Statement& statement, QString* report, QString* error) {
    QSqlQuery query = db.newQuery();
    if (!db.run(query, statement.sql, statement.values, error))
        return false;
    while (query.next()) {
        *report += QStringLiteral("Abrechnung:  ") + HostValues::text(query.value(0)) +
                   QStringLiteral("     A-Datum:  ") + HostValues::text(query.value(1)) +
                   QStringLiteral("\r\n");
    }
    return HostDb::rowsEnded(query, error);
}

} // namespace

void CheckInvoices(const HostDb& SQLConn, const QString& strVer_Type, const QDate& dtpVon,
                   const QDate& dtpBis, Prompter& prompter) {
    const QString type = NodeKey::documentType(strVer_Type);
    const int kind = NodeKey::transferKind(strVer_Type);
    const struct {
        Statement statement;
        QString title;
        QString intro;
    } checks[] = {
        {ListStatements::invoicesWithoutPrice(SQLConn, type, kind, dtpVon, dtpBis),
         QStringLiteral("Keine Preise"),
         QStringLiteral(
             "Folgende Rechnungen wurden noch nie gedruckt und können daher nicht für SEPA verwendet "
             "werden: ")},
        {ListStatements::invoicesOfOtherCustomer(SQLConn, type, kind, dtpVon, dtpBis),
         QStringLiteral("Keine Kundeninformation"),
         QStringLiteral("Folgende Rechnungen wurden nicht korrekt gedruckt und können daher nicht für SEPA "
                        "verwendet werden: ")},
    };
    for (const auto& check : checks) {
        QString report;
        QString error;
        if (!findings(SQLConn, check.statement, &report, &error)) {
            prompter.message(QStringLiteral("Fehler bei der Prüfung der Belege!\r") + error,
                             Prompter::Icon::Critical);
            return;
        }
        if (!report.isEmpty())
            prompter.message(check.intro + QStringLiteral("\r\n\r\n") + report, Prompter::Icon::Information,
                             check.title);
    }
}
