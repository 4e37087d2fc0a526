#pragma once

#include <QString>

class HostDb;
class Prompter;

// What an export run that ended without tidying up (a crash, a killed
// program) left in the export folder is completed or discarded at the next
// start, before anything else touches the folder: the payment file (and CSV
// file) of a run whose invoices all still carry its posting is published, the
// files of any other run are removed. Runs still going on elsewhere are left
// alone. The user is told what was done.
void recoverInterruptedRuns(HostDb& db, const QString& strExportPfad, Prompter& prompter);
