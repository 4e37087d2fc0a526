#pragma once

#include <QString>

class HostDb;

// The host ERP's tables as far as this program reads and writes them, for an
// embedded SQLite host database (demo and tests). Column names in setting
// values are matched without regard to case, so the spelling here is free.
namespace HostSchema {

// Names of the configurable columns the demo database carries.
inline constexpr const char* kFlagLastschrift = "SEPA_LASTSCHRIFT";
inline constexpr const char* kFlagGutschrift = "SEPA_GUTSCHRIFT";
inline constexpr const char* kDueDateColumn = "FAELLIGKEITSDATUM";
inline constexpr const char* kExternalNumberColumn = "EXT_BELEGNR";

bool createTables(const HostDb& db, QString* error);
// The keys, indexes and planner statistics a real host has; created after a
// bulk load.
bool createIndexes(const HostDb& db, QString* error);

} // namespace HostSchema
