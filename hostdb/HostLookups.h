#pragma once

#include <QString>

class HostDb;

// Settings and texts of the host ERP read from its own tables.
namespace HostLookups {

// NUMBER_VALUE of the form setting CHKABRECHNUNG + code ("1" to "8") as text;
// "0" when the setting is missing or NULL. On a failed statement or read
// returns "0" and sets error to the database's description.
QString GetAbrechnungFlag(const HostDb& db, const QString& code, QString* error = nullptr);

// Whether a flag of GetAbrechnungFlag switches its settlement type on: its
// number equals 1.
bool isEnabled(const QString& flag);

// The host's text with that number: the installation's own German text, else
// the standard German text, else empty. On a failed statement or read
// returns the empty text and sets error.
QString GetStringText(const HostDb& db, int id, QString* error = nullptr);

} // namespace HostLookups
