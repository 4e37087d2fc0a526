#pragma once

#include "base/Prompter.h"
#include "output/ReportEngine.h"

#include <QDate>
#include <QString>
struct Firmendaten;

// The one row of the data-carrier accompanying note.
struct BegleitzettelRow {
    QString Volume; // always empty
    QDate Datum;
    QString SumDS;       // number of bookings, 20.000
    QString SumBetraege; // control sum, 1.234,50
    QString SumKontoNr;  // not printed
    QString SumBLZ;      // not printed
    QString BLZAbsaender;
    QString KontoAbsaender;
    QString NameAbsaender;
    QString DiskEmpfaenger;
    QString Referenznummer;
};

BegleitzettelRow begleitzettelRow(int count, qint64 controlSumCents, double SumKontoNr, double SumBLZ,
                                  const Firmendaten& firma, const QDate& runDate);

// The note beside a credit transfer file, or beside a direct debit file,
// whose order and count it names as such.
Report begleitzettelReport(const BegleitzettelRow& row, bool directDebit);

// Builds the note of an export run and hands it to the prompter as
// "Begleitzettel". Returns the report's file when it could not be written.
std::optional<MissingFile> PrintBegleitzettel(int count, qint64 controlSumCents, double SumKontoNr,
                                              double SumBLZ, const Firmendaten& firma, const QDate& runDate,
                                              bool directDebit, Prompter& prompter);
