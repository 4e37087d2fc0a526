#pragma once

#include "output/SepaFile.h"

// Writes the SEPA core direct debit file (pain.008.001.08, or .02 for 2009) "LS_" + purpose
// text + "_ddmmyyyyThhmmss.xml" into the export folder: the company collects
// every booking's amount under the counterparty's mandate, under a temporary
// name until the run publishes it. The bookings have passed CheckBookings.
SepaResult WriteSEPALastschrift(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                const QDateTime& now, Prompter& prompter, const SepaOptions& options,
                                SchemaCheckTiming timing = SchemaCheckTiming::WhileWriting);
