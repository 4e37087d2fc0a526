#include "app/SelectionLine.h"

#include "base/GermanFormat.h"

namespace SelectionLine {

QString text(qint64 selected, qint64 listed, qint64 sumCents) {
    if (listed == 0)
        return {};
    return QStringLiteral("%1 von %2 ausgewählt, %3 EUR")
        .arg(GermanFormat::count(selected), GermanFormat::count(listed), GermanFormat::amount(sumCents));
}

} // namespace SelectionLine
