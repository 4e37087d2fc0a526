#pragma once

#include "hostdb/Statement.h"

#include <QDate>
#include <QString>

class HostDb;

// The statements of the invoice lists and of the plausibility check, in the
// host's SQL Server text and in an SQLite text of the same meaning. Values are
// bound; the only names placed into the text are columns the caller has
// checked with HostDb::checkedColumn.
namespace ListStatements {

// What the list statements need, column names already checked and quoted.
struct ListParts {
    QString documentType;
    int transferKind = 0;
    QString flagColumn;    // of PERSONAL_FREE; empty: no flag filter
    QString dueDateColumn; // of HEADERRECH; empty: no column "Fällig"
    bool byDueDate = false;
    QDate from;
    QDate to;
    bool withoutArticlePrice = false;
};

// Open invoices: columns AbrechnungsNr, A-Datum, A-Kunde, Bruttopreis and,
// with a due-date column, Fällig.
Statement openInvoices(const HostDb& db, const ListParts& parts);
// Transferred invoices: AbrechnungsNr, A-Datum, A-Kunde, Bruttopreis,
// Überleitungsdatum and, with a due-date column, Fällig.
Statement transferredInvoices(const HostDb& db, const ListParts& parts);

// The plausibility check: AbrechnungsNr and A-Datum of the invoices without
// an amount, and of those whose header names another customer.
Statement invoicesWithoutPrice(const HostDb& db, const QString& documentType, int transferKind,
                               const QDate& from, const QDate& to);
Statement invoicesOfOtherCustomer(const HostDb& db, const QString& documentType, int transferKind,
                                  const QDate& from, const QDate& to);

} // namespace ListStatements
