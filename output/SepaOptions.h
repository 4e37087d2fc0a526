#pragma once

#include <QString>

#include <optional>

// Which ISO 20022 messages the payment files follow: the 2019 versions
// (pain.001.001.09, pain.008.001.08) that German banks take today, or the
// 2009 ones (pain.001.001.03, pain.008.001.02) for whoever still needs them.
enum class SepaVersion { Iso2009, Iso2019 };

// How the payment files are written, from the own INI file's keys
// "SEPAVersion", "Echtzeit" and "Empfaengerpruefung".
struct SepaOptions {
    SepaVersion version = SepaVersion::Iso2019;
    bool instant = false; // credit transfers as SEPA instant credit transfers
    // "VoPOptIn", "VoPOptOut" or empty: the verification of payee an
    // Austrian credit transfer file asks its bank for.
    QString verificationOfPayee{};
};

// The options the three settings ask for: "SEPAVersion" "2019", "2009" or
// empty (2019, so an installation without the key writes files its bank
// takes); "Echtzeit" empty, "0" or "1"; "Empfaengerpruefung" empty or one of
// the two codes in any case. Nothing, with the German refusal of the export
// run in refusal, for any other value or for an option the 2009 files cannot
// carry.
std::optional<SepaOptions> sepaOptionsOf(const QString& sepaVersion, const QString& echtzeit,
                                         const QString& empfaengerpruefung, QString* refusal);

// "Empfaengerpruefung" as the own INI file keeps it: a known code in its own
// spelling, anything else as it stands.
QString spelledVerificationOfPayee(const QString& setting);
