#pragma once

#include "base/Buchung.h"
#include "hostdb/TransferClaim.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class HostDb;

// Records in the host database that the bookings of a run were transferred:
// one transfer mark per booking (InsertCOMM), then amount, payment time and
// lock in each invoice header (UpdateHEADERRECH), in one transaction that
// claims each invoice only while it is still open. A posting can be taken
// back as long as the headers carry its payment time.
namespace Posting {

// A header as it stood before the posting.
using HeaderBefore = TransferClaim::HeaderBefore;

// What one posting did, enough to take it back.
struct Claim {
    int kind = 0;
    QString documentType;
    QDateTime paidAt; // ZAHLDATUM written into every header, to the second
    QList<HeaderBefore> before;
};

enum class Result { Posted, ClaimedElsewhere, Failed };

// strVer_Type: the node key; "R0" posts kind 0 and document type "R".
// beforeCommit runs inside the transaction once every invoice is claimed (the
// run records itself there); its false rolls back. On ClaimedElsewhere
// claimedElsewhere holds how many invoices another run had posted, on Failed
// error a German message naming the failed step; both leave nothing behind.
Result post(HostDb& db, const BookingList& bookings, const QString& strVer_Type, const QDate& today,
            Claim* claim, int* claimedElsewhere, QString* error,
            const std::function<bool(const Claim&, QString*)>& beforeCommit);

// The invoices of the claim whose header still carries its payment time and
// that still have a mark of its kind.
bool stillPosted(const HostDb& db, const Claim& claim, QStringList* names, QString* error);

// Takes the posting back in a transaction of its own: removes the marks of
// the invoices that still carry the claim's payment time and restores their
// headers. Invoices released or posted again since are left alone.
bool takeBack(HostDb& db, const Claim& claim, QString* error);

} // namespace Posting
