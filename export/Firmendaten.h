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
