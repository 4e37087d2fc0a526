#include "hostdb/LockWait.h"

namespace LockWait {

std::optional<int> secondsOf(const QString& sperrzeit, QString* refusal) {
    if (sperrzeit.isEmpty())
        return kDefaultSeconds;
    // Digits only: no sign, no blanks inside, no decimal point.
    bool digits = true;
    for (const QChar c : sperrzeit)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    bool ok = false;
    const int seconds = digits ? sperrzeit.toInt(&ok) : 0;
    if (ok && seconds >= 1 && seconds <= 600)
        return seconds;
    *refusal = QStringLiteral("Der Wert „%1“ für „Sperrzeit“ in der Datei BRV32-SEPA-Ueberweisung.ini ist "
                              "ungültig (erlaubt: eine ganze Zahl von 1 bis 600 Sekunden).")
                   .arg(sperrzeit);
    return std::nullopt;
}

QString lockedMessage(int seconds) {
    return QStringLiteral("Die Datenbank ist von einem anderen Programm gesperrt; nach %1 Warten "
                          "(Einstellung „Sperrzeit“) hat das Programm aufgegeben. Bitte warten, bis das "
                          "andere Programm fertig ist, und es dann noch einmal versuchen.")
        .arg(seconds == 1 ? QStringLiteral("1 Sekunde") : QStringLiteral("%1 Sekunden").arg(seconds));
}

} // namespace LockWait
