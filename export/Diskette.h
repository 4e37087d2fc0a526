#pragma once

#include <QString>

// Drive A: as export target. Only Windows has drive letters; elsewhere the
// diskette never exists, so its write test fails and nothing is ever deleted.
namespace Diskette {

// The export folder lies on the diskette ("A:\..." in any case).
bool holds(const QString& strExportPfad);

// Creates, closes and deletes A:\Test.txt; false when any of it failed.
bool writeTest();

// Deletes every folder and then every file in the root of the diskette,
// read-only entries included.
void wipe();

} // namespace Diskette
