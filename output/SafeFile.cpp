#include "output/SafeFile.h"

#include <QSaveFile>

bool writeWholeFile(const QString& path, const QByteArray& content, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // A short write (file size limit, full disk) can pass unnoticed by the
    // buffered device, so the size on disk is checked before the rename.
    if (file.write(content) != content.size() || !file.flush() || file.size() != content.size()) {
        *error = file.error() != QFileDevice::NoError
                     ? file.errorString()
                     : QStringLiteral("Die Datei wurde nicht vollständig geschrieben.");
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
