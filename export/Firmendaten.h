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
