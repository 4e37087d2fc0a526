#pragma once

#include <QByteArray>
#include <QString>

// Replaces the content of a file the program keeps its settings in, so that
// a failure never leaves a half file. Where the folder takes a new file, the
// content is written beside it and renamed over it; where it does not (an
// administrator made only the file writable), the file is written in place
// after a copy of its old content went to the temporary folder, read back,
// and put back from the copy when the check fails. The file keeps its owner
// and permissions. On failure returns false and German sentences saying why
// and what became of the old content.
bool replaceFileContent(const QString& path, const QByteArray& content, QString* error);
