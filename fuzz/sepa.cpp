// Both SEPA writers: every written file is well-formed and valid against its
// schema, whatever the bookings held (the checks remove the ones it cannot carry).
#include "Bookings.h"
#include "SchemaCheck.h"
#include "output/BankIdentifiers.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    FuzzInput in(data, size);
    const quint64 choice = quint64(in.number());
    const bool directDebit = choice % 2 == 1;
    SepaOptions options;
    options.version = choice % 4 >= 2 ? SepaVersion::Iso2019 : SepaVersion::Iso2009;
    if (options.version == SepaVersion::Iso2019) {
        options.instant = choice % 8 >= 4;
        options.verificationOfPayee = choice % 16 >= 8 ? QStringLiteral("VoPOptIn") : QString();
    }
    const SepaVersion version = options.version;
    const Firmendaten firma = fuzzCompany(in);
    BookingList bookings = fuzzBookings(in);
    const qsizetype before = bookings.count();
    SilentPrompter prompter;
    const QString exportFolder = folder.path() + QLatin1Char('/');
    const QString log = folder.filePath(QStringLiteral("LogDatei.txt"));
    const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, 9));
    // As the export run does: the checks first, then the writer.
    CheckBookings(bookings, directDebit, version, log, now);
    const SepaResult result =
        directDebit ? WriteSEPALastschrift(exportFolder, bookings, firma, now, prompter, options)
                    : WriteSEPAUeberweisung(exportFolder, bookings, firma, now, prompter, options);
    if (bookings.count() > before)
        fuzzFailure(QStringLiteral("the checks added bookings"));
    if (result.written) {
        if (result.count != bookings.count())
            fuzzFailure(QStringLiteral("count differs from the bookings kept"));
        QFile file(result.file.tempPath);
        if (!file.open(QIODevice::ReadOnly))
            fuzzFailure(QStringLiteral("written file not found: ") + result.path);
        const QByteArray xml = file.readAll();
        const bool austrian = BankIdentifiers::normalized(firma.Kontonummer).startsWith(QLatin1String("AT"));
        const QString errors = bankSchemaErrors(xml, directDebit, version, austrian);
        if (!errors.isEmpty())
            fuzzFailure(QStringLiteral("invalid payment file: ") + errors, xml);
    }
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
    return 0;
}
