#include "output/ExportPath.h"

QString GetExportPath(const QString& strExportPfad) {
    if (strExportPfad.endsWith(QLatin1Char('\\')) || strExportPfad.endsWith(QLatin1Char('/')))
        return strExportPfad;
    const QChar separator = strExportPfad.isEmpty() || strExportPfad.contains(QLatin1Char('\\'))
                                ? QLatin1Char('\\')
                                : QLatin1Char('/');
    return strExportPfad + separator;
}

QString localFilePath(const QString& path) {
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return local;
}
