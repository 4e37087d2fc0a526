#pragma once

#include <QString>

struct ExportOutcome;

// The window's word on what the last run or release did; it needs no click.
namespace StatusLine {

// "300 Überweisungen über 303.928,50 EUR in UW_….xml geschrieben und gebucht.",
// the same with "Lastschriften", "… EUR als Echtzeitüberweisungen,
// Empfängerprüfung VoPOptIn, in …" for the options the file carries, or the
// word that nothing was written.
QString exportRun(const ExportOutcome& outcome, bool directDebit);
// "3 Rechnungen freigegeben."
QString release(int released);

} // namespace StatusLine
