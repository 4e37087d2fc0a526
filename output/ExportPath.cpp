#include "output/ExportPath.h"

namespace {

// "A:", "d:SEPA": a Windows drive, whose separator is "\".
bool startsWithDriveLetter(const QString& path) {
    return path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter() &&
           path.at(0).unicode() < 128;
}

} // namespace

QString GetExportPath(const QString& strExportPfad) {
    if (strExportPfad.endsWith(QLatin1Char('\\')) || strExportPfad.endsWith(QLatin1Char('/')))
        return strExportPfad;
    const QChar separator = strExportPfad.isEmpty() || strExportPfad.contains(QLatin1Char('\\')) ||
                                    startsWithDriveLetter(strExportPfad)
                                ? QLatin1Char('\\')
                                : QLatin1Char('/');
    return strExportPfad + separator;
}

QString localFilePath(const QString& path) {
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return local;
}
