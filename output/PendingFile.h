#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// A finished file that waits under a temporary name in its export folder
// until it is published under its final name. The temporary name starts with
// "." and ends with ".part", so no pattern the bank software or the user
// looks for (UW_*.xml, LS_*.xml, Bank_*.csv) can ever match a half file.
struct PendingFile {
    QString name;        // folder + file name as the user sees it in messages
    QString tempPath;    // local path of the written content; empty when nothing is staged
    QString finalPath;   // local path it is published under
    QString errorString; // the system's reason for the last failure

    enum class Replacing { Never, Allowed };

    bool isStaged() const { return !tempPath.isEmpty(); }
    // Moves the content to the final name. A payment file never replaces a
    // file: another run's invoices may stand in it. False, with errorString
    // set and the temporary file removed, on failure.
    bool publish(Replacing replacing = Replacing::Never);
    // Removes the temporary file; the final name is never touched.
    void discard();
};

// The temporary name of a file while it is staged.
QString temporaryName(const QString& fileName);

// Lets writeContent write under the temporary name for exportFolder +
// fileName (it returns false when a write failed), then flushes the file to
// disk and closes it. Returns the pending file; on failure it is not staged,
// nothing is left behind and errorString holds the reason.
PendingFile stageFile(const QString& exportFolder, const QString& fileName,
                      const std::function<bool(QFile&)>& writeContent);
PendingFile stageFile(const QString& exportFolder, const QString& fileName, const QByteArray& bytes);

// Flushes what was written to file and forces it to disk; false and the
// reason when a write fell short (full disk, file size limit).
bool flushToDisk(QFile& file, QString* error);

// A file an earlier program left staged under tempPath (a local path).
PendingFile stagedEarlier(const QString& tempPath);
