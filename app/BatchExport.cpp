#include "app/BatchExport.h"

#include "app/BatchPrompter.h"
#include "app/CommandLine.h"
#include "app/IniFile.h"
#include "app/Startup.h"
#include "base/NodeKey.h"
#include "export/ExportRun.h"
#include "export/RunPhase.h"
#include "export/RunRecovery.h"
#include "hostdb/HostDb.h"
#include "hostdb/LockWait.h"
#include "output/SepaOptions.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/InvoiceTree.h"
#include "selection/PlausibilityCheck.h"

#include <QTextStream>

#include <future>
#include <vector>

namespace {

constexpr int kExported = 0;
constexpr int kNoPaymentFile = 1;
constexpr int kRefused = 2;
constexpr int kReportMissing = 3;

int stop(const QString& text, int exitCode) {
    QTextStream(stderr) << "[" << Prompter::applicationTitle()
                        << "] Fehler: " << Prompter::withLineFeeds(text) << Qt::endl;
    return exitCode;
}

int refuse(const QString& text) {
    return stop(text, kRefused);
}

// A database another program holds is no fault of the settings: the run
// failed. Anything else the database refuses at the start refuses the run.
int refuseOrFail(const HostDb& db, const QString& error) {
    return db.lockTimedOut() ? stop(error + kNothingExported, kNoPaymentFile) : refuse(error);
}

// A column named in a setting that its table lacks makes the settings
// unusable; the window would only find out when the list is loaded.
bool columnsKnown(const HostDb& db, const OwnSettings& settings, const QString& key, QString* error) {
    QString quoted;
    return db.settingColumn(
               QStringLiteral("PERSONAL_FREE"),
               InvoiceTree::flagColumnFor(key, settings.CheckBoxLastschrift, settings.CheckBoxGutschrift),
               NodeKey::flagSetting(key), &quoted, error) &&
           db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.DatumFaelligkeit, kDueDateSetting,
                            &quoted, error) &&
           db.settingColumn(QStringLiteral("HEADERRECH"), settings.firma.ExterneBelegnummer,
                            kExternalNumberSetting, &quoted, error);
}

// Keeps the messages of a check that runs off the main thread, so that
// they reach the user later in the order they were given.
class HeldMessages : public QuietPrompter {
public:
    void message(const QString& text, Icon icon, const QString& title) override {
        m_messages.push_back({text, icon, title});
    }
    void giveTo(Prompter& prompter) const {
        for (const Held& m : m_messages)
            prompter.message(m.text, m.icon, m.title);
    }

private:
    struct Held {
        QString text;
        Icon icon;
        QString title;
    };
    std::vector<Held> m_messages;
};

// The plausibility check needs nothing of the list: it runs on a connection
// of its own while the list loads.
std::future<HeldMessages> checkInvoicesMeanwhile(const QString& connectionString, int lockWaitSeconds,
                                                 const QString& strVer_Type, const QDate& from,
                                                 const QDate& to) {
    return std::async(std::launch::async, [=] {
        HeldMessages held;
        QString error;
        const std::unique_ptr<HostDb> db = HostDb::open(connectionString, &error, lockWaitSeconds);
        if (db)
            CheckInvoices(*db, strVer_Type, from, to, held);
        else
            held.message(QStringLiteral("Fehler bei der Prüfung der Belege!\r") + error,
                         Prompter::Icon::Critical, {});
        return held;
    });
}

bool isEnabledNode(const InvoiceTree::Tree& tree, const QString& key) {
    if (key == QLatin1String("R0"))
        return true;
    for (const InvoiceTree::TreeNode& node : tree.nodes) {
        if (node.key == key && node.parentKey == QLatin1String("A"))
            return true;
    }
    return false;
}

QString nodeText(const InvoiceTree::Tree& tree, const QString& key) {
    for (const InvoiceTree::TreeNode& node : tree.nodes) {
        if (node.key == key)
            return node.text;
    }
    return key;
}

} // namespace

int runBatchExport(const CommandLine& cl, std::shared_ptr<const void>* leftovers) {
    const ProgramPaths paths = ProgramPaths::resolve(cl.programDir);
    const HostLocation host = HostLocation::fromArgument(cl.argument, paths);
    // A setting the run cannot follow refuses it before anything is read or written.
    const OwnSettings settings = OwnSettings::load(paths.ownIni());
    QString refusal;
    std::optional<int> lockWait;
    if (!sepaOptionsOf(settings.SEPAVersion, settings.Echtzeit, settings.Empfaengerpruefung, &refusal) ||
        !(lockWait = LockWait::secondsOf(settings.Sperrzeit, &refusal)))
        return refuse(refusal);
    QString error;
    std::unique_ptr<HostDb> SQLConn = HostDb::open(host.strConnectionString, &error, *lockWait);
    if (!SQLConn)
        return refuse(error);
    RunPhase::sinceProgramStart("Start");
    RunPhase startUp("Baum und Aufräumen");
    const InvoiceTree::Tree tree = InvoiceTree::LoadTreeView(*SQLConn);
    if (!tree.error.isEmpty())
        return refuseOrFail(*SQLConn, tree.error);
    if (!tidyTransferMarksAtStart(*SQLConn, &error))
        return refuseOrFail(*SQLConn, error);
    BatchPrompter prompter(cl.yes);
    recoverInterruptedRuns(*SQLConn, settings.ExportPfad, prompter);
    startUp.end();

    if (!isEnabledNode(tree, cl.exportKey))
        return refuse(
            QStringLiteral("„%1“ ist keine Belegart, die exportiert werden kann. Erlaubt sind R0 und die "
                           "freigeschalteten Abrechnungsarten A1 bis A8.")
                .arg(cl.exportKey));
    if (cl.dueDate && settings.firma.DatumFaelligkeit.isEmpty())
        return refuse(QStringLiteral("--due-date geht nur mit der Einstellung „DatumFaelligkeit“ (Spalte des "
                                     "Fälligkeitsdatums)."));

    if (!columnsKnown(*SQLConn, settings, cl.exportKey, &error))
        return refuseOrFail(*SQLConn, error);

    if (!checkCreditorPanel(settings.firma, prompter))
        return kRefused;

    const DateRange range = DateRange::defaultFor(QDate::currentDate());
    QString strVer_Type = cl.exportKey;
    ListInput input;
    input.strCheckBox =
        InvoiceTree::flagColumnFor(strVer_Type, settings.CheckBoxLastschrift, settings.CheckBoxGutschrift);
    input.txtDatumFaelligkeit = settings.firma.DatumFaelligkeit;
    input.optFaelligkeit = cl.dueDate;
    input.dtpVon = cl.from.isValid() ? cl.from : range.from;
    input.dtpBis = cl.to.isValid() ? cl.to : range.to;
    input.strKeineArtikelrechnung = settings.KEINEARTIKELRECHNUNG;

    std::future<HeldMessages> plausibility = checkInvoicesMeanwhile(
        host.strConnectionString, *lockWait, NodeKey::normalised(strVer_Type), input.dtpVon, input.dtpBis);
    QStringList names;
    qint64 listedSumCents = 0;
    {
        // Only the names are needed from here on; the rest of the list goes.
        InvoiceListModel list;
        RunPhase listPhase("Liste");
        if (GetData(*SQLConn, strVer_Type, input, list, prompter)) {
            prompter.message(QStringLiteral("Keine Daten für die ausgewählten Eingrenzungen vorhanden!"),
                             Prompter::Icon::Information);
            return kNoPaymentFile;
        }
        if (list.rowCount() == 0)
            return kNoPaymentFile; // the load failed and said why
        names.reserve(list.rowCount());
        for (int row = 0; row < list.rowCount(); ++row) {
            names << list.invoiceName(row);
            listedSumCents += list.amountCents(row);
        }
    }
    {
        const RunPhase waiting("Plausibilität");
        plausibility.get().giveTo(prompter);
    }

    ExportSettings run;
    run.strConnectionString = host.strConnectionString;
    run.strVer_Type = strVer_Type;
    run.strCheckBox = input.strCheckBox;
    run.strExportPfad = settings.ExportPfad;
    run.firma = settings.firma;
    run.sortByCustomer = cl.sortByCustomer;
    run.strCSV = settings.CSV;
    run.strBezeichnungStattNameVorname = settings.BezeichnungStattNameVorname;
    run.strSkontoRechnungsKopf = settings.SKONTO_RECHNUNGS_KOPF;
    run.strSEPAVersion = settings.SEPAVersion;
    run.strEchtzeit = settings.Echtzeit;
    run.strEmpfaengerpruefung = settings.Empfaengerpruefung;
    run.strSperrzeit = settings.Sperrzeit;
    run.logFile = paths.logFile();
    run.now = QDateTime::currentDateTime();
    // With --yes the question before the money moves is asked and answered
    // like the others; without it batch mode neither asks nor stops.
    run.confirmFirst = cl.yes;
    run.nodeText = nodeText(tree, cl.exportKey);
    run.listedSumCents = listedSumCents;

    const ExportOutcome outcome = ExportSEPA(
        run, names, prompter, {}, [&prompter](const QString& path) { prompter.setPaymentFile(path); });
    if (!outcome.posted)
        return kNoPaymentFile;
    QTextStream out(stdout);
    out << outcome.paymentFile << Qt::endl;
    if (!outcome.csvFile.isEmpty())
        out << outcome.csvFile << Qt::endl;
    for (const QString& pdf : prompter.reportFiles())
        out << pdf << Qt::endl;
    if (leftovers)
        *leftovers = outcome.leftovers;
    return outcome.missing.isEmpty() ? kExported : kReportMissing;
}
