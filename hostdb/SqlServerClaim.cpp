#include "hostdb/SqlServerClaim.h"

#include "hostdb/ClaimStatements.h"
#include "hostdb/HostValues.h"
#include "hostdb/PreparedStep.h"
#include "hostdb/TempTable.h"

#include <QHash>
#include <QSet>

// A fixed number of statements whatever the number of invoices, apart from
// the inserts that fill the claim's table: each round trip to a server costs
// more than the work of the statement.
namespace {

using TransferClaim::Invoice;
using namespace ClaimStatements::SqlServer;
using namespace PreparedStep;

const QString kInvoices = QStringLiteral("Übergabe der Rechnungen an die Datenbank");
const QString kHeaders = QStringLiteral("Rechnungsköpfe");
const QString kMarks = QStringLiteral("Überleitungsmarken");

bool run(const HostDb& db, QSqlQuery& q, const QString& sql, const QVariantList& values, const QString& what,
         QString* error) {
    QString dbError;
    if (db.run(q, sql, values, &dbError))
        return true;
    *error = QStringLiteral("%1: %2").arg(what, dbError);
    return false;
}

bool storeInvoices(const HostDb& db, const std::vector<Invoice>& invoices, QString* error) {
    QVariantList rows;
    rows.reserve(qsizetype(invoices.size()) * 2);
    for (const Invoice& invoice : invoices)
        rows << invoice.name << double(invoice.cents) / 100.0;
    QString dbError;
    if (db.execute(createTables(), {}, &dbError) && TempTable::insert(db, invoicesTable(), 2, rows, &dbError))
        return true;
    *error = QStringLiteral("%1: %2").arg(kInvoices, dbError);
    return false;
}

// The values the posting will change, per invoice from its first header row;
// an invoice without a header or with a payment date is someone else's.
bool readHeaders(const HostDb& db, const std::vector<Invoice>& invoices,
                 const TransferClaim::Request& request, QList<TransferClaim::HeaderBefore>* before,
                 QSet<QString>* lost, QString* error) {
    QSqlQuery q = db.newQuery();
    if (!run(db, q, ClaimStatements::SqlServer::readHeaders(), {request.documentType}, kHeaders, error))
        return false;
    struct Row {
        QVariant zahlBetrag, zahlDatum, gesperrt;
    };
    QHash<QString, Row> first;
    first.reserve(qsizetype(invoices.size()));
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (!first.contains(name))
            first.insert(name, {q.value(1), q.value(2), q.value(3)});
    }
    // A read that broke off is a database error, not invoices taken at
    // another workstation.
    if (!HostDb::rowsEnded(q, nullptr))
        return failed(db, q, QStringLiteral("Lesen der Rechnungsköpfe abgebrochen"), error);
    before->reserve(qsizetype(invoices.size()));
    for (const Invoice& invoice : invoices) {
        const auto row = first.constFind(invoice.name);
        if (row == first.cend() || !row->zahlDatum.isNull())
            lost->insert(invoice.name);
        else
            before->append({invoice.name, row->zahlBetrag, row->gesperrt});
    }
    return true;
}

bool readLost(const HostDb& db, QSet<QString>* lost, QString* error) {
    QSqlQuery q = db.newQuery();
    if (!run(db, q, lostInvoices(), {}, kInvoices, error))
        return false;
    while (q.next())
        lost->insert(q.value(0).toString());
    return HostDb::rowsEnded(q, nullptr) ||
           failed(db, q, QStringLiteral("Zählen der gebuchten Rechnungen abgebrochen"), error);
}

} // namespace

namespace SqlServerClaim {

bool claim(const HostDb& db, const std::vector<Invoice>& invoices, const TransferClaim::Request& request,
           QList<TransferClaim::HeaderBefore>* before, int* lost, QString* error) {
    const QVariant kind = request.kind;
    const QVariant date1 = HostValues::bindable(db, QDateTime(request.transferDate, QTime(0, 0)));
    const QVariant paidAt = HostValues::bindable(db, request.paidAt);
    QSet<QString> names;
    QSqlQuery q = db.newQuery();
    const bool ok = storeInvoices(db, invoices, error) &&
                    readHeaders(db, invoices, request, before, &names, error) &&
                    run(db, q, insertMarks(), {kind, date1, kind}, kMarks, error) &&
                    run(db, q, markHeaders(), {paidAt, request.documentType}, kHeaders, error) &&
                    readLost(db, &names, error) && run(db, q, dropTables(), {}, kInvoices, error);
    *lost = int(names.size());
    return ok;
}

} // namespace SqlServerClaim
