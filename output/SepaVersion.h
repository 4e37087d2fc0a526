#pragma once

#include <QString>

#include <optional>

// Which ISO 20022 messages the payment files follow: the 2019 versions
// (pain.001.001.09, pain.008.001.08) that German banks take today, or the
// 2009 ones (pain.001.001.03, pain.008.001.02) for whoever still needs them.
enum class SepaVersion { Iso2009, Iso2019 };

// The value of the "SEPAVersion" setting: "2019" or "2009"; empty means
// 2019, so an installation without the key writes files its bank takes.
// Nothing for any other value.
std::optional<SepaVersion> sepaVersionOf(const QString& setting);

// The refusal of an export run whose setting is not valid.
QString invalidSepaVersionMessage(const QString& setting);
