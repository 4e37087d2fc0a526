#include "export/Buchungsfuellung.h"

#include "base/GermanFormat.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"

#include <QLocale>

namespace {

bool isEmpty(const QVariant& v) {
    if (v.isNull())
        return true;
    switch (v.metaType().id()) {
    case QMetaType::QString:
        return static_cast<const QString*>(v.constData())->isEmpty();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray*>(v.constData())->isEmpty();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return false; // a number is never the empty text
    default:
        return v.toString().isEmpty();
    }
}

QString withoutBlanks(QString s) {
    return s.remove(QLatin1Char(' '));
}

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

Reader::Reader(const QSqlRecord& columns, const Options& options)
    : m_options(options), m_customer(columns.indexOf(QStringLiteral("ID_PERSONAL"))),
      m_nummer(columns.indexOf(QStringLiteral("NUMMER"))),
      m_anrede(columns.indexOf(QStringLiteral("ANREDE"))),
      m_bezeichnung(columns.indexOf(QStringLiteral("BEZEICHNUNG"))),
      m_name(columns.indexOf(QStringLiteral("NAME"))), m_vorname(columns.indexOf(QStringLiteral("VORNAME"))),
      m_strasse(columns.indexOf(QStringLiteral("STRASSE"))), m_plz(columns.indexOf(QStringLiteral("PLZ"))),
      m_ort(columns.indexOf(QStringLiteral("ORT"))), m_nation(columns.indexOf(QStringLiteral("NATION"))),
      m_blz(columns.indexOf(QStringLiteral("BLZ"))), m_bank(columns.indexOf(QStringLiteral("BANK"))),
      m_konto(columns.indexOf(QStringLiteral("KONTO"))),
      m_postfach(columns.indexOf(QStringLiteral("POSTFACH"))),
      m_mandatsnummer(columns.indexOf(QStringLiteral("Mandatsnummer"))),
      m_rName(columns.indexOf(QStringLiteral("R_NAME"))),
      m_verwendungszweck(columns.indexOf(QStringLiteral("Verwendungszweck"))),
      m_preis(columns.indexOf(QStringLiteral("Preis"))),
      m_skonto(columns.indexOf(QStringLiteral("SKONTOPROZ"))),
      m_iban(columns.indexOf(QStringLiteral("IBAN"))), m_bic(columns.indexOf(QStringLiteral("BIC"))) {
    m_invdate.index = columns.indexOf(QStringLiteral("INVDATE"));
    m_faellig.index = columns.indexOf(QStringLiteral("Faellig"));
}

QDateTime Reader::dateOf(const QSqlQuery& row, DateColumn& column) {
    const QVariant value = row.value(column.index);
    if (value.isNull())
        return {};
    if (value != column.lastValue) {
        column.lastValue = value;
        column.lastDate = HostValues::dateTime(value);
    }
    return column.lastDate;
}

Buchung Reader::fromRow(const QSqlQuery& row, const Buchung* sameCustomer) {
    const auto text = [&row](int column) { return HostValues::text(row.value(column)); };
    static const Buchung noCustomer;
    const Buchung& known = sameCustomer ? *sameCustomer : noCustomer;
    const auto customerText = [&row, &known](int column, QString Buchung::*field) {
        return HostValues::text(row.value(column), known.*field);
    };
    Buchung b;
    const QVariant nummer = row.value(m_nummer);
    b.Nummer = isEmpty(nummer) ? 0 : nummer.toInt();
    b.Anrede = customerText(m_anrede, &Buchung::Anrede);
    const QVariant bezeichnung = row.value(m_bezeichnung);
    if (m_options.designationInsteadOfName && !isEmpty(bezeichnung)) {
        b.Name = HostValues::text(bezeichnung, known.Name);
    } else {
        b.Name = customerText(m_name, &Buchung::Name);
        b.Vorname = customerText(m_vorname, &Buchung::Vorname);
    }
    b.DruckName = b.Name;
    b.DruckVorname = b.Vorname;
    b.Strasse = customerText(m_strasse, &Buchung::Strasse);
    b.PLZ = customerText(m_plz, &Buchung::PLZ);
    b.Ort = customerText(m_ort, &Buchung::Ort);
    b.Nation = customerText(m_nation, &Buchung::Nation);
    b.BLZ = withoutBlanks(customerText(m_blz, &Buchung::BLZ));
    b.Bank = customerText(m_bank, &Buchung::Bank);
    b.KontoNr = withoutBlanks(customerText(m_konto, &Buchung::KontoNr));
    b.Postfach = customerText(m_postfach, &Buchung::Postfach);
    b.Mandatsnummer = customerText(m_mandatsnummer, &Buchung::Mandatsnummer);
    b.Rechnung = text(m_rName);
    // Mostly the invoice name itself: one text for both.
    b.Verwendungszweck = HostValues::text(row.value(m_verwendungszweck), b.Rechnung);
    if (b.Verwendungszweck.isEmpty())
        b.Verwendungszweck = b.Rechnung;
    b.Rechnungsdat = dateOf(row, m_invdate);

    const QVariant preis = row.value(m_preis);
    const qint64 p = isEmpty(preis) ? 0 : GermanFormat::roundToCents(preis.toDouble());
    if (m_options.cashDiscount) {
        const double s = row.value(m_skonto).toDouble();
        b.Betrag = GermanFormat::roundToCents(double(p) / 100.0 * (100.0 - s) / 100.0);
    } else {
        b.Betrag = p;
    }
    b.Faelligkeit = dateOf(row, m_faellig);
    b.IBAN = customerText(m_iban, &Buchung::IBAN);
    b.BIC = customerText(m_bic, &Buchung::BIC);
    if (b.BIC.isEmpty())
        b.BIC = QStringLiteral("NOTPROVIDED");
    if (sameCustomer) {
        // Read with blanks, kept without them: compared once more as kept.
        for (QString Buchung::*field : {&Buchung::BLZ, &Buchung::KontoNr}) {
            if (!(b.*field).isEmpty() && b.*field == known.*field)
                b.*field = known.*field;
        }
    }
    return b;
}

void Reader::fill(const QSqlQuery& row, BookingList& bookings) {
    const QVariant customer = m_customer < 0 ? QVariant() : row.value(m_customer);
    const Buchung* first = nullptr;
    if (!customer.isNull()) {
        const auto found = m_firstBookingOf.constFind(customer.toLongLong());
        if (found == m_firstBookingOf.constEnd())
            m_firstBookingOf.insert(customer.toLongLong(), bookings.count());
        else
            first = &bookings[found.value()];
    }
    bookings.last() = fromRow(row, first);
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
    return QStringLiteral("Die Rechnung %1 hat %2. Es wurde keine Datei geschrieben.")
        .arg(b.Rechnung, missing);
}

bool readAll(QSqlQuery& query, const Options& options, BookingList& bookings, Prompter& prompter) {
    Reader reader(query.record(), options);
    while (query.next()) {
        reader.fill(query, bookings);
        QString problem = dateError(bookings.last());
        if (problem.isEmpty())
            problem = nationalBankError(bookings.last());
        if (!problem.isEmpty()) {
            prompter.setBusy(false);
            prompter.message(problem, Prompter::Icon::Critical);
            return false;
        }
        bookings.append();
    }
    // A read that breaks off is no end of the rows: a file of the rows read so
    // far would leave the others unpaid while the run reports success.
    QString why;
    if (!HostDb::rowsEnded(query, &why)) {
        prompter.setBusy(false);
        prompter.message(QStringLiteral("Fehler beim Lesen der Belege für den Export:\r%1").arg(why),
                         Prompter::Icon::Critical);
        return false;
    }
    return true;
}

} // namespace Buchungsfuellung
