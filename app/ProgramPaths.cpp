#include "app/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString kOwnIni = QStringLiteral("BRV32-SEPA-Ueberweisung.ini");
const QString kLog = QStringLiteral("LogDatei.txt");

// Tried rather than judged by permission bits, which ACLs and read-only
// mounts make unreliable.
bool acceptsNewFiles(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.brv32-sepa-XXXXXX"));
    return probe.open();
}

QString userConfigFolder() {
#ifdef Q_OS_WIN
    const QString base = qEnvironmentVariable("APPDATA");
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    return QDir::cleanPath(base + QStringLiteral("/brv32-sepa"));
}

QString inFolder(const QString& dir, const QString& name) {
    return QDir::toNativeSeparators(dir + QLatin1Char('/') + name);
}

} // namespace

ProgramPaths ProgramPaths::resolve(const QString& overrideDir) {
    if (!overrideDir.isEmpty())
        return {QDir::cleanPath(QFileInfo(overrideDir).absoluteFilePath()), {}};
    return forProgramFolder(QDir::cleanPath(QCoreApplication::applicationDirPath()), userConfigFolder());
}

ProgramPaths ProgramPaths::forProgramFolder(const QString& programDir, const QString& userConfigDir) {
    if (QFileInfo::exists(programDir + QLatin1Char('/') + kOwnIni) || acceptsNewFiles(programDir))
        return {programDir, {}};
    QDir().mkpath(userConfigDir);
    return {programDir, userConfigDir};
}

QString ProgramPaths::ownIni() const {
    return inFolder(configDir.isEmpty() ? programDir : configDir, kOwnIni);
}

QString ProgramPaths::defaultHostIni() const {
    const QString beside = inFolder(programDir + QStringLiteral("/.."), QStringLiteral("brevanta.Ini"));
#ifdef Q_OS_UNIX
    // Installed in /usr/bin there is no ERP folder above the program.
    const QString system = QStringLiteral("/etc/brevanta.Ini");
    if (!QFileInfo::exists(beside) && QFileInfo::exists(system))
        return system;
#endif
    return beside;
}

QString ProgramPaths::logFile() const {
    const QString beside = inFolder(programDir, kLog);
    if (configDir.isEmpty() || QFileInfo::exists(beside))
        return beside;
    return inFolder(configDir, kLog);
}
