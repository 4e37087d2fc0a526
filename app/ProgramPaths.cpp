#include "app/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

ProgramPaths ProgramPaths::resolve(const QString& overrideDir) {
    const QString dir = overrideDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                              : QFileInfo(overrideDir).absoluteFilePath();
    return {QDir::cleanPath(dir)};
}

QString ProgramPaths::ownIni() const {
    return QDir::toNativeSeparators(programDir + QStringLiteral("/BRV32-SEPA-Ueberweisung.ini"));
}

QString ProgramPaths::defaultHostIni() const {
    return QDir::toNativeSeparators(programDir + QStringLiteral("/../brevanta.Ini"));
}

QString ProgramPaths::logFile() const {
    return QDir::toNativeSeparators(programDir + QStringLiteral("/LogDatei.txt"));
}
