#include "export/Buchungsfuellung.h"

#include "hostdb/HostValues.h"
#include "output/GermanFormat.h"

#include <QLocale>

namespace {

bool isEmpty(const QVariant& v) { return v.isNull() || v.toString().isEmpty(); }

QString text(const QSqlRecord& row, const char* column) { return HostValues::text(row.value(QLatin1String(column))); }

QString withoutBlanks(QString s) { return s.remove(QLatin1Char(' ')); }

// Lenient like the host program: a number in German or in plain notation.
bool isNumeric(const QString& s) {
    if (s.isEmpty())
        return false;
    bool ok = false;
    QLocale(QLocale::German, QLocale::Germany).toDouble(s, &ok);
    if (!ok)
        QLocale::c().toDouble(s, &ok);
    return ok;
}

} // namespace

namespace Buchungsfuellung {

Buchung fromRow(const QSqlRecord& row, const Options& options) {
    Buchung b;
    const QVariant nummer = row.value(QStringLiteral("NUMMER"));
    b.Nummer = isEmpty(nummer) ? 0 : nummer.toInt();
    b.Anrede = text(row, "ANREDE");
    const QString bezeichnung = text(row, "BEZEICHNUNG");
    if (options.designationInsteadOfName && !bezeichnung.isEmpty()) {
        b.Name = bezeichnung;
    } else {
        b.Name = text(row, "NAME");
        b.Vorname = text(row, "VORNAME");
    }
    b.DruckName = b.Name;
    b.DruckVorname = b.Vorname;
    b.Strasse = text(row, "STRASSE");
    b.PLZ = text(row, "PLZ");
    b.Ort = text(row, "ORT");
    b.Nation = text(row, "NATION");
    b.BLZ = withoutBlanks(text(row, "BLZ"));
    b.Bank = text(row, "BANK");
    b.KontoNr = withoutBlanks(text(row, "KONTO"));
    b.Postfach = text(row, "POSTFACH");
    b.Mandatsnummer = text(row, "Mandatsnummer");
    b.Rechnung = text(row, "R_NAME");
    b.Verwendungszweck = text(row, "Verwendungszweck");
    if (b.Verwendungszweck.isEmpty())
        b.Verwendungszweck = b.Rechnung;
    b.Rechnungsdat = HostValues::dateTime(row.value(QStringLiteral("INVDATE")));

    const QVariant preis = row.value(QStringLiteral("Preis"));
    const qint64 p = isEmpty(preis) ? 0 : GermanFormat::roundToCents(preis.toDouble());
    if (options.cashDiscount) {
        const double s = row.value(QStringLiteral("SKONTOPROZ")).toDouble();
        b.Betrag = GermanFormat::roundToCents(double(p) / 100.0 * (100.0 - s) / 100.0);
    } else {
        b.Betrag = p;
    }
    b.Faelligkeit = HostValues::dateTime(row.value(QStringLiteral("Faellig")));
    b.IBAN = text(row, "IBAN");
    b.BIC = text(row, "BIC");
    if (b.BIC.isEmpty())
        b.BIC = QStringLiteral("NOTPROVIDED");
    return b;
}

QString nationalBankError(const Buchung& b) {
    if (b.IBAN.size() > 5)
        return {};
    QString ending;
    if (b.KontoNr.size() > 13)
        ending = QStringLiteral(" aufgetreten. Kontonummer darf maximal 13 stellig sein!");
    else if (!isNumeric(b.KontoNr))
        ending = QStringLiteral(" aufgetreten. Kontonummer ist leer oder nicht numerisch!");
    else if (b.BLZ.size() > 8)
        ending = QStringLiteral(" aufgetreten. Bankleitzahl darf maximal 8 stellig sein!");
    else if (!isNumeric(b.BLZ))
        ending = QStringLiteral(" aufgetreten. Bankleitzahl ist leer oder nicht numerisch!");
    else
        return {};
    return QStringLiteral("Fehler in Belegadesse ") + b.Name + QLatin1Char(' ') + b.Vorname +
           QStringLiteral(" mit der Nummer ") + QString::number(b.Nummer) + ending;
}

QString dateError(const Buchung& b) {
    QString missing;
    if (!b.Rechnungsdat.isValid())
        missing = QStringLiteral("kein lesbares Rechnungsdatum");
    else if (!b.Faelligkeit.isValid())
        missing = QStringLiteral("kein lesbares Fälligkeitsdatum");
    else
        return {};
    return QStringLiteral("Die Rechnung %1 hat %2. Es wurde keine Datei geschrieben.").arg(b.Rechnung, missing);
}

} // namespace Buchungsfuellung
