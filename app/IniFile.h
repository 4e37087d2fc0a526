#pragma once

#include "base/Firmendaten.h"

#include <QString>

// The host ERP's INI file and the program's own one: single-byte Windows-1252
// text, "key=value" lines, the first matching key wins.
namespace IniFile {

// The value of the first entry whose key equals IniCode (both trimmed of
// blanks, compared without regard to case); empty when there is none or the
// file does not exist.
QString ReadFile(const QString& Filename, const QString& IniCode);

} // namespace IniFile

// The own INI file's 22 keys, and "SEPAVersion", "Echtzeit",
// "Empfaengerpruefung" and "Sperrzeit" after them, as they are held in memory.
struct OwnSettings {
    QString ExportPfad;
    Firmendaten firma;
    QString EDIFACT;
    QString CSV;
    QString KEINEARTIKELRECHNUNG;
    QString SKONTO_RECHNUNGS_KOPF;
    QString CheckBoxGutschrift;
    QString CheckBoxLastschrift;
    QString BezeichnungStattNameVorname;
    QString SEPAVersion;        // as read; checked by the export run
    QString Echtzeit;           // "0" when empty; checked by the export run
    QString Empfaengerpruefung; // as read; checked by the export run
    QString Sperrzeit;          // seconds to wait for a lock, as read; checked by the export run

    // Reads the file and applies the start-up defaults: "A:\" and the trailing
    // separator for the export folder, "0" for the three switches, the
    // external document column upper-cased, each creditor text cut to its box.
    static OwnSettings load(const QString& file);

    // The 22 lines in the order the host program has always written them,
    // then "SEPAVersion" ("2019" when the file had none), "Echtzeit",
    // "Empfaengerpruefung" (a known code in its own spelling) and
    // "Sperrzeit" ("30" when the file had none);
    // lossy (if given) tells whether a character became "?" in Windows-1252.
    QByteArray toFileContent(bool* lossy = nullptr) const;
    // Replaces the file's content so that a failed save keeps the old
    // settings (replaceFileContent). Returns false and a German message.
    // lossy as with toFileContent.
    bool save(const QString& file, QString* error, bool* lossy = nullptr) const;
};

// Maximum lengths of the creditor panel's boxes; 0 means no limit.
namespace CreditorLimits {
inline constexpr int FirmenName = 35;
inline constexpr int PLZ = 5;
inline constexpr int Ort = 50;
inline constexpr int Bankleitzahl = 50;
inline constexpr int Kontonummer = 50;
inline constexpr int GlaubigerID = 50;
inline constexpr int Verwendungszweck = 27;
inline constexpr int Referenznummer = 25;
// Cuts every field of the panel to its box.
Firmendaten cut(Firmendaten f);
} // namespace CreditorLimits

// An export folder as start-up keeps it: "A:\" when empty, otherwise ending
// with the separator the value itself uses (GetExportPath).
QString normalizedExportFolder(const QString& value);
