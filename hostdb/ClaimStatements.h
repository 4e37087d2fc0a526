#pragma once

#include <QString>

// The statements of the claim (TransferClaim), both dialects side by side.
// The invoices are read as a set: on SQL Server from temporary tables of the
// connection, on SQLite from one JSON object of name: cents per chunk.
namespace ClaimStatements {

namespace SqlServer {

// The claim's tables: its invoices with their amounts, and the names of the
// marks and headers its statements wrote. No values: a prepared statement
// would drop its temporary tables at its end.
QString createTables();
// "TABLE (COLUMNS)" of the invoices for TempTable::insert; values per row:
// invoice name, amount.
QString invoicesTable();
// Name, ZAHL_BETRAG, ZAHLDATUM, GESPERRT of every header of the invoices,
// locked until the transaction ends; values: document type.
QString readHeaders();
// A mark per invoice that has none of the kind; values: kind, transfer date,
// kind.
QString insertMarks();
// Amount, payment time and lock into every header of the invoices without a
// payment date; values: payment date-time, document type.
QString markHeaders();
// The invoices whose mark or header was not written exactly once; no values.
QString lostInvoices();
// No values.
QString dropTables();

} // namespace SqlServer

namespace Sqlite {

// Per invoice its name, ZAHL_BETRAG, GESPERRT and whether someone else has
// it (no header, paid, or marked with the kind): a row per header found and
// one without a header. Values: kind, invoices, document type.
QString readHeaders();
// A mark per invoice; the read has made the test. Values: kind, transfer
// date, invoices.
QString insertMarks();
// Values: payment date-time, invoices, document type.
QString markHeaders();

} // namespace Sqlite

} // namespace ClaimStatements
