#pragma once

#include "export/Prompter.h"
#include "output/ReportEngine.h"

#include <QDate>
#include <QString>
struct Firmendaten;

// The one row of the data-carrier accompanying note.
struct BegleitzettelRow {
    QString Volume; // always empty
    QDate Datum;
    QString SumDS;       // number of bookings
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

Report begleitzettelReport(const BegleitzettelRow& row);

// Builds the note of an export run and hands it to the prompter as
// "Begleitzettel". The captions are the same for transfers and debits.
// Returns the report's file when it could not be written.
std::optional<MissingFile> PrintBegleitzettel(int count, qint64 controlSumCents, double SumKontoNr,
                                              double SumBLZ, const Firmendaten& firma, const QDate& runDate,
                                              Prompter& prompter);
