#include "output/PendingFile.h"

#include "output/DiskSync.h"
#include "output/ExportPath.h"

#include <QFile>

#include <filesystem>
#include <system_error>

bool flushToDisk(QFile& file, QString* error) {
    if (!file.flush()) {
        *error = file.errorString();
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

PendingFile stageFile(const QString& exportFolder, const QString& fileName,
                      const std::function<bool(QIODevice&)>& writeContent) {
    PendingFile pending;
    pending.name = exportFolder + fileName;
    pending.finalPath = localFilePath(pending.name);
    const QString tempPath =
        localFilePath(exportFolder + QLatin1Char('.') + fileName + QStringLiteral(".part"));

    QFile file(tempPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        pending.errorString = file.errorString();
        return pending;
    }
    bool written = writeContent(file);
    if (!written)
        pending.errorString = file.errorString();
    written = written && flushToDisk(file, &pending.errorString);
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        pending.errorString = file.errorString();
        written = false;
    }
    if (written)
        pending.tempPath = tempPath;
    else
        QFile::remove(tempPath);
    return pending;
}

PendingFile stageFile(const QString& exportFolder, const QString& fileName, const QByteArray& bytes) {
    return stageFile(exportFolder, fileName,
                     [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

bool PendingFile::publish() {
    if (!isStaged())
        return false;
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(tempPath.toStdU16String()),
                            std::filesystem::path(finalPath.toStdU16String()), error);
    if (error) {
        errorString = QString::fromStdString(error.message());
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
