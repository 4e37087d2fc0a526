#include "export/ExportRun.h"

#include "base/NodeKey.h"
#include "base/Prompter.h"
#include "export/Buchungsfuellung.h"
#include "export/Diskette.h"
#include "export/ExportQuery.h"
#include "export/ExportQuestion.h"
#include "export/Posting.h"
#include "export/RunPhase.h"
#include "export/RunRecord.h"
#include "hostdb/HostDb.h"
#include "hostdb/LockWait.h"
#include "hostdb/SelectionTable.h"
#include "output/Begleitzettel.h"
#include "output/Beitrag.h"
#include "output/CsvFile.h"
#include "output/ExportPath.h"
#include "output/Sanitizing.h"
#include "output/SepaChecks.h"
#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool csvWanted(const QString& strCSV) {
    bool ok = false;
    const double value = strCSV.trimmed().toDouble(&ok);
    return ok && value == 1.0; // a value that is not a number counts as 0
}

const QString kErrorsLogged = QStringLiteral(
    "Es sind beim Export fehler aufgetreten. Bitte kontrollieren Sie die Log-Datei. Sie wurde um die "
    "aktuellen Fehler ergänzt.\rZur Info: \rSie können die Logdatei komplett löschen oder leeren und "
    "speichern. Sie wird beim Auftreten des nächsten Fehlers wieder erzeugt und ergänzt.");

// Sends the user to the log, or tells why the errors are not in it.
void reportLoggedErrors(const QString& text, const SepaCheckSummary& checks, const QString& logPath,
                        Prompter& prompter) {
    if (!checks.logWritten) {
        prompter.message(text + QStringLiteral("\rDie Log-Datei ") + logPath +
                             QStringLiteral(" konnte nicht geschrieben werden: ") + checks.logError,
                         Prompter::Icon::Critical);
        return;
    }
    prompter.message(text);
    prompter.openFile(logPath);
}

// Tells which files of a posted run are missing; nothing else is undone.
void reportMissingFiles(const ExportOutcome& outcome, Prompter& prompter) {
    if (outcome.missing.isEmpty())
        return;
    QString list;
    for (const MissingFile& m : outcome.missing) {
        const QFileInfo file(m.path);
        list += QStringLiteral("\r- %1 %2 im Ordner %3: %4")
                    .arg(m.what, file.fileName(), QDir::toNativeSeparators(file.absolutePath()), m.reason);
    }
    prompter.message(QStringLiteral("Die Zahlungsdatei %1 ist geschrieben und die Rechnungen sind als "
                                    "übergeleitet gebucht; das bleibt so. Es fehlt aber:%2")
                         .arg(outcome.paymentFile, list),
                     Prompter::Icon::Critical);
}

// A report prepared and never shown goes when the run ends.
class DropUnshownReports {
public:
    explicit DropUnshownReports(Prompter& prompter) : m_prompter(prompter) {}
    ~DropUnshownReports() { m_prompter.dropPreparedReports(); }
    DropUnshownReports(const DropUnshownReports&) = delete;
    DropUnshownReports& operator=(const DropUnshownReports&) = delete;

private:
    Prompter& m_prompter;
};

// What a finished run hands out with its outcome.
struct Leftovers {
    BookingList bookings;
    Report beitrag;
    Posting::Claim claim;
};

// The record and the staged files of a run that ends before its posting.
void discardRun(RunRecord& record, PendingFile& csv, PendingFile& payment) {
    csv.discard();
    payment.discard();
    record.finish();
}

} // namespace

bool checkCreditorPanel(const Firmendaten& firma, Prompter& prompter) {
    const QString missing = firma.Kontonummer.isEmpty()  ? kNoIban
                            : firma.FirmenName.isEmpty() ? kNoFirmenName
                            : firma.Bank.isEmpty()       ? QStringLiteral("Sie müssen eine Bank eingeben!")
                                                         : QString();
    if (missing.isEmpty())
        return true;
    prompter.message(missing, Prompter::Icon::Information);
    return false;
}

ExportOutcome ExportSEPA(const ExportSettings& settings, const QStringList& selectedNames, Prompter& prompter,
                         const std::function<void()>& reloadOpenInvoices,
                         const std::function<void(const QString&)>& paymentFilePublished) {
    ExportOutcome outcome;
    QString refusal;
    const std::optional<SepaOptions> sepaOptions = sepaOptionsOf(
        settings.strSEPAVersion, settings.strEchtzeit, settings.strEmpfaengerpruefung, &refusal);
    const std::optional<int> lockWait =
        sepaOptions ? LockWait::secondsOf(settings.strSperrzeit, &refusal) : std::nullopt;
    if (!lockWait) {
        prompter.message(refusal, Prompter::Icon::Critical);
        return outcome;
    }
    if (selectedNames.isEmpty()) {
        prompter.message(QStringLiteral("Sie haben keine Abrechnungen für die Überleitung selektiert!"),
                         Prompter::Icon::Information);
        return outcome;
    }
    if (settings.confirmFirst &&
        !prompter.askYesNo(ExportQuestion::text(selectedNames.size(), settings.listedSumCents,
                                                settings.nodeText,
                                                NodeKey::isDirectDebit(settings.strVer_Type)),
                           QStringLiteral("SEPA"), Prompter::Default::No))
        return outcome;
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
    RunPhase queryPhase("Auswahl und Abfrage");
    std::unique_ptr<HostDb> db = HostDb::open(settings.strConnectionString, &error, *lockWait);
    QSqlQuery query;
    if (!db || !SelectionTable::store(*db, selectedNames, &error) ||
        !SelectionTable::countTransferred(*db, NodeKey::transferKind(settings.strVer_Type), &outcome.skipped,
                                          &error) ||
        !ExportQuery::open(*db, settings, &query, &error)) {
        prompter.message(error + kNothingExported, Prompter::Icon::Critical);
        return outcome;
    }
    if (outcome.skipped > 0) {
        prompter.message(
            QStringLiteral("%1 der ausgewählten Rechnungen wurden inzwischen schon übergeleitet und "
                           "werden nicht noch einmal exportiert.")
                .arg(outcome.skipped),
            Prompter::Icon::Information);
    }

    queryPhase.end();

    BookingList bookings;
    // One booking per selected invoice as a rule: the list is not grown twice its size.
    bookings.reserve(selectedNames.size());
    RunPhase readPhase("Buchungen");
    Buchungsfuellung::Options options;
    options.designationInsteadOfName = settings.strBezeichnungStattNameVorname == QLatin1String("1");
    options.cashDiscount = settings.strSkontoRechnungsKopf == QLatin1String("1");
    if (!Buchungsfuellung::readAll(query, options, bookings, prompter))
        return outcome;
    query.finish();
    readPhase.end();
    if (bookings.isEmpty()) {
        prompter.message(QStringLiteral("Keine Belegadesse für die SEPA Überweisung vorhanden!"),
                         Prompter::Icon::Information);
        return outcome;
    }

    const std::unique_ptr<RunRecord> record = RunRecord::reserve(exportFolder, settings.now, &error);
    if (!record) {
        prompter.message(error, Prompter::Icon::Critical);
        return outcome;
    }
    const QDateTime now = record->stamp();
    const bool directDebit = NodeKey::isDirectDebit(settings.strVer_Type);
    // Bookings the payment file cannot carry leave the run here, so that the
    // CSV file, the payment file, the reports and the posting hold the same.
    RunPhase checkPhase("Prüfung");
    const SepaCheckSummary checks =
        CheckBookings(bookings, directDebit, sepaOptions->version, settings.logFile, now);
    checkPhase.end();
    PendingFile csv, payment;
    if (checks.count == 0) {
        record->finish();
        const QString nothing = QStringLiteral(
            "Keine gültige Buchung für die SEPA Datei vorhanden! Es wurde keine Datei erstellt.");
        if (checks.errors > 0)
            reportLoggedErrors(nothing + QStringLiteral(" Bitte kontrollieren Sie die Log-Datei."), checks,
                               settings.logFile, prompter);
        else
            prompter.message(nothing, Prompter::Icon::Information);
        return outcome;
    }

    // The list needs only the bookings, in none of the fields the sanitizing
    // below changes: batch mode draws it while the files are written, checked
    // and posted.
    const Report beitrag = beitragReport(beitragRows(bookings, settings.firma.Verwendungszweck), now.date());
    prepareBeitrag(beitrag, prompter);
    const DropUnshownReports dropUnshown(prompter);
    if (csvWanted(settings.strCSV)) {
        const RunPhase csvPhase("CSV");
        csv = WriteCSVFile(exportFolder, bookings, settings.firma, now, prompter);
        if (!csv.isStaged()) {
            record->finish();
            prompter.setProgressValue(0);
            return outcome;
        }
    }
    RunPhase paymentPhase("Zahlungsdatei");
    ReplaceSpecialCharsInBookings(bookings);
    // The schema check follows the file from disk as it is written and goes
    // on while the posting runs; the posting commits only on its yes.
    const SchemaCheckTiming behind = SchemaCheckTiming::Behind;
    SepaResult sepa = directDebit ? WriteSEPALastschrift(exportFolder, bookings, settings.firma, now,
                                                         prompter, *sepaOptions, behind)
                                  : WriteSEPAUeberweisung(exportFolder, bookings, settings.firma, now,
                                                          prompter, *sepaOptions, behind);
    payment = sepa.file;
    paymentPhase.end();
    if (!sepa.written) {
        discardRun(*record, csv, payment);
        prompter.setProgressValue(0);
        return outcome;
    }
    record->paymentFile = payment.finalPath;

    Posting::Claim claim;
    int claimedElsewhere = 0;
    QString schemaComplaint;
    RunPhase postingPhase("Buchung");
    const Posting::Result posting =
        Posting::post(*db, bookings, settings.strVer_Type, now.date(), &claim, &claimedElsewhere, &error,
                      [&record, &sepa, &schemaComplaint](const Posting::Claim& c, QString* why) {
                          const RunPhase waiting("Schemaprüfung abwarten");
                          if (!sepa.check->passes(&schemaComplaint)) {
                              *why = schemaComplaint;
                              return false;
                          }
                          record->state = RunRecord::State::Posted;
                          record->claim = c;
                          return record->save(why);
                      });
    postingPhase.end();
    if (posting != Posting::Result::Posted) {
        // The check still reads the file that goes now.
        const bool schemaRefused = !sepa.check->passes(&schemaComplaint);
        discardRun(*record, csv, payment);
        prompter.setProgressValue(0);
        if (schemaRefused) {
            // A file the bank would refuse: nothing was posted.
            prompter.message(schemaComplaint, Prompter::Icon::Critical);
            return outcome;
        }
        if (posting == Posting::Result::ClaimedElsewhere)
            prompter.message(
                QStringLiteral("%1 der Rechnungen wurden inzwischen an einem anderen Arbeitsplatz "
                               "übergeleitet. Es wurde nichts exportiert und nichts gebucht; bitte "
                               "die Liste neu laden und den Export wiederholen.")
                    .arg(claimedElsewhere),
                Prompter::Icon::Critical);
        else
            prompter.message(
                QStringLiteral("Die Rechnungen konnten nicht als übergeleitet gebucht werden:\r%1"
                               "\r\rEs wurde nichts exportiert und nichts gebucht, die Rechnungen "
                               "bleiben offen.")
                    .arg(error),
                Prompter::Icon::Critical);
        if (reloadOpenInvoices)
            reloadOpenInvoices();
        return outcome;
    }

    // Posted: now the files may appear, never over a file that is there.
    RunPhase publishPhase("Veröffentlichen");
    if (!payment.publish()) {
        const QString why = payment.errorString;
        csv.discard();
        const bool takenBack = Posting::takeBack(*db, claim, &error);
        record->finish();
        QStringList names;
        for (const Posting::HeaderBefore& h : claim.before)
            names << h.name;
        prompter.message(
            takenBack ? QStringLiteral("Die Datei %1 konnte nicht angelegt werden: %2\rDie Buchung wurde "
                                       "zurückgenommen; die Rechnungen bleiben offen.")
                            .arg(sepa.path, why)
                      : QStringLiteral(
                            "Die Datei %1 konnte nicht angelegt werden: %2\rDie Buchung konnte nicht "
                            "zurückgenommen werden (%3). Diese Rechnungen sind ohne Datei als übergeleitet "
                            "gebucht und können auf der Seite „Übergeleitet“ freigegeben werden: %4")
                            .arg(sepa.path, why, error, names.join(QStringLiteral(", "))),
            Prompter::Icon::Critical);
        if (reloadOpenInvoices)
            reloadOpenInvoices();
        prompter.setProgressValue(0);
        return outcome;
    }
    outcome.published = outcome.posted = true;
    outcome.paymentFile = payment.finalPath;
    outcome.count = sepa.count;
    outcome.controlSumCents = sepa.controlSumCents;
    outcome.options = sepa.carried;
    // From here on the posting stands: a file that cannot be written is
    // named at the end, and the run counts as posted with files missing.
    if (csv.isStaged()) {
        if (csv.publish())
            outcome.csvFile = csv.finalPath;
        else
            outcome.missing << MissingFile{QStringLiteral("die CSV Datei"), csv.finalPath, csv.errorString};
    }
    record->state = RunRecord::State::Published;
    if (!record->save(&error))
        record->finish(); // nothing is left to complete; only reports could be left half drawn
    if (checks.errors > 0 && checks.logWritten) {
        prompter.message(kErrorsLogged);
        prompter.openFile(settings.logFile);
    } else if (checks.errors > 0) {
        outcome.missing << MissingFile{
            QStringLiteral("das Fehlerprotokoll mit den Rechnungen, die nicht exportiert wurden und offen "
                           "bleiben,"),
            settings.logFile, checks.logError};
    }
    if (paymentFilePublished)
        paymentFilePublished(outcome.paymentFile);
    publishPhase.end();

    RunPhase notePhase("Begleitzettel");
    if (std::optional<MissingFile> missing = PrintBegleitzettel(
            sepa.count, sepa.controlSumCents, 0, 0, settings.firma, now.date(), directDebit, prompter))
        outcome.missing << *missing;
    notePhase.end();
    RunPhase listPhase("Beitrag fertig und gespeichert");
    if (std::optional<MissingFile> missing = PrintBeitrag(beitrag, prompter))
        outcome.missing << *missing;
    listPhase.end();
    record->finish();
    reportMissingFiles(outcome, prompter);
    outcome.leftovers =
        std::make_shared<Leftovers>(Leftovers{std::move(bookings), beitrag, std::move(claim)});

    if (reloadOpenInvoices)
        reloadOpenInvoices();
    prompter.setProgressValue(0);
    return outcome;
}
