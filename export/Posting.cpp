#include "export/Posting.h"

#include "base/NodeKey.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HeaderStatements.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"
#include "hostdb/PreparedStep.h"

#include <QSqlQuery>

#include <algorithm>
#include <vector>

namespace {

using namespace PreparedStep;

bool execute(const HostDb& db, QSqlQuery& q, const QVariantList& values, const QString& what,
             QString* error) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    return q.exec() || failed(db, q, what, error);
}

QDateTime toTheSecond(const QDateTime& t) {
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

bool sameSecond(const QVariant& stored, const QDateTime& paidAt) {
    const QDateTime t = HostValues::dateTime(stored);
    return t.isValid() && toTheSecond(t) == paidAt;
}

} // namespace

namespace Posting {

Result post(HostDb& db, const BookingList& bookings, const QString& strVer_Type, const QDate& today,
            Claim* claim, int* claimedElsewhere, QString* error,
            const std::function<bool(const Claim&, QString*)>& beforeCommit) {
    *claim = Claim{};
    claim->kind = NodeKey::transferKind(strVer_Type);
    claim->documentType = NodeKey::documentType(strVer_Type);
    // One moment for the whole posting, to the second, so that the headers
    // show which run posted them.
    claim->paidAt = toTheSecond(QDateTime::currentDateTime());
    std::vector<TransferClaim::Invoice> invoices;
    invoices.reserve(size_t(bookings.count()));
    for (const Buchung& b : bookings)
        invoices.push_back({b.Rechnung, b.Betrag});
    // In name order: the chunked claim on SQLite finds the header rows by
    // it, and on SQL Server the claim's table is filled in it, so that two
    // runs mostly lock in the same order (a deadlock still possible there
    // fails the posting with the server's message and posts nothing).
    std::stable_sort(
        invoices.begin(), invoices.end(),
        [](const TransferClaim::Invoice& a, const TransferClaim::Invoice& b) { return a.name < b.name; });

    QString failure;
    if (!db.transaction(&failure)) {
        *error = QStringLiteral("Die Buchung in der Datenbank konnte nicht begonnen werden: %1").arg(failure);
        return Result::Failed;
    }
    int lost = 0;
    bool ok = TransferClaim::claim(db, invoices, {claim->kind, claim->documentType, today, claim->paidAt},
                                   &claim->before, &lost, &failure);
    if (ok && lost == 0) {
        ok = beforeCommit(*claim, &failure) && db.commit(&failure);
        if (ok)
            return Result::Posted;
    }
    // Explicitly, whatever failed: SQL Server leaves the transaction open
    // after a statement that gave up waiting for a lock.
    db.rollback();
    if (lost > 0 && failure.isEmpty()) {
        *claimedElsewhere = lost;
        return Result::ClaimedElsewhere;
    }
    *error = failure;
    return Result::Failed;
}

bool stillPosted(const HostDb& db, const Claim& claim, QStringList* names, QString* error) {
    names->clear();
    QSqlQuery header, mark;
    if (!prepare(db, header, HeaderStatements::paymentDate(), error) ||
        !prepare(db, mark, CommStatements::countTransferMark(), error))
        return false;
    for (const HeaderBefore& h : claim.before) {
        if (!execute(db, header, {h.name, claim.documentType}, h.name, error) ||
            !execute(db, mark, {claim.kind, h.name}, h.name, error))
            return false;
        // A read that broke off must not pass for a posting taken back.
        const bool headerRead = header.next(), markRead = mark.next();
        if (!headerRead && !HostDb::rowsEnded(header, nullptr))
            return failed(db, header, h.name, error);
        if (!markRead && !HostDb::rowsEnded(mark, nullptr))
            return failed(db, mark, h.name, error);
        if (headerRead && sameSecond(header.value(0), claim.paidAt) && markRead && mark.value(0).toInt() > 0)
            *names << h.name;
        header.finish();
        mark.finish();
    }
    return true;
}

bool takeBack(HostDb& db, const Claim& claim, QString* error) {
    if (!db.transaction(error))
        return false;
    QSqlQuery restore, unmark;
    bool ok = prepare(db, restore, HeaderStatements::restoreBeforePosting(), error) &&
              prepare(db, unmark, CommStatements::deleteTransferMark(), error);
    const QVariant paidAt = HostValues::bindable(db, claim.paidAt);
    for (qsizetype i = 0; ok && i < claim.before.size(); ++i) {
        const HeaderBefore& h = claim.before[i];
        ok = execute(db, restore, {h.zahlBetrag, h.gesperrt, h.name, claim.documentType, paidAt}, h.name,
                     error);
        // Only a header that still carried this run's time was this run's.
        if (ok && restore.numRowsAffected() == 1)
            ok = execute(db, unmark, {claim.kind, h.name}, h.name, error);
    }
    if (ok && db.commit(error))
        return true;
    db.rollback();
    return false;
}

} // namespace Posting
