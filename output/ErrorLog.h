#pragma once

#include <QDateTime>
#include <QString>

// Appends "yyyy.mm.dd - hh:mm:ss;message" and CR LF to the log file in
// Windows-1252, creating the file when it is missing. Each call opens the
// file, writes the line and closes the file again, so the line has been handed
// to the system (not necessarily synced to disk) when it returns. Returns false
// (and the system's reason in error, if given) when the line could not be
// written.
bool WriteLog(const QString& logPath, const QString& message, const QDateTime& now, QString* error = nullptr);
