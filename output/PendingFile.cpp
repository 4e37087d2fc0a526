#include "output/PendingFile.h"

#include "output/DiskSync.h"
#include "output/ExportPath.h"
#include "output/FullWrite.h"
#include "output/SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

bool flushToDisk(QFile& file, QString* error) {
    if (!flushAll(file)) {
        *error = germanReason(file.errorString());
        return false;
    }
    // A short write (file size limit, full disk) can pass the buffered device
    // unnoticed; the size on disk tells.
    if (file.size() != file.pos()) {
        *error = QStringLiteral("Die Datei wurde nicht vollständig geschrieben (Datenträger voll?).");
        return false;
    }
    return syncToDisk(file, error);
}

QString temporaryName(const QString& fileName) {
    return QLatin1Char('.') + fileName + QStringLiteral(".part");
}

PendingFile stageFile(const QString& exportFolder, const QString& fileName,
                      const std::function<bool(QFile&)>& writeContent) {
    PendingFile pending;
    pending.name = exportFolder + fileName;
    pending.finalPath = localFilePath(pending.name);
    const QString tempPath = localFilePath(exportFolder + temporaryName(fileName));

    QFile file(tempPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        pending.errorString = germanReason(file.errorString());
        return pending;
    }
    bool written = writeContent(file);
    if (!written)
        pending.errorString = germanReason(file.errorString());
    written = written && flushToDisk(file, &pending.errorString);
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        pending.errorString = germanReason(file.errorString());
        written = false;
    }
    if (written)
        pending.tempPath = tempPath;
    else
        QFile::remove(tempPath);
    return pending;
}

PendingFile stagedEarlier(const QString& tempPath) {
    PendingFile pending;
    pending.tempPath = tempPath;
    // ".NAME.part" stands for NAME in the same folder.
    const QFileInfo temp(tempPath);
    const QString tempName = temp.fileName();
    pending.finalPath = temp.dir().filePath(tempName.mid(1, tempName.size() - 1 - 5));
    pending.name = pending.finalPath;
    return pending;
}

PendingFile stageFile(const QString& exportFolder, const QString& fileName, const QByteArray& bytes) {
    return stageFile(exportFolder, fileName, [&bytes](QIODevice& device) { return writeAll(device, bytes); });
}

bool PendingFile::publish(Replacing replacing) {
    if (!isStaged())
        return false;
    const std::filesystem::path from(tempPath.toStdU16String());
    const std::filesystem::path to(finalPath.toStdU16String());
    std::error_code error;
    if (replacing == Replacing::Allowed) {
        std::filesystem::rename(from, to, error);
    } else {
        // A hard link is made only where no entry of that name exists, in one
        // step; a rename would replace a file that appeared after the check.
        std::filesystem::create_hard_link(from, to, error);
        std::error_code same;
        if (error == std::errc::file_exists && std::filesystem::equivalent(from, to, same))
            error.clear(); // published before, the temporary name not yet removed
        if (error && error != std::errc::file_exists && !std::filesystem::exists(to)) {
            // File systems without hard links (FAT on a diskette): the check
            // and the rename are two steps there.
            error.clear();
            std::filesystem::rename(from, to, error);
        } else if (!error) {
            std::filesystem::remove(from, error);
            error.clear(); // the content is published; a stray temporary name is harmless
        }
        if (error == std::errc::file_exists) {
            errorString = QStringLiteral("Es gibt schon eine Datei dieses Namens; sie wird nicht ersetzt.");
            discard();
            return false;
        }
    }
    if (error) {
        errorString = germanReason(QString::fromStdString(error.message()));
        discard();
        return false;
    }
    tempPath.clear();
    return true;
}

void PendingFile::discard() {
    if (isStaged())
        QFile::remove(tempPath);
    tempPath.clear();
}
