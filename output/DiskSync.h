#pragma once

#include <QFileDevice>
#include <QString>

// Forces what was written to an open file onto the disk, so that a rename
// after it publishes complete content even after a power cut. The one place
// of the core that calls the operating system directly. Returns false and the
// system's reason on failure.
bool syncToDisk(QFileDevice& file, QString* error);
