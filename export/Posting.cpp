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
    *error = db.describe(q.lastError());
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

bool failed(const HostDb& db, const QSqlQuery& q, const QString& what, QString* error) {
    *error = QStringLiteral("%1: %2").arg(what, db.describe(q.lastError()));
    return false;
}

bool execute(const HostDb& db, QSqlQuery& q, const QVariantList& values, const QString& what,
             QString* error) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    return q.exec() || failed(db, q, what, error);
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
            return failed(db, q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
        // A read that broke off is a database error, not an invoice taken
        // at another workstation.
        if (!q.next() && !HostDb::rowsEnded(q, nullptr))
            return failed(db, q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
        if (!q.isValid() || !q.value(1).isNull())
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
            return failed(db, q, QStringLiteral("Überleitungsmarke für %1").arg(invoice.name), error);
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
            return failed(db, q, QStringLiteral("Rechnungskopf %1").arg(invoice.name), error);
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
// either way. That search goes inside a savepoint that is always undone:
// SQLite may have undone the whole transaction on its own (a trigger's
// RAISE(ROLLBACK), a full disk), and a statement run after that would stand
// for good. A busy or locked database is told at once, not once per invoice.
bool runAtOnce(const HostDb& db, QSqlQuery& q, std::span<const Invoice> invoices, const QVariant& json,
               const std::function<bool(const QVariant&)>& exec, const QString& what, QString* error) {
    if (exec(json))
        return true;
    *error = QStringLiteral("%1: %2").arg(what.arg(QString()).trimmed(), db.describe(q.lastError()));
    constexpr int kLocked = 6; // SQLite's primary result code of a table locked within the connection
    const int code = q.lastError().nativeErrorCode().toInt() & 0xff;
    QString ignored;
    if (db.lockTimedOut() || code == kLocked ||
        !db.execute(QStringLiteral("SAVEPOINT brv32_name_search"), {}, &ignored))
        return false;
    for (const Invoice& invoice : invoices) {
        if (!exec(asJsonObject({&invoice, 1}))) {
            failed(db, q, what.arg(invoice.name), error);
            break;
        }
    }
    db.execute(QStringLiteral("ROLLBACK TO brv32_name_search"), {}, &ignored);
    db.execute(QStringLiteral("RELEASE brv32_name_search"), {}, &ignored);
    return false;
}

// SQLite: the write lock of the transaction keeps every other writer out,
// so three statements over many invoices at once make the same claim; the
// per-statement work of binding and stepping 300,000 statements was most of
// the posting's time. The invoices go in chunks, which keeps the bound texts
// small.
class ClaimAtOnce {
public:
    ClaimAtOnce(const HostDb& db, const std::vector<Invoice>& invoices, Posting::Claim& claim,
                const QDate& today)
        : m_db(db), m_invoices(invoices), m_claim(claim), m_rows(invoices.size(), 0),
          m_date1(HostValues::bindable(db, QDateTime(today, QTime(0, 0)))),
          m_paidAt(HostValues::bindable(db, claim.paidAt)) {}

    // The marks and headers are written even for a claim already lost, so
    // that a refused statement shows as such (the database check relies on
    // it).
    bool run(int* lost, QString* error) {
        if (!prepare(m_db, m_read, HeaderStatements::valuesBeforePosting(m_db), error) ||
            !prepare(m_db, m_mark, CommStatements::claimTransferMark(m_db), error) ||
            !prepare(m_db, m_header, HeaderStatements::markTransferred(m_db), error))
            return false;
        m_claim.before.resize(qsizetype(m_invoices.size()));
        const std::span<const Invoice> all(m_invoices);
        for (size_t from = 0; from < all.size(); from += size_t(BoundList::kChunk)) {
            if (!claimChunk(all.subspan(from, std::min(all.size() - from, size_t(BoundList::kChunk))), from,
                            error))
                return false;
        }
        *lost = std::max({taken(), m_marksShort, m_headersShort});
        return true;
    }

private:
    bool claimChunk(std::span<const Invoice> chunk, size_t from, QString* error) {
        const QVariant json = asJsonObject(chunk);
        if (!runAtOnce(
                m_db, m_read, chunk, json,
                [&](const QVariant& some) { return step(m_read, m_claim.kind, some, m_claim.documentType); },
                QStringLiteral("Rechnungskopf %1"), error))
            return false;
        if (!readRows(chunk, from, error))
            return false;
        if (!runAtOnce(
                m_db, m_mark, chunk, json,
                [&](const QVariant& some) { return step(m_mark, m_claim.kind, m_date1, some); },
                QStringLiteral("Überleitungsmarke für %1"), error))
            return false;
        m_marksShort += shortfall(m_mark, chunk.size());
        if (!runAtOnce(
                m_db, m_header, chunk, json,
                [&](const QVariant& some) { return step(m_header, m_paidAt, some, m_claim.documentType); },
                QStringLiteral("Rechnungskopf %1"), error))
            return false;
        m_headersShort += shortfall(m_header, chunk.size());
        return true;
    }

    // Counts the header rows per invoice and keeps what the posting replaces.
    // A read that broke off fails: the rows missing would count as invoices
    // another workstation has.
    bool readRows(std::span<const Invoice> chunk, size_t from, QString* error) {
        size_t next = 0; // the rows come in the list's order, though nothing promises it
        while (m_read.next()) {
            const QString name = m_read.value(0).toString();
            size_t i = next;
            if (i >= chunk.size() || chunk[i].name != name) {
                const auto at =
                    std::lower_bound(chunk.begin(), chunk.end(), name,
                                     [](const Invoice& v, const QString& n) { return v.name < n; });
                if (at == chunk.end() || at->name != name)
                    continue;
                i = size_t(at - chunk.begin());
            }
            next = i + 1;
            m_rows[from + i] += m_read.value(3).toInt() != 0 ? 2 : 1;
            m_claim.before[qsizetype(from + i)] = {chunk[i].name, m_read.value(1), m_read.value(2)};
        }
        if (!HostDb::rowsEnded(m_read, nullptr))
            return failed(m_db, m_read, QStringLiteral("Lesen der Rechnungsköpfe abgebrochen"), error);
        m_read.finish();
        return true;
    }

    // The invoices someone else has: a header missing, already taken or
    // found twice, and an invoice twice in the list. The claim then rolls
    // back and what it read no longer matters.
    int taken() const {
        int count = 0;
        for (size_t i = 0; i < m_invoices.size(); ++i) {
            bool lost = m_rows[i] != 1;
            for (; i + 1 < m_invoices.size() && m_invoices[i + 1].name == m_invoices[i].name; ++i)
                lost = true;
            count += lost;
        }
        return count;
    }

    // Under the write lock a row count short of the chunk (or beyond it) can
    // only be a list or table the read misjudged; it stops the posting all
    // the same.
    static int shortfall(const QSqlQuery& q, size_t expected) {
        const int n = int(expected);
        return q.numRowsAffected() == n ? 0 : std::max(1, n - q.numRowsAffected());
    }

    const HostDb& m_db;
    const std::vector<Invoice>& m_invoices;
    Posting::Claim& m_claim;
    std::vector<int> m_rows; // header rows found per invoice, 2 for one taken
    const QVariant m_date1;
    const QVariant m_paidAt;
    QSqlQuery m_read, m_mark, m_header;
    int m_marksShort = 0;
    int m_headersShort = 0;
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

    QString failure;
    if (!db.transaction(&failure)) {
        *error = QStringLiteral("Die Buchung in der Datenbank konnte nicht begonnen werden: %1").arg(failure);
        return Result::Failed;
    }
    int lost = 0;
    bool ok = db.isSqlServer() ? claimEach(db, invoices, *claim, today, &lost, &failure)
                               : ClaimAtOnce(db, invoices, *claim, today).run(&lost, &failure);
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
