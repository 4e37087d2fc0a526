#pragma once

#include "base/Buchung.h"
#include "base/Prompter.h"
#include "output/ReportEngine.h"

#include <QDate>
#include <QList>
#include <QString>

// One line of the single-bookings list "Einzelbuchungen SEPA".
struct BeitragRow {
    QString Nummer; // the invoice number
    QString Name;   // the name as read, before sanitizing
    QString Vorname;
    QString BLZ;       // the BIC
    QString Konto;     // the IBAN
    QString Text;      // purpose text
    qint64 Betrag = 0; // cents
};

// The rows of the bookings in list order. A non-empty purpose text of the
// creditor panel replaces every booking's own.
QList<BeitragRow> beitragRows(const BookingList& bookings, const QString& panelPurposeText);

// The list "Einzelbuchungen SEPA"; printDate goes into every page footer.
Report beitragReport(const QList<BeitragRow>& rows, const QDate& printDate);

// Hands the list of an export run to the prompter as "Beitrag": prepared as
// soon as its rows are known, shown once the run's files are published.
void prepareBeitrag(const Report& report, Prompter& prompter);
// Returns the report's file when it could not be written.
std::optional<MissingFile> PrintBeitrag(const Report& report, Prompter& prompter);
