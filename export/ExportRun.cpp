#include "export/ExportRun.h"

#include "export/Buchungsfuellung.h"
#include "export/Diskette.h"
#include "export/ExportQuery.h"
#include "export/Posting.h"
#include "export/Prompter.h"
#include "hostdb/HostDb.h"
#include "output/Begleitzettel.h"
#include "output/Beitrag.h"
#include "output/CsvFile.h"
#include "output/ExportPath.h"
#include "output/Sanitizing.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"
#include "selection/NodeKey.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool csvWanted(const QString& strCSV) {
    bool ok = false;
    const double value = strCSV.trimmed().toDouble(&ok);
    return ok && value == 1.0; // a value that is not a number counts as 0
}

// Reads the query into bookings; false (after the message) when a booking
// fails its checks, which ends the run before any file is written.
bool readBookings(QSqlQuery& query, const ExportSettings& settings, BookingList& bookings,
                  Prompter& prompter) {
    Buchungsfuellung::Options options;
    options.designationInsteadOfName = settings.strBezeichnungStattNameVorname == QLatin1String("1");
    options.cashDiscount = settings.strSkontoRechnungsKopf == QLatin1String("1");
    Buchungsfuellung::Reader reader(query.record(), options);
    while (query.next()) {
        bookings.last() = reader.fromRow(query);
        QString problem = Buchungsfuellung::dateError(bookings.last());
        if (problem.isEmpty())
            problem = Buchungsfuellung::nationalBankError(bookings.last());
        if (!problem.isEmpty()) {
            prompter.setBusy(false);
            prompter.message(problem, Prompter::Icon::Critical);
            return false;
        }
        bookings.append();
    }
    return true;
}

// Withdraws the files of a run whose invoices stay open; returns the ones
// that could not be removed.
QStringList removePublished(ExportOutcome& outcome) {
    QStringList left;
    for (const QString& path : {outcome.paymentFile, outcome.csvFile}) {
        if (!path.isEmpty() && !QFile::remove(path) && QFile::exists(path))
            left << path;
    }
    outcome.published = false;
    return left;
}

} // namespace

bool checkCreditorPanel(const Firmendaten& firma, Prompter& prompter) {
    const QString missing = firma.Kontonummer.isEmpty() ? QStringLiteral("Sie müssen eine IBAN eingeben!")
                            : firma.FirmenName.isEmpty()
                                ? QStringLiteral("Sie müssen einen Firmennamen eingeben!")
                            : firma.Bank.isEmpty() ? QStringLiteral("Sie müssen eine Bank eingeben!")
                                                   : QString();
    if (missing.isEmpty())
        return true;
    prompter.message(missing, Prompter::Icon::Information);
    return false;
}

ExportOutcome ExportSEPA(const ExportSettings& settings, const QStringList& selectedNames, Prompter& prompter,
                         const std::function<void()>& reloadOpenInvoices,
                         const std::function<void(const QString&)>& paymentFileWritten) {
    ExportOutcome outcome;
    const std::optional<SepaVersion> version = sepaVersionOf(settings.strSEPAVersion);
    if (!version) {
        prompter.message(invalidSepaVersionMessage(settings.strSEPAVersion), Prompter::Icon::Critical);
        return outcome;
    }
    if (selectedNames.isEmpty()) {
        prompter.message(QStringLiteral("Sie haben keine Abrechnungen für die Überleitung selektiert!"),
                         Prompter::Icon::Information);
        return outcome;
    }
    const QString exportFolder = GetExportPath(settings.strExportPfad);
    if (Diskette::holds(settings.strExportPfad)) {
        if (!Diskette::writeTest()) {
            prompter.message(
                QStringLiteral("Fehler beim Schreiben der Datei aufgetreten!\r\n\r\nFolgende Probleme "
                               "könnten die Ursache sein: \r\n1) Es ist keine Diskette eingelegt!\r\n2) "
                               "Die Diskette ist nicht formatiert!\r\n3) Die Diskette ist defekt!"),
                Prompter::Icon::Critical);
            return outcome;
        }
        if (!prompter.askYesNo(
                QStringLiteral(
                    "VORSICHT: Alle Daten auf der Diskette werden gelöscht! Wollen Sie das wirklich?"),
                QStringLiteral("SEPA")))
            return outcome;
        Diskette::wipe();
        // An export folder below the diskette's root went with the wipe.
        QDir().mkpath(localFilePath(exportFolder));
    }

    BusyWhileRunning busy(prompter);
    QString error;
    std::unique_ptr<HostDb> db = HostDb::open(settings.strConnectionString, &error);
    QSqlQuery query;
    if (!db || !ExportQuery::storeSelection(*db, selectedNames, &error) ||
        !ExportQuery::countAlreadyTransferred(*db, settings.strVer_Type, &outcome.skipped, &error) ||
        !ExportQuery::open(*db, settings, &query, &error)) {
        prompter.message(error, Prompter::Icon::Critical);
        return outcome;
    }
    if (outcome.skipped > 0) {
        prompter.message(
            QStringLiteral("%1 der ausgewählten Rechnungen wurden inzwischen schon übergeleitet und "
                           "werden nicht noch einmal exportiert.")
                .arg(outcome.skipped),
            Prompter::Icon::Information);
    }

    BookingList bookings;
    if (!readBookings(query, settings, bookings, prompter))
        return outcome;
    query.finish();
    if (bookings.isEmpty()) {
        prompter.message(QStringLiteral("Keine Belegadesse für die SEPA Überweisung vorhanden!"),
                         Prompter::Icon::Information);
        return outcome;
    }

    PendingFile csv;
    if (csvWanted(settings.strCSV))
        csv = WriteCSVFile(exportFolder, bookings, settings.firma, settings.now, prompter);
    ReplaceSpecialCharsInBookings(bookings);
    const SepaResult sepa = NodeKey::isDirectDebit(settings.strVer_Type)
                                ? WriteSEPALastschrift(exportFolder, bookings, settings.firma, settings.now,
                                                       settings.logFile, prompter, *version)
                                : WriteSEPAUeberweisung(exportFolder, bookings, settings.firma, settings.now,
                                                        settings.logFile, prompter, *version);
    if (!sepa.written) {
        csv.discard();
        prompter.setProgressValue(0);
        return outcome;
    }
    outcome.published = true;
    outcome.paymentFile = localFilePath(sepa.path);
    outcome.count = sepa.count;
    outcome.controlSumCents = sepa.controlSumCents;
    if (csv.isStaged() && PublishCSVFile(csv, prompter))
        outcome.csvFile = csv.finalPath;
    if (paymentFileWritten)
        paymentFileWritten(outcome.paymentFile);

    PrintBegleitzettel(sepa.count, sepa.controlSumCents, 0, 0, settings.firma, settings.now.date(), prompter);
    PrintBeitrag(bookings, settings.firma.Verwendungszweck, settings.now.date(), prompter);

    int transferredNow = 0;
    bool ok = ExportQuery::countAlreadyTransferred(*db, settings.strVer_Type, &transferredNow, &error);
    if (ok && transferredNow > outcome.skipped) {
        error = QStringLiteral("%1 der Rechnungen wurden während dieses Laufs an einem anderen Arbeitsplatz "
                               "übergeleitet.")
                    .arg(transferredNow - outcome.skipped);
        ok = false;
    }
    ok = ok && Posting::post(*db, bookings, settings.strVer_Type, settings.now.date(), &error);
    if (!ok) {
        const QStringList left = removePublished(outcome);
        const QString files =
            left.isEmpty()
                ? QStringLiteral("Die Datei %1 wurde wieder gelöscht, damit sie nicht an die Bank geht.")
                      .arg(sepa.path)
                : QStringLiteral(
                      "ACHTUNG: %1 konnte nicht gelöscht werden. Diese Datei darf nicht an die Bank "
                      "gehen; bitte von Hand löschen.")
                      .arg(left.join(QStringLiteral(", ")));
        prompter.message(
            QStringLiteral("Die Rechnungen konnten nicht als übergeleitet gebucht werden:\r%1\r\r"
                           "Es wurde nichts gebucht, die Rechnungen bleiben offen. %2 Der gedruckte "
                           "Begleitzettel dieses Laufs ist ungültig.")
                .arg(error, files),
            Prompter::Icon::Critical);
    } else {
        outcome.posted = true;
    }
    if (reloadOpenInvoices)
        reloadOpenInvoices();
    prompter.setProgressValue(0);
    return outcome;
}
