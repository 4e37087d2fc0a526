#pragma once

#include "output/SepaFile.h"

// Writes the SEPA credit transfer file (pain.001.001.09, or .03 for 2009) "UW_" + purpose
// text + "_ddmmyyyyThhmmss.xml" into the export folder: the company pays
// every booking's counterparty, under a temporary name until the run
// publishes it. The bookings have passed CheckBookings. The 2019 file is an
// instant transfer when the options ask for it, and an Austrian one carries
// their verification of payee.
SepaResult WriteSEPAUeberweisung(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                 const QDateTime& now, Prompter& prompter, const SepaOptions& options,
                                 SchemaCheckTiming timing = SchemaCheckTiming::WhileWriting);
