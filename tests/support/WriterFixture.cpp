#include "WriterFixture.h"

#include "output/Windows1252.h"

#include <QDir>
#include <QFile>

QStringList WriterFixture::exportEntries() const {
    return QDir(m_export.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList WriterFixture::logLines() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = Windows1252::decode(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
