#include "output/CsvFile.h"

#include "output/GermanFormat.h"
#include "output/Windows1252.h"

#include <QStringList>

namespace {

const QString kHeader = QStringLiteral(
    "Buchungsart;AuftraggeberName;AuftraggeberBLZ;AuftraggeberKonto;Rechnung;Verwendungszweck;Rechnungsdat;"
    "Betrag;"
    "Nummer;Anrede;Name;Vorname;Strasse;PLZ;Ort;Nation;Postfach;BLZ;Bank;KontoNr;Faelligkeit;IBAN;BIC");

// A value that holds the separator or a line break would shift the columns,
// and one that begins with a quote would be read as a quoted field running
// into the next columns; such values are quoted with inner quotes doubled.
// Others stay exactly as they are.
QString field(const QString& value) {
    const bool quote = value.startsWith(QLatin1Char('"')) || value.contains(QLatin1Char(';')) ||
                       value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
    if (!quote)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString line(const Buchung& b, const Firmendaten& firma) {
    // With IBAN and BIC the national bank data are not needed; "NOTPROVIDED" counts as a BIC.
    const bool international = !b.IBAN.isEmpty() && !b.BIC.isEmpty();
    const QStringList columns{QStringLiteral("UW"),
                              field(firma.FirmenName),
                              field(firma.Bankleitzahl),
                              field(firma.Kontonummer),
                              field(b.Rechnung),
                              field(b.Verwendungszweck),
                              GermanFormat::dateTime(b.Rechnungsdat),
                              GermanFormat::amountPlain(b.Betrag),
                              QString::number(b.Nummer),
                              field(b.Anrede),
                              field(b.Name),
                              field(b.Vorname),
                              field(b.Strasse),
                              field(b.PLZ),
                              field(b.Ort),
                              field(b.Nation),
                              field(b.Postfach),
                              international ? QString() : field(b.BLZ),
                              field(b.Bank),
                              international ? QString() : field(b.KontoNr),
                              GermanFormat::dateTime(b.Faelligkeit),
                              field(b.IBAN),
                              field(b.BIC)};
    return columns.join(QLatin1Char(';'));
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
    QString text = kHeader + QStringLiteral("\r\n");
    int written = 0;
    for (const Buchung& b : bookings) {
        text += line(b, firma) + QStringLiteral("\r\n");
        prompter.setProgressValue(++written);
    }

    bool lossy = false;
    PendingFile file = stageFile(exportFolder, fileName, Windows1252::encode(text, &lossy));
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
