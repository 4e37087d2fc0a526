#include "export/Posting.h"

#include "hostdb/CommStatements.h"
#include "hostdb/HeaderStatements.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"
#include "selection/NodeKey.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <vector>

namespace {

bool prepare(const HostDb& db, QSqlQuery& q, const QString& sql, QString* error) {
    q = db.newQuery();
    if (q.prepare(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

// Binds the values in order and runs the prepared statement. The statement is
// run 100,000 times in a large posting, so nothing is built per call but the
// bindings; a failure is named by the caller.
template <typename... Values> bool step(QSqlQuery& q, const Values&... values) {
    int i = 0;
    (q.bindValue(i++, values), ...);
    return q.exec();
}

bool failed(QSqlQuery& q, const QString& what, QString* error) {
    *error = QStringLiteral("%1: %2").arg(what, q.lastError().text());
    return false;
}

bool execute(QSqlQuery& q, const QVariantList& values, const QString& what, QString* error) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    return q.exec() || failed(q, what, error);
}

// One invoice of the posting with its amount, in the order the posting
// claims them.
struct Invoice {
    QString name;
    qint64 cents;
};

// Reads the values the posting will change; an invoice that has a payment
// date by now (or no header) is someone else's. On SQLite the read also
// tells whether the invoice has a mark of the kind.
bool readHeaders(const HostDb& db, const std::vector<Invoice>& invoices, Posting::Claim& claim,
                 QSet<QString>& lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::valuesBeforePosting(db), error))
        return false;
    const bool marksRead = !db.isSqlServer();
    const QVariant kind = claim.kind;
    const QVariant documentType = claim.documentType;
    claim.before.reserve(qsizetype(invoices.size()));
    for (const Invoice& invoice : invoices) {
        const bool ok =
            marksRead ? step(q, kind, invoice.name, documentType) : step(q, invoice.name, documentType);
        if (!ok)
            return failed(q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
        if (!q.next() || !q.value(1).isNull() || (marksRead && q.value(3).toInt() != 0))
            lost.insert(invoice.name);
        else
            claim.before.append({invoice.name, q.value(0), q.value(2)});
        q.finish();
    }
    return true;
}

bool InsertCOMM(const HostDb& db, const std::vector<Invoice>& invoices, const Posting::Claim& claim,
                const QDate& today, QSet<QString>& lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, CommStatements::claimTransferMark(db), error))
        return false;
    const bool conditional = db.isSqlServer();
    const QVariant kind = claim.kind;
    const QVariant date1 = HostValues::bindable(db, QDateTime(today, QTime(0, 0)));
    for (const Invoice& invoice : invoices) {
        const bool ok = conditional ? step(q, invoice.name, kind, date1, kind, invoice.name)
                                    : step(q, invoice.name, kind, date1);
        if (!ok)
            return failed(q, QStringLiteral("Überleitungsmarke für %1").arg(invoice.name), error);
        if (q.numRowsAffected() != 1)
            lost.insert(invoice.name);
    }
    return true;
}

bool UpdateHEADERRECH(const HostDb& db, const std::vector<Invoice>& invoices, const Posting::Claim& claim,
                      QSet<QString>& lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::markTransferred(), error))
        return false;
    const QVariant paidAt = HostValues::bindable(db, claim.paidAt);
    const QVariant documentType = claim.documentType;
    for (const Invoice& invoice : invoices) {
        if (!step(q, double(invoice.cents) / 100.0, paidAt, invoice.name, documentType))
            return failed(q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
        if (q.numRowsAffected() != 1)
            lost.insert(invoice.name);
    }
    return true;
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
    std::vector<Invoice> invoices;
    invoices.reserve(size_t(bookings.count()));
    for (const Buchung& b : bookings)
        invoices.push_back({b.Rechnung, b.Betrag});
    // Every run locks the invoices in the same order, so two runs on SQL
    // Server wait for each other instead of deadlocking.
    std::stable_sort(invoices.begin(), invoices.end(),
                     [](const Invoice& a, const Invoice& b) { return a.name < b.name; });

    if (!db.transaction()) {
        *error = QStringLiteral("Die Buchung in der Datenbank konnte nicht begonnen werden: %1")
                     .arg(db.database().lastError().text());
        return Result::Failed;
    }
    QSet<QString> lost;
    QString failure;
    bool ok = readHeaders(db, invoices, *claim, lost, &failure) &&
              InsertCOMM(db, invoices, *claim, today, lost, &failure) &&
              UpdateHEADERRECH(db, invoices, *claim, lost, &failure);
    if (ok && lost.isEmpty()) {
        ok = beforeCommit(*claim, &failure) && db.commit();
        if (ok)
            return Result::Posted;
    }
    if (ok || failure.isEmpty())
        failure = db.database().lastError().text();
    db.rollback();
    if (!lost.isEmpty() && failure.isEmpty()) {
        *claimedElsewhere = int(lost.size());
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
        if (!execute(header, {h.name, claim.documentType}, h.name, error) ||
            !execute(mark, {claim.kind, h.name}, h.name, error))
            return false;
        if (header.next() && sameSecond(header.value(0), claim.paidAt) && mark.next() &&
            mark.value(0).toInt() > 0)
            *names << h.name;
        header.finish();
        mark.finish();
    }
    return true;
}

bool takeBack(HostDb& db, const Claim& claim, QString* error) {
    if (!db.transaction()) {
        *error = db.database().lastError().text();
        return false;
    }
    QSqlQuery restore, unmark;
    bool ok = prepare(db, restore, HeaderStatements::restoreBeforePosting(), error) &&
              prepare(db, unmark, CommStatements::deleteTransferMark(), error);
    const QVariant paidAt = HostValues::bindable(db, claim.paidAt);
    for (qsizetype i = 0; ok && i < claim.before.size(); ++i) {
        const HeaderBefore& h = claim.before[i];
        ok = execute(restore, {h.zahlBetrag, h.gesperrt, h.name, claim.documentType, paidAt}, h.name, error);
        // Only a header that still carried this run's time was this run's.
        if (ok && restore.numRowsAffected() == 1)
            ok = execute(unmark, {claim.kind, h.name}, h.name, error);
    }
    if (ok && db.commit())
        return true;
    if (ok)
        *error = db.database().lastError().text();
    db.rollback();
    return false;
}

} // namespace Posting
