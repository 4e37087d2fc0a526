#pragma once

#include <QString>

// The creditor panel's fourteen texts, as the export run and the reports read
// them. Field names are the keys of the own INI file.
struct Firmendaten {
    QString FirmenName;
    QString Adresse;
    QString PLZ;
    QString Ort;
    QString Telefon;
    QString Telefax;
    QString Bank;
    QString Bankleitzahl; // the company BIC, despite the key's name
    QString GlaubigerID;
    QString Kontonummer; // the company IBAN, despite the key's name
    QString Verwendungszweck;
    QString DatumFaelligkeit;
    QString Referenznummer;
    QString ExterneBelegnummer;
};

// How messages name the two boxes that hold column names of HEADERRECH.
inline const QString kDueDateSetting = QStringLiteral("Einstellung Fälligkeitsdatum (DatumFaelligkeit)");
inline const QString kExternalNumberSetting = QStringLiteral("Feld ext. Belegnr. (ExterneBelegnummer)");

// A run without company name or IBAN is refused in these words: the start
// check finds the box empty, a payment file writer nothing in it but blanks.
inline const QString kNoFirmenName = QStringLiteral("Sie müssen einen Firmennamen eingeben!");
inline const QString kNoIban = QStringLiteral("Sie müssen eine IBAN eingeben!");
