#pragma once

#include <QString>

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// Takes a posting back: amount and lock as read before it, no payment date;
// only the header that still carries the run's payment date. Values: amount,
// lock, invoice name, document type, the run's payment date-time.
QString restoreBeforePosting();

// ZAHLDATUM of one header; values: invoice name, document type.
QString paymentDate();

} // namespace HeaderStatements
