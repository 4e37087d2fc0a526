#pragma once

#include "export/Buchung.h"

#include <QSqlRecord>
#include <QString>

// Filling one booking from a row of the export query and the checks that stop
// a run before any file is written.
namespace Buchungsfuellung {

struct Options {
    bool designationInsteadOfName = false; // BezeichnungStattNameVorname = "1"
    bool cashDiscount = false;             // SKONTO_RECHNUNGS_KOPF = "1"
};

Buchung fromRow(const QSqlRecord& row, const Options& options);

// The message of the first national bank check the booking fails (only for an
// IBAN of five characters or fewer), or an empty text.
QString nationalBankError(const Buchung& b);

// A message when the invoice or due date could not be read, or an empty text.
QString dateError(const Buchung& b);

} // namespace Buchungsfuellung
