#pragma once

#include "app/ProgramPaths.h"

#include <QDate>
#include <QString>

class HostDb;

// Where the host database is: from the command line's connection string, or
// composed from the host INI file.
struct HostLocation {
    QString strConnectionString;
    QString brvIniPath;
    QString strServerName;
    QString strDataBaseName;

    // argument: connection string "|" host INI path, both optional.
    static HostLocation fromArgument(const QString& argument, const ProgramPaths& paths);
};

// The first day of the month and today: the range a clerk starts with.
struct DateRange {
    QDate from;
    QDate to;
    static DateRange defaultFor(const QDate& today);
};

// The tidying of the transfer marks at every start, with a German message.
bool tidyTransferMarksAtStart(const HostDb& db, QString* error);
