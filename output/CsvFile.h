#pragma once

#include "base/Buchung.h"
#include "base/Firmendaten.h"
#include "base/Prompter.h"
#include "output/PendingFile.h"

#include <QDateTime>
#include <QString>

// Writes the bookings as the semicolon-separated bank file
// "Bank_yyyy_mm_dd_hh_mm_ss.csv" (Windows-1252, CR LF) for the export folder,
// with the texts as read from the host. The file waits under a temporary
// name: the export run publishes it once the posting is committed, or
// discards it. A file that cannot be created is reported here and comes back
// not staged.
PendingFile WriteCSVFile(const QString& exportFolder, const BookingList& bookings, const Firmendaten& firma,
                         const QDateTime& now, Prompter& prompter);
