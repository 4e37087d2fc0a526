#pragma once

#include <QString>

// Where the program keeps its files: the folder of the program file, or the
// folder given with --program-dir (tests and installations that keep the INI
// files elsewhere).
struct ProgramPaths {
    QString programDir; // without trailing separator

    static ProgramPaths resolve(const QString& overrideDir);

    QString ownIni() const;         // BRV32-SEPA-Ueberweisung.ini beside the program
    QString defaultHostIni() const; // brevanta.Ini in the folder above
    QString logFile() const;        // LogDatei.txt beside the program
};
