#include "output/CsvFile.h"

#include "base/GermanFormat.h"
#include "base/Windows1252.h"
#include "output/FullWrite.h"

#include <algorithm>
#include <charconv>

namespace {

const QString kHeader = QStringLiteral(
    "Buchungsart;AuftraggeberName;AuftraggeberBLZ;AuftraggeberKonto;Rechnung;Verwendungszweck;Rechnungsdat;"
    "Betrag;"
    "Nummer;Anrede;Name;Vorname;Strasse;PLZ;Ort;Nation;Postfach;BLZ;Bank;KontoNr;Faelligkeit;IBAN;BIC");

constexpr qsizetype kChunkSize = 1 << 19;

// A value that holds the separator or a line break would shift the columns,
// and one that begins with a quote would be read as a quoted field running
// into the next columns; such values are quoted with inner quotes doubled.
// Others stay exactly as they are.
bool needsQuotes(QStringView value) {
    if (value.startsWith(QLatin1Char('"')))
        return true;
    for (const QChar c : value) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    }
    return false;
}

// Writes the field at out, which has room for twice its length and two
// bytes more; returns its end.
char* putField(char* out, const QString& value, bool* lossy) {
    if (!needsQuotes(value))
        return Windows1252::encodeInto(value, out, lossy);
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    *out++ = '"';
    out = Windows1252::encodeInto(quoted, out, lossy);
    *out++ = '"';
    return out;
}

// The file's bytes up to a chunk, written straight into one buffer: each
// line reserves the room its fields can take, then fills it.
class Chunk {
public:
    explicit Chunk(QIODevice& device) : m_device(device), m_bytes(2 * kChunkSize, Qt::Uninitialized) {}

    char* room(qsizetype bytes) {
        if (m_bytes.size() - m_used < bytes)
            m_bytes.resize(m_used + bytes);
        return m_bytes.data() + m_used;
    }
    void filledTo(const char* end) { m_used = end - m_bytes.constData(); }
    void append(const QByteArray& bytes) {
        char* out = room(bytes.size());
        filledTo(std::copy(bytes.cbegin(), bytes.cend(), out));
    }
    void writeIfFull() {
        if (m_used >= kChunkSize)
            write();
    }
    // Hands what is filled to the device; false when it refused a write, now
    // or before.
    bool write() {
        m_ok = m_ok && writeAll(m_device, m_bytes.constData(), m_used);
        m_used = 0;
        return m_ok;
    }

private:
    QIODevice& m_device;
    QByteArray m_bytes;
    qsizetype m_used = 0;
    bool m_ok = true;
};

// One line of the file, CR LF included, after the line's start that is the
// same for every booking (the kind and the creditor).
void appendLine(Chunk& chunk, const QByteArray& lineStart, const Buchung& b, bool* lossy) {
    // With IBAN and BIC the national bank data are not needed; "NOTPROVIDED" counts as a BIC.
    const bool international = !b.IBAN.isEmpty() && !b.BIC.isEmpty();
    const QString none;
    const QString invoiceDate = GermanFormat::dateTime(b.Rechnungsdat);
    const QString amount = GermanFormat::amountPlain(b.Betrag);
    const QString dueDate = GermanFormat::dateTime(b.Faelligkeit);
    const QString* const before[] = {&b.Rechnung, &b.Verwendungszweck, &invoiceDate, &amount};
    const QString* const after[] = {&b.Anrede,
                                    &b.Name,
                                    &b.Vorname,
                                    &b.Strasse,
                                    &b.PLZ,
                                    &b.Ort,
                                    &b.Nation,
                                    &b.Postfach,
                                    international ? &none : &b.BLZ,
                                    &b.Bank,
                                    international ? &none : &b.KontoNr,
                                    &dueDate,
                                    &b.IBAN,
                                    &b.BIC};
    // Each field at most doubled and quoted, its separator, the number, CR LF.
    qsizetype bytes = lineStart.size() + 16;
    for (const QString* value : before)
        bytes += 2 * value->size() + 3;
    for (const QString* value : after)
        bytes += 2 * value->size() + 3;
    char* out = chunk.room(bytes);
    out = std::copy(lineStart.cbegin(), lineStart.cend(), out);
    for (const QString* value : before) {
        out = putField(out, *value, lossy);
        *out++ = ';';
    }
    out = std::to_chars(out, out + 11, b.Nummer).ptr;
    for (const QString* value : after) {
        *out++ = ';';
        out = putField(out, *value, lossy);
    }
    *out++ = '\r';
    *out++ = '\n';
    chunk.filledTo(out);
}

void reportFailure(const PendingFile& file, Prompter& prompter) {
    prompter.message(QStringLiteral("Fehler beim Schreiben der  ") + file.name +
                         QStringLiteral(" Datei. \r") + file.errorString,
                     Prompter::Icon::Critical);
}

} // namespace

PendingFile WriteCSVFile(const QString& exportFolder, const BookingList& bookings, const Firmendaten& firma,
                         const QDateTime& now, Prompter& prompter) {
    const QString fileName = QStringLiteral("Bank_") + now.toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss")) +
                             QStringLiteral(".csv");

    prompter.setProgressRange(0, bookings.isEmpty() ? 1 : int(bookings.count()));
    prompter.setProgressValue(0);
    bool lossy = false;
    // Written in chunks, so the bytes of the whole file never sit in memory.
    PendingFile file = stageFile(exportFolder, fileName, [&](QIODevice& device) {
        Chunk chunk(device);
        chunk.append(Windows1252::encode(kHeader + QStringLiteral("\r\n"), &lossy));
        QByteArray lineStart = "UW;";
        for (const QString* value : {&firma.FirmenName, &firma.Bankleitzahl, &firma.Kontonummer}) {
            const qsizetype at = lineStart.size();
            lineStart.resize(at + 2 * value->size() + 2);
            lineStart.truncate(putField(lineStart.data() + at, *value, &lossy) - lineStart.constData());
            lineStart += ';';
        }
        int written = 0;
        for (const Buchung& b : bookings) {
            appendLine(chunk, lineStart, b, &lossy);
            prompter.setProgressValue(++written);
            chunk.writeIfFull();
        }
        return chunk.write();
    });
    if (!file.isStaged()) {
        reportFailure(file, prompter);
        return file;
    }
    if (lossy)
        prompter.message(QStringLiteral("Einige Zeichen gibt es im Zeichensatz der CSV Datei ") + file.name +
                             QStringLiteral(" nicht; sie wurden durch \"?\" ersetzt."),
                         Prompter::Icon::Warning);
    return file;
}
