#include "export/Posting.h"

#include "hostdb/BoundList.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HeaderStatements.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"
#include "selection/NodeKey.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <functional>
#include <span>
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

// SQL Server: one statement per invoice and step, each holding its locks
// until the commit.

// Reads the values the posting will change; an invoice that has a payment
// date by now (or no header) is someone else's.
bool readHeaders(const HostDb& db, const std::vector<Invoice>& invoices, Posting::Claim& claim,
                 QSet<QString>& lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::valuesBeforePosting(db), error))
        return false;
    const QVariant documentType = claim.documentType;
    claim.before.reserve(qsizetype(invoices.size()));
    for (const Invoice& invoice : invoices) {
        if (!step(q, invoice.name, documentType))
            return failed(q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
        if (!q.next() || !q.value(1).isNull())
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
    const QVariant kind = claim.kind;
    const QVariant date1 = HostValues::bindable(db, QDateTime(today, QTime(0, 0)));
    for (const Invoice& invoice : invoices) {
        if (!step(q, invoice.name, kind, date1, kind, invoice.name))
            return failed(q, QStringLiteral("Überleitungsmarke für %1").arg(invoice.name), error);
        if (q.numRowsAffected() != 1)
            lost.insert(invoice.name);
    }
    return true;
}

bool UpdateHEADERRECH(const HostDb& db, const std::vector<Invoice>& invoices, const Posting::Claim& claim,
                      QSet<QString>& lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::markTransferred(db), error))
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

bool claimEach(const HostDb& db, const std::vector<Invoice>& invoices, Posting::Claim& claim,
               const QDate& today, int* lost, QString* error) {
    QSet<QString> names;
    const bool ok = readHeaders(db, invoices, claim, names, error) &&
                    InsertCOMM(db, invoices, claim, today, names, error) &&
                    UpdateHEADERRECH(db, invoices, claim, names, error);
    *lost = int(names.size());
    return ok;
}

// SQLite: the write lock of the transaction keeps every other writer out,
// so three statements over all invoices at once make the same claim; the
// per-statement work of binding and stepping 300,000 statements was most of
// the posting's time.
// The names are the keys of one JSON object (json_each keeps a key that
// comes twice), the amounts in cents their values.
QVariant asJsonObject(std::span<const Invoice> invoices) {
    QString list = QStringLiteral("{");
    list.reserve(qsizetype(invoices.size()) * 32);
    for (const Invoice& invoice : invoices) {
        if (list.size() > 1)
            list += QLatin1Char(',');
        BoundList::appendJsonString(list, invoice.name);
        list += QLatin1Char(':') + QString::number(invoice.cents);
    }
    list += QLatin1Char('}');
    return list;
}

// Runs a statement on the invoices bound as one JSON object. When the
// database refuses it, the statement runs for one invoice after the other,
// so that the message names the invoice it fails at; the posting rolls back
// either way.
bool runAtOnce(QSqlQuery& q, const std::vector<Invoice>& invoices, const QVariant& json,
               const std::function<bool(const QVariant&)>& exec, const QString& what, QString* error) {
    if (exec(json))
        return true;
    const QString refused = q.lastError().text();
    for (const Invoice& invoice : invoices) {
        if (!exec(asJsonObject({&invoice, 1})))
            return failed(q, what.arg(invoice.name), error);
    }
    *error = QStringLiteral("%1: %2").arg(what.arg(QString()).trimmed(), refused);
    return false;
}

bool readHeadersAtOnce(const HostDb& db, const std::vector<Invoice>& invoices, const QVariant& json,
                       Posting::Claim& claim, int* lost, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::valuesBeforePosting(db), error))
        return false;
    if (!runAtOnce(
            q, invoices, json,
            [&](const QVariant& some) { return step(q, claim.kind, some, claim.documentType); },
            QStringLiteral("Rechnungskopf %1"), error))
        return false;
    // A header missing, already taken or found twice, and an invoice twice in
    // the list, are each someone else's invoice.
    std::vector<int> rows(invoices.size(), 0);
    std::vector<Posting::HeaderBefore> before(invoices.size());
    size_t next = 0; // the rows come in the list's order, though nothing promises it
    while (q.next()) {
        const QString name = q.value(0).toString();
        size_t i = next;
        if (i >= invoices.size() || invoices[i].name != name) {
            const auto at = std::lower_bound(invoices.begin(), invoices.end(), name,
                                             [](const Invoice& v, const QString& n) { return v.name < n; });
            if (at == invoices.end() || at->name != name)
                continue;
            i = size_t(at - invoices.begin());
        }
        next = i + 1;
        rows[i] += q.value(3).toInt() != 0 ? 2 : 1;
        before[i] = {name, q.value(1), q.value(2)};
    }
    q.finish();
    *lost = 0;
    claim.before.reserve(qsizetype(invoices.size()));
    for (size_t i = 0; i < invoices.size(); ++i) {
        bool taken = rows[i] != 1;
        for (; i + 1 < invoices.size() && invoices[i + 1].name == invoices[i].name; ++i)
            taken = true;
        if (taken)
            ++*lost;
        else
            claim.before.append(std::move(before[i]));
    }
    return true;
}

bool claimAtOnce(const HostDb& db, const std::vector<Invoice>& invoices, Posting::Claim& claim,
                 const QDate& today, int* lost, QString* error) {
    const QVariant json = asJsonObject(invoices);
    if (!readHeadersAtOnce(db, invoices, json, claim, lost, error))
        return false;
    // The marks and headers are written even for a claim already lost, so
    // that a refused statement shows as such (the database check relies on
    // it). A row count short of the list means invoices someone else has.
    const int count = int(invoices.size());
    const auto shortfall = [count](const QSqlQuery& q) {
        return q.numRowsAffected() == count ? 0 : std::max(1, count - q.numRowsAffected());
    };
    QSqlQuery q;
    const QVariant date1 = HostValues::bindable(db, QDateTime(today, QTime(0, 0)));
    if (!prepare(db, q, CommStatements::claimTransferMark(db), error) ||
        !runAtOnce(
            q, invoices, json, [&](const QVariant& some) { return step(q, claim.kind, date1, some); },
            QStringLiteral("Überleitungsmarke für %1"), error))
        return false;
    *lost = std::max(*lost, shortfall(q));
    const QVariant paidAt = HostValues::bindable(db, claim.paidAt);
    if (!prepare(db, q, HeaderStatements::markTransferred(db), error) ||
        !runAtOnce(
            q, invoices, json,
            [&](const QVariant& some) { return step(q, paidAt, some, claim.documentType); },
            QStringLiteral("Rechnungskopf %1"), error))
        return false;
    *lost = std::max(*lost, shortfall(q));
    return true;
}

// On SQLite the pages a large posting changes stay in memory until the
// commit: beyond the default cache of 2 MB they would be written into the
// database file early, after a journal sync each time, and that takes the
// file's exclusive lock against every reader for the rest of the posting.
// Journal and commit stay as they are. The old size comes back after the
// posting, which frees the pages.
class PostingCache {
public:
    explicit PostingCache(const HostDb& db) : m_query(db.newQuery()) {
        if (db.isSqlServer() || !m_query.exec(QStringLiteral("PRAGMA cache_size")) || !m_query.next())
            return;
        m_before = m_query.value(0);
        m_query.finish();
        m_query.exec(QStringLiteral("PRAGMA cache_size = -65536")); // KiB
    }
    ~PostingCache() {
        if (m_before.isValid())
            m_query.exec(QStringLiteral("PRAGMA cache_size = ") + QString::number(m_before.toLongLong()));
    }
    PostingCache(const PostingCache&) = delete;
    PostingCache& operator=(const PostingCache&) = delete;

private:
    QSqlQuery m_query;
    QVariant m_before;
};

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

    const PostingCache cache(db);
    if (!db.transaction()) {
        *error = QStringLiteral("Die Buchung in der Datenbank konnte nicht begonnen werden: %1")
                     .arg(db.database().lastError().text());
        return Result::Failed;
    }
    int lost = 0;
    QString failure;
    bool ok = db.isSqlServer() ? claimEach(db, invoices, *claim, today, &lost, &failure)
                               : claimAtOnce(db, invoices, *claim, today, &lost, &failure);
    if (ok && lost == 0) {
        ok = beforeCommit(*claim, &failure) && db.commit();
        if (ok)
            return Result::Posted;
    }
    if (ok || failure.isEmpty())
        failure = db.database().lastError().text();
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
