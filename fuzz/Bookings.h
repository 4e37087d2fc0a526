#pragma once

#include "FuzzInput.h"
#include "SepaSamples.h"
#include "base/Buchung.h"
#include "base/Firmendaten.h"

// Up to four bookings and the company fields a payment file carries, each
// field from the input, empty fields falling back to the valid samples.
inline BookingList fuzzBookings(FuzzInput& in) {
    BookingList list;
    const int n = int(quint64(in.number()) % 5);
    for (int i = 0; i < n; ++i) {
        Buchung b = SepaSamples::booking(1000 + i, 100 * (i + 1));
        b.Rechnung = in.textOr(b.Rechnung);
        b.Verwendungszweck = in.textOr(b.Verwendungszweck);
        b.Name = in.textOr(b.Name);
        b.Vorname = in.text();
        b.Strasse = in.text();
        b.PLZ = in.text();
        b.Ort = in.text();
        b.Nation = in.text();
        b.Bank = in.text();
        b.BLZ = in.text();
        b.KontoNr = in.text();
        b.IBAN = in.textOr(b.IBAN);
        b.BIC = in.textOr(b.BIC);
        b.Mandatsnummer = in.textOr(QStringLiteral("M-%1").arg(i));
        if (const qint64 cents = in.number())
            b.Betrag = cents;
        if (const QDateTime due = in.dateTime(); due.isValid())
            b.Faelligkeit = due;
        b.Rechnungsdat = in.dateTime();
        list.append(b);
    }
    return list;
}

inline Firmendaten fuzzCompany(FuzzInput& in) {
    Firmendaten f = SepaSamples::firma();
    f.FirmenName = in.textOr(f.FirmenName);
    f.Kontonummer = in.textOr(f.Kontonummer);
    f.Bankleitzahl = in.textOr(f.Bankleitzahl);
    f.GlaubigerID = in.textOr(f.GlaubigerID);
    f.Verwendungszweck = QStringLiteral("Fuzz"); // part of the file name: kept inside the folder
    return f;
}
