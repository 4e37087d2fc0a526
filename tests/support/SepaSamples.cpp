#include "SepaSamples.h"

namespace SepaSamples {

QDateTime runTime() {
    return QDateTime(QDate(2026, 12, 5), QTime(14, 5, 9));
}

QDateTime due(int day) {
    return QDateTime(QDate(2026, 12, day), QTime(0, 0));
}

Buchung booking(qint32 nummer, qint64 cents, const QDateTime& faelligkeit) {
    Buchung b;
    b.Rechnung = QStringLiteral("R%1").arg(nummer);
    b.Verwendungszweck = b.Rechnung;
    b.Rechnungsdat = QDateTime(QDate(2026, 11, 20), QTime(0, 0));
    b.Betrag = cents;
    b.Nummer = nummer;
    b.Anrede = QStringLiteral("Herr");
    b.Name = QStringLiteral("Mueller");
    b.Vorname = QStringLiteral("Hans");
    b.Strasse = QStringLiteral("Hauptstrasse 1");
    b.PLZ = QStringLiteral("80331");
    b.Ort = QStringLiteral("Muenchen");
    b.Nation = QStringLiteral("D");
    b.Bank = QStringLiteral("Stadtsparkasse");
    b.Mandatsnummer = QStringLiteral("M%1").arg(nummer);
    b.DruckName = b.Name;
    b.DruckVorname = b.Vorname;
    b.Faelligkeit = faelligkeit;
    b.IBAN = QStringLiteral("DE89 3704 0044 0532 0130 00");
    b.BIC = QStringLiteral("COBADEFFXXX");
    return b;
}

Firmendaten firma() {
    Firmendaten f;
    f.FirmenName = QStringLiteral("Brevanta Handels GmbH");
    f.Bank = QStringLiteral("Volksbank");
    f.Bankleitzahl = QStringLiteral("GENODEF1M04");
    f.Kontonummer = QStringLiteral("DE26 7016 0000 0000 5555 55");
    f.GlaubigerID = QStringLiteral("DE98ZZZ09999999999");
    f.Verwendungszweck = QStringLiteral("Abrechnung");
    return f;
}

} // namespace SepaSamples
