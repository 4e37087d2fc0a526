// Both SEPA writers: every written file is well-formed and valid against its
// schema, whatever the bookings held (the checks remove the ones it cannot carry).
#include "Bookings.h"
#include "SchemaCheck.h"
#include "output/ExportPath.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    FuzzInput in(data, size);
    const bool directDebit = quint64(in.number()) % 2 == 1;
    const Firmendaten firma = fuzzCompany(in);
    BookingList bookings = fuzzBookings(in);
    const qsizetype before = bookings.count();
    SilentPrompter prompter;
    const QString exportFolder = folder.path() + QLatin1Char('/');
    const QString log = folder.filePath(QStringLiteral("LogDatei.txt"));
    const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, 9));
    const SepaResult result = directDebit
                                  ? WriteSEPALastschrift(exportFolder, bookings, firma, now, log, prompter)
                                  : WriteSEPAUeberweisung(exportFolder, bookings, firma, now, log, prompter);
    if (bookings.count() > before)
        fuzzFailure(QStringLiteral("the checks added bookings"));
    if (result.written) {
        if (result.count != bookings.count())
            fuzzFailure(QStringLiteral("count differs from the bookings kept"));
        QFile file(localFilePath(result.path));
        if (!file.open(QIODevice::ReadOnly))
            fuzzFailure(QStringLiteral("written file not found: ") + result.path);
        const QByteArray xml = file.readAll();
        const QString errors =
            schemaErrors(withStandardNamespace(xml), directDebit ? QStringLiteral("pain.008.001.02.xsd")
                                                                 : QStringLiteral("pain.001.001.03.xsd"));
        if (!errors.isEmpty())
            fuzzFailure(QStringLiteral("invalid payment file: ") + errors, xml);
    }
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
    return 0;
}
