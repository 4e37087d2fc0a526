#include "app/StatusLine.h"

#include "base/GermanFormat.h"
#include "export/ExportRun.h"

#include <QFileInfo>

namespace StatusLine {

QString exportRun(const ExportOutcome& outcome, bool directDebit) {
    if (!outcome.posted) {
        // A withdrawn file that could not be removed is still there.
        if (!outcome.paymentFile.isEmpty() && QFileInfo::exists(outcome.paymentFile))
            return QStringLiteral("Der Lauf endete ohne Buchung; %1 darf nicht an die Bank gehen.")
                .arg(QFileInfo(outcome.paymentFile).fileName());
        return QStringLiteral("Der Lauf endete ohne Datei; es wurde nichts gebucht.");
    }
    const QString payments =
        directDebit ? (outcome.count == 1 ? QStringLiteral("Lastschrift") : QStringLiteral("Lastschriften"))
                    : (outcome.count == 1 ? QStringLiteral("Überweisung") : QStringLiteral("Überweisungen"));
    QString how;
    if (outcome.options.instant)
        how += QStringLiteral(" als Echtzeitüberweisungen");
    if (!outcome.options.verificationOfPayee.isEmpty())
        how += QStringLiteral(", Empfängerprüfung %1,").arg(outcome.options.verificationOfPayee);
    return QStringLiteral("%1 %2 über %3 EUR%4 in %5 geschrieben und gebucht.")
        .arg(outcome.count)
        .arg(payments, GermanFormat::amount(outcome.controlSumCents), how,
             QFileInfo(outcome.paymentFile).fileName());
}

QString release(int released) {
    if (released == 0)
        return QStringLiteral("Keine Rechnung ausgewählt; nichts freigegeben.");
    return QStringLiteral("%1 %2 freigegeben.")
        .arg(released)
        .arg(released == 1 ? QStringLiteral("Rechnung") : QStringLiteral("Rechnungen"));
}

} // namespace StatusLine
