#include "export/RunRecovery.h"

#include "base/Prompter.h"
#include "export/Posting.h"
#include "export/RunRecord.h"
#include "output/ExportPath.h"
#include "output/PendingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

void removeAll(const QStringList& paths) {
    for (const QString& path : paths)
        QFile::remove(path);
}

// Publishes the run's staged files, the payment file first; false when the
// payment file is neither published now nor before.
bool publishStaged(const RunRecord& record, Prompter& prompter) {
    const QFileInfo paymentInfo(record.paymentFile);
    const QString paymentTemp = paymentInfo.dir().filePath(temporaryName(paymentInfo.fileName()));
    if (QFileInfo::exists(paymentTemp)) {
        PendingFile payment = stagedEarlier(paymentTemp);
        if (!payment.publish())
            return false;
    } else if (!QFileInfo::exists(record.paymentFile)) {
        return false;
    }
    for (const QString& temp : record.stagedFiles()) {
        PendingFile file = stagedEarlier(temp);
        if (!file.publish())
            prompter.message(QStringLiteral("Die Datei %1 konnte nicht veröffentlicht werden: %2")
                                 .arg(file.finalPath, file.errorString),
                             Prompter::Icon::Critical);
    }
    return true;
}

const QString kDiscarded =
    QStringLiteral("Eine unterbrochene Überleitung wurde verworfen; ihre Rechnungen sind weiter offen.");

void settle(HostDb& db, RunRecord& record, Prompter& prompter) {
    const QStringList staged = record.stagedFiles();
    if (record.state == RunRecord::State::Published) {
        removeAll(staged); // reports that were being drawn
        record.finish();
        return;
    }
    if (record.state == RunRecord::State::Staged) {
        removeAll(staged);
        record.finish();
        if (!staged.isEmpty())
            prompter.message(kDiscarded, Prompter::Icon::Information);
        return;
    }
    QString error;
    QStringList posted;
    if (!Posting::stillPosted(db, record.claim, &posted, &error)) {
        prompter.message(
            QStringLiteral("Eine unterbrochene Überleitung konnte nicht geprüft werden: %1").arg(error),
            Prompter::Icon::Critical);
        return; // the record stays for the next start
    }
    if (!posted.isEmpty() && posted.size() == record.claim.before.size()) {
        if (publishStaged(record, prompter)) {
            record.finish();
            prompter.message(QStringLiteral("Eine unterbrochene Überleitung wurde abgeschlossen: ") +
                                 record.paymentFile,
                             Prompter::Icon::Information);
            return;
        }
    }
    if (!posted.isEmpty() && !Posting::takeBack(db, record.claim, &error)) {
        prompter.message(QStringLiteral("Eine unterbrochene Überleitung konnte weder abgeschlossen noch "
                                        "zurückgenommen werden: %1\rOhne Datei als übergeleitet gebucht: %2\r"
                                        "Sie können auf der Seite „Übergeleitet“ freigegeben werden.")
                             .arg(error, posted.join(QStringLiteral(", "))),
                         Prompter::Icon::Critical);
        removeAll(record.stagedFiles());
        record.finish();
        return;
    }
    removeAll(record.stagedFiles());
    record.finish();
    prompter.message(kDiscarded, Prompter::Icon::Information);
}

} // namespace

void recoverInterruptedRuns(HostDb& db, const QString& strExportPfad, Prompter& prompter) {
    const QString folder = GetExportPath(strExportPfad);
    QSet<QString> seen;
    for (const QString& name : RunRecord::recordsIn(folder)) {
        const QString stamp = name.section(QLatin1Char('.'), 1, 1);
        if (seen.contains(stamp))
            continue;
        seen.insert(stamp);
        if (std::unique_ptr<RunRecord> record = RunRecord::takeOver(folder, name))
            settle(db, *record, prompter);
    }
}
