#include "app/Startup.h"

#include "app/IniFile.h"
#include "hostdb/CommStatements.h"
#include "hostdb/ConnectionString.h"

HostLocation HostLocation::fromArgument(const QString& argument, const ProgramPaths& paths) {
    const QStringList fields = argument.split(QLatin1Char('|'));
    HostLocation h;
    h.strConnectionString = fields.value(0).trimmed();
    h.brvIniPath = fields.value(1).trimmed();
    if (h.strConnectionString.isEmpty()) {
        if (h.brvIniPath.isEmpty())
            h.brvIniPath = paths.defaultHostIni();
        h.strServerName = IniFile::ReadFile(h.brvIniPath, QStringLiteral("SQLServer"));
        h.strDataBaseName = IniFile::ReadFile(h.brvIniPath, QStringLiteral("DatabaseName"));
        h.strConnectionString = ConnectionString::compose(h.strServerName, h.strDataBaseName);
    }
    return h;
}

DateRange DateRange::defaultFor(const QDate& today) {
    return {QDate(today.year(), today.month(), 1), today};
}

bool tidyTransferMarksAtStart(const HostDb& db, QString* error) {
    QString dbError;
    if (CommStatements::tidyTransferMarks(db, &dbError))
        return true;
    *error = QStringLiteral("Die Überleitungsmarken (Tabelle COMM) konnten nicht bereinigt werden: %1")
                 .arg(dbError);
    return false;
}
