#pragma once

#include <QString>

// The export folder with a closing separator, so that file names can be
// appended directly. The separator is the one the value itself uses:
// D:\SEPA gives D:\SEPA\, /srv/sepa gives /srv/sepa/, a bare name gets "/";
// a drive letter and an empty value give "\" (A: gives A:\).
QString GetExportPath(const QString& strExportPfad);

// Turns a folder + file name as stored (often Windows style) into a path this
// machine's file system can open. Backslashes become slashes, so on Linux a
// value like C:\Export\x.xml names a folder that does not exist and the file
// simply cannot be created.
QString localFilePath(const QString& path);
