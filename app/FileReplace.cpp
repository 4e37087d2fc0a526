#include "app/FileReplace.h"

#include "output/PendingFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The reason a save failed, and that the old file is as it was.
QString oldKept(QString reason) {
    if (!reason.endsWith(QLatin1Char('.')))
        reason += QLatin1Char('.');
    return reason + QStringLiteral(
                        " Die bisherige Datei bleibt unverändert; es muss nichts wiederhergestellt werden.");
}

// Gives the staged file the old file's owner and permissions; false when the
// owner cannot be kept, so the old file must be written in place instead.
bool takeOverOwnership(const QString& staged, const QString& old) {
#ifdef Q_OS_UNIX
    struct stat before {};
    if (::stat(QFile::encodeName(old).constData(), &before) != 0)
        return true; // a new file: nothing to keep
    const QByteArray name = QFile::encodeName(staged);
    if (::chmod(name.constData(), before.st_mode & 07777) != 0)
        return false;
    struct stat now {};
    if (::stat(name.constData(), &now) != 0)
        return false;
    return (now.st_uid == before.st_uid && now.st_gid == before.st_gid) ||
           ::chown(name.constData(), before.st_uid, before.st_gid) == 0;
#else
    Q_UNUSED(staged);
    Q_UNUSED(old);
    return true;
#endif
}

// Writes content over the file's old content and reads it back.
bool overwriteAndCheck(const QString& path, const QByteArray& content, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(content) != content.size()) {
        *error = file.errorString();
        return false;
    }
    if (!flushToDisk(file, error))
        return false;
    if (!file.seek(0) || file.readAll() != content) {
        *error = QStringLiteral("Die Datei enthält nach dem Schreiben nicht, was geschrieben wurde.");
        return false;
    }
    return true;
}

bool writeInPlace(const QString& path, const QByteArray& content, QString* error) {
    // Opened for writing before anything else: a file that refuses it (a
    // read-only file) is never touched, and nothing needs putting back.
    QFile original(path);
    if (!original.open(QIODevice::ReadWrite)) {
        *error = oldKept(original.errorString());
        return false;
    }
    const QByteArray old = original.readAll();
    original.close();
    // The process id keeps copies of several users in a shared folder apart.
    PendingFile copy = stageFile(QDir::tempPath() + QLatin1Char('/'),
                                 QFileInfo(path).fileName() + QLatin1Char('.') +
                                     QString::number(QCoreApplication::applicationPid()),
                                 old);
    if (!copy.isStaged()) {
        *error = oldKept(QStringLiteral("Im temporären Ordner ließ sich keine Sicherungskopie anlegen: %1")
                             .arg(copy.errorString));
        return false;
    }
    QString reason;
    if (overwriteAndCheck(path, content, &reason)) {
        copy.discard();
        return true;
    }
    QString restoreReason;
    if (overwriteAndCheck(path, old, &restoreReason)) {
        copy.discard();
        *error = oldKept(reason);
        return false;
    }
    *error = QStringLiteral("%1 Die bisherige Datei ließ sich nicht wiederherstellen (%2); ihre Kopie liegt "
                            "in „%3“.")
                 .arg(reason, restoreReason, QDir::toNativeSeparators(copy.tempPath));
    return false;
}

} // namespace

bool replaceFileContent(const QString& path, const QByteArray& content, QString* error) {
    const QFileInfo target(path);
    PendingFile beside = stageFile(target.absolutePath() + QLatin1Char('/'), target.fileName(), content);
    if (beside.isStaged()) {
        if (takeOverOwnership(beside.tempPath, path) && beside.publish())
            return true;
        beside.discard();
    }
    if (!target.exists()) {
        *error = beside.errorString;
        return false;
    }
    return writeInPlace(path, content, error);
}
