#include "hostdb/SqliteClaim.h"

#include "hostdb/BoundList.h"
#include "hostdb/ClaimStatements.h"
#include "hostdb/HostValues.h"
#include "hostdb/PreparedStep.h"

#include <algorithm>
#include <functional>
#include <span>

namespace {

using TransferClaim::Invoice;
using namespace PreparedStep;

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

// The write lock of the transaction keeps every other writer out, so three
// statements over many invoices at once make the claim; the per-statement
// work of binding and stepping 300,000 statements was most of the posting's
// time. The invoices go in chunks, which keeps the bound texts small.
class ClaimAtOnce {
public:
    ClaimAtOnce(const HostDb& db, const std::vector<Invoice>& invoices, const TransferClaim::Request& request,
                QList<TransferClaim::HeaderBefore>& before)
        : m_db(db), m_invoices(invoices), m_request(request), m_before(before), m_rows(invoices.size(), 0),
          m_date1(HostValues::bindable(db, QDateTime(request.transferDate, QTime(0, 0)))),
          m_paidAt(HostValues::bindable(db, request.paidAt)) {}

    // The marks and headers are written even for a claim already lost, so
    // that a refused statement shows as such (the database check relies on
    // it).
    bool run(int* lost, QString* error) {
        if (!prepare(m_db, m_read, ClaimStatements::Sqlite::readHeaders(), error) ||
            !prepare(m_db, m_mark, ClaimStatements::Sqlite::insertMarks(), error) ||
            !prepare(m_db, m_header, ClaimStatements::Sqlite::markHeaders(), error))
            return false;
        m_before.resize(qsizetype(m_invoices.size()));
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
        const QVariant kind = m_request.kind, documentType = m_request.documentType;
        if (!runAtOnce(
                m_db, m_read, chunk, json,
                [&](const QVariant& some) { return step(m_read, kind, some, documentType); },
                QStringLiteral("Rechnungskopf %1"), error))
            return false;
        if (!readRows(chunk, from, error))
            return false;
        if (!runAtOnce(
                m_db, m_mark, chunk, json,
                [&](const QVariant& some) { return step(m_mark, kind, m_date1, some); },
                QStringLiteral("Überleitungsmarke für %1"), error))
            return false;
        m_marksShort += shortfall(m_mark, chunk.size());
        if (!runAtOnce(
                m_db, m_header, chunk, json,
                [&](const QVariant& some) { return step(m_header, m_paidAt, some, documentType); },
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
            m_before[qsizetype(from + i)] = {chunk[i].name, m_read.value(1), m_read.value(2)};
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
    const TransferClaim::Request& m_request;
    QList<TransferClaim::HeaderBefore>& m_before;
    std::vector<int> m_rows; // header rows found per invoice, 2 for one taken
    const QVariant m_date1;
    const QVariant m_paidAt;
    QSqlQuery m_read, m_mark, m_header;
    int m_marksShort = 0;
    int m_headersShort = 0;
};

} // namespace

namespace SqliteClaim {

bool claim(const HostDb& db, const std::vector<Invoice>& invoices, const TransferClaim::Request& request,
           QList<TransferClaim::HeaderBefore>* before, int* lost, QString* error) {
    return ClaimAtOnce(db, invoices, request, *before).run(lost, error);
}

} // namespace SqliteClaim
