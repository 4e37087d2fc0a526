#pragma once

#include "base/Firmendaten.h"

#include <QDateTime>
#include <QString>

// What an export run reads from the window (or from batch mode): the node,
// the settings of the own INI file and the creditor panel as it stands.
struct ExportSettings {
    QString strConnectionString;
    QString strVer_Type; // "R0" for invoices, "A1".."A8" for settlements
    QString strCheckBox; // flag column of PERSONAL_FREE, empty for none
    QString strExportPfad;
    Firmendaten firma;           // includes the external document and due-date columns
    bool sortByCustomer = false; // rbSort(1) "Kunden" instead of "Rechnungsname"
    QString strCSV;
    QString strBezeichnungStattNameVorname;
    QString strSkontoRechnungsKopf;
    QString strSEPAVersion;        // "2019", "2009" or empty (2019), as read from the INI file
    QString strEchtzeit;           // "1": instant credit transfers
    QString strEmpfaengerpruefung; // "VoPOptIn" or "VoPOptOut": Austrian credit transfers
    QString strSperrzeit;          // seconds any statement waits for a lock; empty for 30
    QString logFile;
    QDateTime now; // the run's date and time: file names, dates in the files
    // Asked before the run reads or writes anything, Nein preset: the window
    // always asks, batch mode only with --yes.
    bool confirmFirst = false;
    QString nodeText;          // text of the tree node the rows belong to
    qint64 listedSumCents = 0; // sum of the selected rows as the list shows them
};
