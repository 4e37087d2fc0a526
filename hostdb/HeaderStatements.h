#pragma once

#include <QString>

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// Stores the transferred amount and time and locks the header; values:
// amount, payment date-time, invoice name, document type.
QString markTransferred();

} // namespace HeaderStatements
