#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Statements on the transfer marks: rows of COMM with ID 7, the invoice name
// in SUBTEXT and the transfer kind in SUBNUM.
namespace CommStatements {

// Start-up tidying: marks without a kind become kind 1, then marks of kind
// 1 to 8 whose settlement document is gone are removed. Returns false and
// the database's message on the first failure.
bool tidyTransferMarks(const HostDb& db, QString* error);

// Adds one transfer mark unless the invoice has one of that kind already;
// one row affected means the run has claimed the invoice. Values: invoice
// name, kind, date of the transfer, then kind and invoice name again. On
// SQLite the header read has made the test (HeaderStatements::
// valuesBeforePosting) and one statement marks many invoices; values: kind,
// date of the transfer, the invoices as bound to the header read.
QString claimTransferMark(const HostDb& db);

// Takes back one mark; values: kind, invoice name.
QString deleteTransferMark();

// The number of marks of one kind of one invoice; values: kind, invoice name.
QString countTransferMark();

// Release: removes the marks of one kind of the named invoices. Names are
// bound in chunks well below SQL Server's limit of 2100 parameters.
bool deleteTransferMarks(const HostDb& db, int kind, const QStringList& names, QString* error);

} // namespace CommStatements
