#pragma once

#include "base/Buchung.h"
#include "output/SepaOptions.h"

#include <QDateTime>
#include <QString>

// The validation pass of an export run, before any file is written, so that
// the CSV file, the payment file, the reports and the posting hold the same
// bookings.
struct SepaCheckSummary {
    qint32 seen = 0;        // bookings looked at
    qint32 errors = 0;      // bookings with at least one logged problem
    qint32 count = 0;       // bookings left for the file
    qint64 sumCents = 0;    // their control sum
    bool logWritten = true; // false when a log line could not be written
    QString logError;       // the system's reason for that
};

// Logs every problem of every booking. A booking whose IBAN only misses its
// national length is kept, as banks accept what the schema accepts; one that
// would make the file invalid or that no bank executes (amount not above 0
// or above 999.999.999,99, no due date, no invoice number, IBAN or BIC
// outside the schema pattern, wrong IBAN check digits, for direct debits a
// mandate reference that is empty or longer than 35 characters) is removed
// from the list, so it is neither written nor posted. The 2019 files also
// need a name, a mandate reference in the SEPA set, and for a counterparty
// outside the EEA a BIC and an address.
// A removed booking's lines end with one saying that its invoice stays open.
// With errors a summary line with the file's count and sum closes the log
// entries of the run, followed by the number of removed bookings.
SepaCheckSummary CheckBookings(BookingList& bookings, bool directDebit, SepaVersion version,
                               const QString& logPath, const QDateTime& now);
