#pragma once

#include "output/ReportEngine.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Prompter;

// One line of the report "Übersicht der abgerechneten Rechnungen". A cell the
// list shows empty (a missing value in the host database) stays empty.
struct UebersichtRow {
    QString Nummer;
    QDate Datum;
    QString Kunde;
    QDate Ueberleitungsdatum;
    std::optional<qint64> Bruttopreis; // cents
};

// Reads the rows from the overview list's display texts, each row in column
// order: invoice name, invoice date, customer, amount, transfer date (a due
// date column after them is ignored). On a cell that is neither empty nor a
// date or amount it returns false and a German message naming the row.
bool uebersichtRows(const QList<QStringList>& listTexts, QList<UebersichtRow>* rows, QString* error);

// The report; printDate goes into every page footer.
Report uebersichtReport(const QList<UebersichtRow>& rows, const QDate& printDate);

// Prints every row of the overview list in the order shown, or tells the user
// which cell stands in the way. Returns false when nothing was handed out.
bool PrintUebersicht(const QList<QStringList>& listTexts, const QDate& printDate, Prompter& prompter);
