#pragma once

#include <QDate>
#include <QString>

class HostDb;
class InvoiceListModel;
class Prompter;

// The window's inputs of both invoice lists.
struct ListInput {
    QString strCheckBox;             // flag column of PERSONAL_FREE in force; empty: no flag filter
    QString txtDatumFaelligkeit;     // due-date column of HEADERRECH; empty: no column "Fällig"
    bool optFaelligkeit = false;     // the range applies to the due date, else to the invoice date
    QDate dtpVon;                    // first day of the range
    QDate dtpBis;                    // last day of the range
    QString strKeineArtikelrechnung; // "1": only invoices without an article price
};

// The open invoices of the node's document type without a transfer mark of
// its kind into lvAbrechnungen. strVer_Type is left "R0" for a key with "R".
// Returns true when the statement found no rows (the list is then without
// columns), false when rows were loaded and also when the load failed: the
// failure is shown as "Fehler beim Anzeigen der Belege!" and the list keeps
// its rows. Busy cursor while it runs.
bool GetData(const HostDb& SQLConn, QString& strVer_Type, const ListInput& input,
             InvoiceListModel& lvAbrechnungen, Prompter& prompter);

// The transferred invoices of the node's document type, one row per transfer
// mark of its kind, into lvUebersicht, which is emptied first. Same key
// normalisation and result; a failure is shown and leaves the list empty.
// strKeineArtikelrechnung plays no part.
bool GetDataUebersicht(const HostDb& SQLConn, QString& strVer_Type, const ListInput& input,
                       InvoiceListModel& lvUebersicht, Prompter& prompter);
