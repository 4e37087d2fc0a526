#include "export/ExportQuestion.h"

#include "base/GermanFormat.h"

namespace ExportQuestion {

QString text(qint64 count, qint64 sumCents, const QString& nodeText, bool directDebit) {
    return QStringLiteral("%1 %2 über %3 EUR für %4 exportieren und als übergeleitet buchen?")
        .arg(GermanFormat::count(count), payments(count, directDebit), GermanFormat::amount(sumCents),
             nodeText);
}

QString payments(qint64 count, bool directDebit) {
    if (directDebit)
        return count == 1 ? QStringLiteral("Lastschrift") : QStringLiteral("Lastschriften");
    return count == 1 ? QStringLiteral("Überweisung") : QStringLiteral("Überweisungen");
}

} // namespace ExportQuestion
