#include "output/SepaOptions.h"

namespace {

const QString kVoPOptIn = QStringLiteral("VoPOptIn");
const QString kVoPOptOut = QStringLiteral("VoPOptOut");

QString invalidValue(const char* key, const QString& value, const char* allowed) {
    return QStringLiteral("Der Wert „%1“ für „%2“ in der Datei BRV32-SEPA-Ueberweisung.ini ist "
                          "ungültig (erlaubt: %3).")
        .arg(value, QLatin1String(key), QString::fromUtf8(allowed));
}

} // namespace

std::optional<SepaOptions> sepaOptionsOf(const QString& sepaVersion, const QString& echtzeit,
                                         const QString& empfaengerpruefung, QString* refusal) {
    SepaOptions options;
    if (sepaVersion == QLatin1String("2009"))
        options.version = SepaVersion::Iso2009;
    else if (!sepaVersion.isEmpty() && sepaVersion != QLatin1String("2019")) {
        *refusal = invalidValue("SEPAVersion", sepaVersion, "2019 oder 2009");
        return std::nullopt;
    }
    if (echtzeit == QLatin1String("1"))
        options.instant = true;
    else if (!echtzeit.isEmpty() && echtzeit != QLatin1String("0")) {
        *refusal = invalidValue("Echtzeit", echtzeit, "0 oder 1");
        return std::nullopt;
    }
    options.verificationOfPayee = spelledVerificationOfPayee(empfaengerpruefung);
    if (!options.verificationOfPayee.isEmpty() && options.verificationOfPayee != kVoPOptIn &&
        options.verificationOfPayee != kVoPOptOut) {
        *refusal = invalidValue("Empfaengerpruefung", empfaengerpruefung, "VoPOptIn oder VoPOptOut");
        return std::nullopt;
    }
    if (options.version == SepaVersion::Iso2009 && options.instant) {
        *refusal = QStringLiteral("Echtzeitüberweisungen gibt es nur im Format 2019 (SEPAVersion=2019).");
        return std::nullopt;
    }
    if (options.version == SepaVersion::Iso2009 && !options.verificationOfPayee.isEmpty()) {
        *refusal = QStringLiteral("Die Empfängerprüfung (Empfaengerpruefung=%1) gibt es nur im Format 2019 "
                                  "(SEPAVersion=2019).")
                       .arg(options.verificationOfPayee);
        return std::nullopt;
    }
    return options;
}

QString spelledVerificationOfPayee(const QString& setting) {
    for (const QString& code : {kVoPOptIn, kVoPOptOut}) {
        if (setting.compare(code, Qt::CaseInsensitive) == 0)
            return code;
    }
    return setting;
}
