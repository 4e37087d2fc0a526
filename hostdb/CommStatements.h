#pragma once

#include <QString>

class HostDb;

// Statements on the transfer marks: rows of COMM with ID 7, the invoice name
// in SUBTEXT and the transfer kind in SUBNUM.
namespace CommStatements {

// Start-up tidying: marks without a kind become kind 1, then marks of kind
// 1 to 8 whose settlement document is gone are removed. Returns false and
// the database's message on the first failure.
bool tidyTransferMarks(const HostDb& db, QString* error);

// Takes back one mark; values: kind, invoice name.
QString deleteTransferMark();

// The number of marks of one kind of one invoice; values: kind, invoice name.
QString countTransferMark();

} // namespace CommStatements
