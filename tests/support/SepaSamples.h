#pragma once

#include "base/Buchung.h"
#include "base/Firmendaten.h"

#include <QDateTime>

// Bookings and creditor values as an export run hands them to the writers.
namespace SepaSamples {

// 5 December 2026, 14:05:09: the run's date-time in every writer test.
inline QDateTime runTime() {
    return QDateTime(QDate(2026, 12, 5), QTime(14, 5, 9));
}
// A due date at midnight in December 2026.
inline QDateTime due(int day) {
    return QDateTime(QDate(2026, 12, day), QTime(0, 0));
}

// A German customer with a valid IBAN and BIC.
inline Buchung booking(qint32 nummer, qint64 cents, const QDateTime& faelligkeit = due(10)) {
    Buchung b;
    b.Rechnung = b.Verwendungszweck = QStringLiteral("R%1").arg(nummer);
    b.Rechnungsdat = QDateTime(QDate(2026, 11, 20), QTime(0, 0));
    b.Betrag = cents;
    b.Nummer = nummer;
    b.Anrede = "Herr";
    b.Name = b.DruckName = "Mueller";
    b.Vorname = b.DruckVorname = "Hans";
    b.Strasse = "Hauptstrasse 1";
    b.PLZ = "80331";
    b.Ort = "Muenchen";
    b.Nation = "D";
    b.Bank = "Stadtsparkasse";
    b.Mandatsnummer = QStringLiteral("M%1").arg(nummer);
    b.Faelligkeit = faelligkeit;
    b.IBAN = "DE89 3704 0044 0532 0130 00";
    b.BIC = "COBADEFFXXX";
    return b;
}

// A German company with IBAN, BIC and creditor identifier.
inline Firmendaten firma() {
    Firmendaten f;
    f.FirmenName = "Brevanta Handels GmbH";
    f.Bank = "Volksbank";
    f.Bankleitzahl = "GENODEF1M04";
    f.Kontonummer = "DE26 7016 0000 0000 5555 55";
    f.GlaubigerID = "DE98ZZZ09999999999";
    f.Verwendungszweck = "Abrechnung";
    return f;
}

} // namespace SepaSamples
