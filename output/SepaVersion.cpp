#include "output/SepaVersion.h"

std::optional<SepaVersion> sepaVersionOf(const QString& setting) {
    if (setting.isEmpty() || setting == QLatin1String("2019"))
        return SepaVersion::Iso2019;
    if (setting == QLatin1String("2009"))
        return SepaVersion::Iso2009;
    return std::nullopt;
}

QString invalidSepaVersionMessage(const QString& setting) {
    return QStringLiteral("Der Wert „%1“ für „SEPAVersion“ in der Datei BRV32-SEPA-Ueberweisung.ini ist "
                          "ungültig (erlaubt: 2019 oder 2009).")
        .arg(setting);
}
