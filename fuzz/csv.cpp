// The CSV bank file: whatever the texts hold, a reader that honours quoted
// fields gets back every line with its 23 columns and the values as written.
#include "Bookings.h"
#include "base/Windows1252.h"
#include "output/CsvFile.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Splits CSV text into records of fields; a field that begins with '"' is
// quoted and runs to the next lone '"'.
QList<QStringList> parse(const QString& text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    bool atFieldStart = true;
    while (i < text.size()) {
        const QChar c = text[i];
        if (atFieldStart && c == QLatin1Char('"')) {
            ++i;
            while (i < text.size()) {
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            atFieldStart = false;
            continue;
        }
        if (c == QLatin1Char(';')) {
            record << field;
            field.clear();
            atFieldStart = true;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            record << field;
            records << record;
            record.clear();
            field.clear();
            atFieldStart = true;
            ++i;
        } else {
            field += c;
            atFieldStart = false;
        }
        ++i;
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    FuzzInput in(data, size);
    const Firmendaten firma = fuzzCompany(in);
    const BookingList bookings = fuzzBookings(in);
    SilentPrompter prompter;
    const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, 9));
    PendingFile file = WriteCSVFile(folder.path() + QLatin1Char('/'), bookings, firma, now, prompter);
    if (!file.publish())
        fuzzFailure(QStringLiteral("CSV file not written: ") + file.errorString);
    QFile written(file.finalPath);
    if (!written.open(QIODevice::ReadOnly))
        fuzzFailure(QStringLiteral("CSV file not found"));
    const QByteArray bytes = written.readAll();
    const QList<QStringList> records = parse(Windows1252::decode(bytes));
    if (records.size() != bookings.count() + 1)
        fuzzFailure(QStringLiteral("%1 records for %2 bookings").arg(records.size()).arg(bookings.count()),
                    bytes);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (records[i].size() != 23)
            fuzzFailure(QStringLiteral("record %1 has %2 columns").arg(i).arg(records[i].size()), bytes);
    }
    for (qsizetype i = 0; i < bookings.count(); ++i) {
        if (records[i + 1][10] != Windows1252::decode(Windows1252::encode(bookings[i].Name)))
            fuzzFailure(QStringLiteral("name of booking %1 read back as %2").arg(i).arg(records[i + 1][10]),
                        bytes);
    }
    QFile::remove(file.finalPath);
    return 0;
}
