#pragma once

#include "export/Posting.h"

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

// The record an export run keeps of itself in the export folder while its
// files wait under temporary names: once its posting is about to be
// committed, what the posting did, and when its payment file is published,
// that it was. A lock file beside it tells a running run from one that ended
// without tidying up (a crash, a killed program), so the next start can
// complete or discard what it left. Every file of a run carries the run's
// date and time in its name, which no other run in the folder holds.
class RunRecord {
public:
    // Reserves the run's date and time in the export folder: the first
    // second from wanted on that no entry of the folder carries in its name
    // (in either stamp form of the file names) and no other run holds. Null
    // and a German message when the folder refuses the lock.
    static std::unique_ptr<RunRecord> reserve(const QString& exportFolder, const QDateTime& wanted,
                                              QString* error);
    // Takes over the record of an earlier run whose program has ended; null
    // when the run is still going on or its record is unreadable (then
    // nothing of it is touched).
    static std::unique_ptr<RunRecord> takeOver(const QString& exportFolder, const QString& recordName);
    // Names of the records in the export folder.
    static QStringList recordsIn(const QString& exportFolder);

    ~RunRecord();
    RunRecord(const RunRecord&) = delete;
    RunRecord& operator=(const RunRecord&) = delete;

    enum class State { Staged, Posted, Published };

    QDateTime stamp() const { return m_stamp; }
    // Local paths of the run's files still under temporary names.
    QStringList stagedFiles() const;

    State state = State::Staged;
    // Set from Posted on: the payment file's final local path, the posting.
    QString paymentFile;
    Posting::Claim claim;

    // Writes the record to disk (replacing its earlier state).
    bool save(QString* error);
    // The run is over: removes record and lock.
    void finish();

private:
    RunRecord(const QString& folder, const QDateTime& stamp, std::unique_ptr<QLockFile> lock);
    QString path(const char* suffix) const;

    QString m_folder; // local path with closing separator
    QDateTime m_stamp;
    std::unique_ptr<QLockFile> m_lock;
};
