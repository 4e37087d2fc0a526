#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file under a temporary name and puts it in place only when
// every byte reached the disk, so a full disk or a failed write never leaves a
// truncated file that looks complete. Returns false and the system's error.
bool writeWholeFile(const QString& path, const QByteArray& content, QString* error);
