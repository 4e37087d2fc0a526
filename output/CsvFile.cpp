#include "output/CsvFile.h"

#include "output/GermanFormat.h"
#include "output/Windows1252.h"

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
void appendField(QString& text, const QString& value) {
    const bool quote = value.startsWith(QLatin1Char('"')) || value.contains(QLatin1Char(';')) ||
                       value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
    if (!quote) {
        text += value;
        return;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    text += QLatin1Char('"') + quoted + QLatin1Char('"');
}

// One line of the file, CR LF included, appended to text.
void appendLine(QString& text, const Buchung& b, const Firmendaten& firma) {
    // With IBAN and BIC the national bank data are not needed; "NOTPROVIDED" counts as a BIC.
    const bool international = !b.IBAN.isEmpty() && !b.BIC.isEmpty();
    const QLatin1Char separator(';');
    text += QLatin1String("UW;");
    for (const QString* value :
         {&firma.FirmenName, &firma.Bankleitzahl, &firma.Kontonummer, &b.Rechnung, &b.Verwendungszweck}) {
        appendField(text, *value);
        text += separator;
    }
    text += GermanFormat::dateTime(b.Rechnungsdat) + separator + GermanFormat::amountPlain(b.Betrag) +
            separator + QString::number(b.Nummer) + separator;
    for (const QString* value :
         {&b.Anrede, &b.Name, &b.Vorname, &b.Strasse, &b.PLZ, &b.Ort, &b.Nation, &b.Postfach}) {
        appendField(text, *value);
        text += separator;
    }
    if (!international)
        appendField(text, b.BLZ);
    text += separator;
    appendField(text, b.Bank);
    text += separator;
    if (!international)
        appendField(text, b.KontoNr);
    text += separator + GermanFormat::dateTime(b.Faelligkeit) + separator;
    appendField(text, b.IBAN);
    text += separator;
    appendField(text, b.BIC);
    text += QLatin1String("\r\n");
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
    // Written in chunks, so the text of the whole file never sits in memory.
    PendingFile file = stageFile(exportFolder, fileName, [&](QIODevice& device) {
        QString text = kHeader + QStringLiteral("\r\n");
        bool ok = true;
        auto writeText = [&] {
            bool lostHere = false;
            const QByteArray bytes = Windows1252::encode(text, &lostHere);
            lossy = lossy || lostHere;
            ok = ok && device.write(bytes) == bytes.size();
            text.resize(0);
        };
        int written = 0;
        for (const Buchung& b : bookings) {
            appendLine(text, b, firma);
            prompter.setProgressValue(++written);
            if (text.size() >= kChunkSize)
                writeText();
        }
        writeText();
        return ok;
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

bool PublishCSVFile(PendingFile& file, Prompter& prompter) {
    if (!file.isStaged())
        return false; // its creation failure has been reported
    if (file.publish())
        return true;
    reportFailure(file, prompter);
    return false;
}
