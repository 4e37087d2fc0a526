#pragma once

#include "export/Buchung.h"

#include <QDate>
#include <QString>

class HostDb;

// Records in the host database that the bookings of a run were transferred:
// one transfer mark per booking (InsertCOMM), then amount, payment time and
// lock in each invoice header (UpdateHEADERRECH). Both run in one transaction
// on the run's connection, so a failure leaves nothing of the run behind.
namespace Posting {

// strVer_Type: the node key; "R0" posts kind 0 and document type "R".
// Returns false and a German message naming the failed step.
bool post(HostDb& db, const BookingList& bookings, const QString& strVer_Type, const QDate& today,
          QString* error);

} // namespace Posting
