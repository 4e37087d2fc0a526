#include "WriterFixture.h"

#include "SepaSamples.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"
#include "output/Windows1252.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

SepaResult WriterFixture::writeSepa(BookingList& list, const Firmendaten& firma, SepaVersion version,
                                    bool directDebit) {
    CheckBookings(list, directDebit, version, logPath(), SepaSamples::runTime());
    SepaResult result =
        directDebit
            ? WriteSEPALastschrift(exportFolder(), list, firma, SepaSamples::runTime(), prompter, version)
            : WriteSEPAUeberweisung(exportFolder(), list, firma, SepaSamples::runTime(), prompter, version);
    if (result.written) {
        EXPECT_TRUE(result.file.publish());
    }
    return result;
}
