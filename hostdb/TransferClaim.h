#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

class HostDb;

// The claim of a posting: one transfer mark per invoice in COMM, then amount,
// payment time and lock in each invoice header, each only while the invoice
// is still open. Runs inside the caller's transaction, whose commit or
// rollback decides; on SQL Server the locks the claim takes hold until then.
namespace TransferClaim {

// One invoice of the claim with the amount its header receives.
struct Invoice {
    QString name;
    qint64 cents;
};

// A header as it stood before the claim.
struct HeaderBefore {
    QString name;
    QVariant zahlBetrag;
    QVariant gesperrt;
};

struct Request {
    int kind = 0;         // SUBNUM of the marks
    QString documentType; // VER_TYPE of the headers
    QDate transferDate;   // Date1 of the marks
    QDateTime paidAt;     // ZAHLDATUM of the headers
};

// Claims the invoices, sorted by name. Every statement runs even when the
// claim is already lost, so that a refused statement shows as one. Sets lost
// to the number of invoices someone else has (no header, a payment date or a
// mark of the kind by now, a header found twice, a name twice in the list)
// and before to the headers' values for a take-back. Returns false and a
// German message naming the step on a refused statement.
bool claim(const HostDb& db, const std::vector<Invoice>& invoices, const Request& request,
           QList<HeaderBefore>* before, int* lost, QString* error);

} // namespace TransferClaim
