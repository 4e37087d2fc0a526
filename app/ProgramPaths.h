#pragma once

#include <QString>

// Where the program keeps its files: the folder of the program file, or the
// folder given with --program-dir (tests and installations that keep the INI
// files elsewhere). The own INI file and the log stay beside the program
// whenever they are there or the folder takes new files; an installed
// program in a folder that refuses them keeps both in the user's
// configuration folder instead.
struct ProgramPaths {
    QString programDir;     // without trailing separator
    QString configDir = {}; // folder of a missing own INI file and log; empty: the program folder

    static ProgramPaths resolve(const QString& overrideDir);
    // The rule for a program in programDir, with userConfigDir as the fallback.
    static ProgramPaths forProgramFolder(const QString& programDir, const QString& userConfigDir);

    QString ownIni() const;         // BRV32-SEPA-Ueberweisung.ini
    QString defaultHostIni() const; // brevanta.Ini in the folder above, else /etc/brevanta.Ini
    QString logFile() const;        // LogDatei.txt
};
