#include "output/SepaChecks.h"

#include "base/GermanFormat.h"
#include "output/BankIdentifiers.h"
#include "output/ErrorLog.h"
#include "output/Sanitizing.h"
#include "output/SepaCountries.h"

#include <QStringList>

namespace {

// The largest amount one SEPA payment may carry, in cents.
constexpr qint64 kMaxAmountCents = 99999999999;
constexpr qsizetype kMaxMandateLength = 35;
constexpr qsizetype kMaxNameLength = 70;
constexpr qsizetype kMaxTownLength = 35;

// The problems of one booking as log texts, empty when it may be written.
// unusable is set when the booking cannot go into the file.
QStringList problemsOf(const Buchung& b, bool directDebit, SepaVersion version, bool* unusable) {
    QStringList problems;
    auto unusableBecause = [&](const QString& text) {
        problems << text;
        *unusable = true;
    };
    *unusable = false;

    const QString iban = BankIdentifiers::normalized(b.IBAN);
    // No bank executes a payment to an IBAN with wrong check digits; a length
    // the national table does not expect alone is only worth a log line.
    const bool ibanUsable =
        BankIdentifiers::ibanFitsSchema(iban) && BankIdentifiers::ibanCheckDigitsValid(iban);
    if (!BankIdentifiers::ibanHasNationalLength(b.IBAN)) {
        problems << QStringLiteral(" IBAN hat nicht die erforderliche Länge. ") + b.IBAN;
        *unusable = !ibanUsable;
    } else if (!BankIdentifiers::ibanFitsSchema(iban)) {
        unusableBecause(QStringLiteral(" IBAN ist ungültig. ") + b.IBAN);
    } else if (!ibanUsable) {
        unusableBecause(QStringLiteral(" IBAN hat eine ungültige Prüfziffer. ") + b.IBAN);
    }
    if (!BankIdentifiers::bicFitsSchema(BankIdentifiers::bicOrNotProvided(b.BIC)))
        unusableBecause(QStringLiteral(" BIC ist ungültig. ") + b.BIC);
    if (b.Betrag <= 0)
        unusableBecause(QStringLiteral(" Betrag muss größer als 0 sein. ") + GermanFormat::amount(b.Betrag));
    else if (b.Betrag > kMaxAmountCents)
        unusableBecause(QStringLiteral(" Betrag ist zu groß. ") + GermanFormat::amount(b.Betrag));
    if (!b.Faelligkeit.isValid())
        unusableBecause(QStringLiteral(" Fälligkeitsdatum fehlt."));
    if (b.Rechnung.isEmpty())
        unusableBecause(QStringLiteral(" Rechnungsnummer fehlt."));
    if (directDebit && b.Mandatsnummer.isEmpty())
        unusableBecause(QStringLiteral(" Mandatsnummer fehlt."));
    else if (directDebit && b.Mandatsnummer.size() > kMaxMandateLength)
        unusableBecause(QStringLiteral(" Mandatsnummer ist länger als 35 Zeichen. ") + b.Mandatsnummer);
    if (version == SepaVersion::Iso2019) {
        if (directDebit && !b.Mandatsnummer.isEmpty() && !isSepaIdentifier(b.Mandatsnummer))
            unusableBecause(
                QStringLiteral(" Mandatsnummer enthält Zeichen außerhalb des SEPA-Zeichensatzes. ") +
                b.Mandatsnummer);
        if (ToSepaCharacterSet(b.Name + QLatin1Char(' ') + b.Vorname, kMaxNameLength).isEmpty())
            unusableBecause(QStringLiteral(" Name fehlt."));
        if (SepaCountries::outsideEea(iban)) {
            if (BankIdentifiers::bicOrNotProvided(b.BIC) == QLatin1String("NOTPROVIDED"))
                unusableBecause(QStringLiteral(" BIC fehlt (Land außerhalb des EWR)."));
            if (ToSepaCharacterSet(b.Ort, kMaxTownLength).isEmpty())
                unusableBecause(QStringLiteral(" Adresse fehlt (Land außerhalb des EWR)."));
        }
    }
    return problems;
}

} // namespace

SepaCheckSummary CheckBookings(BookingList& bookings, bool directDebit, SepaVersion version,
                               const QString& logPath, const QDateTime& now) {
    SepaCheckSummary summary;
    auto log = [&](const QString& message) {
        QString error;
        if (!WriteLog(logPath, message, now, &error) && summary.logWritten) {
            summary.logWritten = false;
            summary.logError = error;
        }
    };

    QList<qsizetype> removed;
    for (qsizetype i = 0; i < bookings.count(); ++i) {
        const Buchung& b = bookings[i];
        ++summary.seen;
        bool unusable = false;
        const QStringList problems = problemsOf(b, directDebit, version, &unusable);
        if (!problems.isEmpty()) {
            ++summary.errors;
            // Named as the payment file names them (the check runs before sanitizing).
            const QString who = QString::number(b.Nummer) + QLatin1Char(' ') + ReplaceSpecialChars(b.Name) +
                                QLatin1Char(' ') + ReplaceSpecialChars(b.Vorname);
            for (const QString& problem : problems)
                log(who + problem);
        }
        if (unusable) {
            log(QStringLiteral("Die Rechnung ") + b.Rechnung +
                QStringLiteral(" wurde nicht in die Datei übernommen und bleibt offen."));
            removed << i;
            continue;
        }
        ++summary.count;
        summary.sumCents += b.Betrag;
    }
    if (!removed.isEmpty()) {
        BookingList kept;
        kept.reserve(summary.count);
        qsizetype next = 0;
        for (qsizetype i = 0; i < bookings.count(); ++i) {
            if (next < removed.size() && removed[next] == i)
                ++next;
            else
                kept.append(bookings[i]);
        }
        bookings = std::move(kept);
    }
    if (summary.errors > 0) {
        log(QStringLiteral("Es sind ") + QString::number(summary.errors) +
            QStringLiteral(" Fehler von gesamt ") + QString::number(summary.seen) +
            QStringLiteral(" Buchungen aufgetreten. Die Datei enthält ") + QString::number(summary.count) +
            QStringLiteral(" Buchungen, Kontrollsumme: EUR ") + GermanFormat::amountShort(summary.sumCents));
    }
    if (!removed.isEmpty())
        log(QString::number(removed.size()) +
            QStringLiteral(" Buchungen wurden nicht in die Datei übernommen."));
    return summary;
}
