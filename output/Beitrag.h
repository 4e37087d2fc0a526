#pragma once

#include "export/Buchung.h"

#include <QDate>
#include <QList>
#include <QString>

class Prompter;
class QPagedPaintDevice;

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

// Draws the list; printDate goes into every page footer.
bool renderBeitrag(QPagedPaintDevice& device, const QList<BeitragRow>& rows, const QDate& printDate);

// Builds the list of an export run and hands it to the prompter as "Beitrag".
void PrintBeitrag(const BookingList& bookings, const QString& panelPurposeText, const QDate& printDate,
                  Prompter& prompter);
