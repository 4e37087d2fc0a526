#pragma once

#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "output/SepaFile.h"

#include <QStringList>

// An export folder, a log file in a program folder of its own and a
// recording prompter, as each file writer test needs them.
class WriterFixture {
public:
    // The export folder with its closing separator.
    QString exportFolder() const { return m_export.path() + QLatin1Char('/'); }
    QString logPath() const { return m_program.file(QStringLiteral("LogDatei.txt")); }
    // Every entry of the export folder, hidden ones included, sorted.
    QStringList exportEntries() const;
    // The log's lines without CR LF, decoded from Windows-1252.
    QStringList logLines() const;
    // Checks the bookings and writes the payment file as the export run does,
    // then publishes it.
    SepaResult writeSepa(BookingList& list, const Firmendaten& firma, SepaVersion version, bool directDebit);

    RecordingPrompter prompter;

private:
    TempFolder m_export;
    TempFolder m_program;
};
