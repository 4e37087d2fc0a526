#pragma once

#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "base/Windows1252.h"

#include <QStringList>

// An export folder, a log file in a program folder of its own and a
// recording prompter, as each file writer test needs them.
class WriterFixture {
public:
    // The export folder with its closing separator.
    QString exportFolder() const { return m_export.path() + '/'; }
    QString logPath() const { return m_program.file("LogDatei.txt"); }
    // Every entry of the export folder, hidden ones included, sorted.
    QStringList exportEntries() const {
        return QDir(m_export.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    // The log's lines without CR LF, decoded from Windows-1252.
    QStringList logLines() const {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = Windows1252::decode(file.readAll()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    RecordingPrompter prompter;

private:
    TempFolder m_export;
    TempFolder m_program;
};
