// Times a whole export run on a demo host database with 100,000 open
// invoices per type: 100,000 credit transfers (A3) and 100,000 direct debits
// (R0), from the list load through the CSV and SEPA files to the posting.
// Each key runs twice on a fresh copy of the database: once with both
// reports drawn into PDF files as batch mode does, once without them.

#include "bench/BenchSupport.h"
#include "export/ExportRun.h"
#include "hostdb/DemoDatabase.h"
#include "hostdb/HostDb.h"
#include "output/ReportEngine.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Answers like batch mode without --yes and draws each report into a PDF
// file when asked to, timing it.
class BenchPrompter : public SilentPrompter {
public:
    BenchPrompter(bool drawReports, const QString& folder)
        : SilentPrompter(false), m_drawReports(drawReports), m_folder(folder) {}

    double reportMs = 0;

    std::optional<MissingFile> showReport(const QString& reportName, const Report& report) override {
        if (!m_drawReports)
            return std::nullopt;
        QElapsedTimer timer;
        timer.start();
        {
            QFile pdf(m_folder + QLatin1Char('/') + reportName + QStringLiteral(".pdf"));
            if (!pdf.open(QIODevice::WriteOnly) || !writeReportPdf(pdf, *report, reportName))
                std::fprintf(stderr, "%s not written\n", qPrintable(reportName));
        }
        reportMs += ms(timer);
        std::printf("    report %-13s %6.0f ms\n", qPrintable(reportName), ms(timer));
        return std::nullopt;
    }

private:
    bool m_drawReports;
    QString m_folder;
};

Firmendaten company() {
    Firmendaten f;
    f.FirmenName = QStringLiteral("Musterhandel Süd GmbH");
    f.Bank = QStringLiteral("Stadtsparkasse München");
    f.Bankleitzahl = QStringLiteral("SSKMDEMMXXX");
    f.Kontonummer = QStringLiteral("DE26 7016 0000 0000 5555 55");
    f.GlaubigerID = QStringLiteral("DE98ZZZ09999999999");
    f.Verwendungszweck = QStringLiteral("Bench");
    return f;
}

bool runCase(const QString& master, const QString& folder, const QString& key, bool drawReports) {
    const QString caseFolder = folder + QStringLiteral("/%1-%2").arg(key, drawReports ? "reports" : "plain");
    QDir().mkpath(caseFolder);
    const QString file = caseFolder + QStringLiteral("/host.db");
    if (!QFile::copy(master, file))
        return false;
    const QString connection = QStringLiteral("Provider=SQLite;Data Source=") + file;
    std::printf("%s, %s:\n", qPrintable(key), drawReports ? "with reports" : "without reports");
    resetPeakRss();
    QElapsedTimer total;
    total.start();

    QString error;
    const auto SQLConn = HostDb::open(connection, &error);
    if (!SQLConn) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    BenchPrompter prompter(drawReports, caseFolder);
    ListInput input;
    input.dtpVon = QDate(2026, 3, 1);
    input.dtpBis = QDate(2026, 3, 28);
    QString strVer_Type = key;
    InvoiceListModel list;
    QElapsedTimer timer;
    timer.start();
    GetData(*SQLConn, strVer_Type, input, list, prompter);
    QStringList names;
    names.reserve(list.rowCount());
    for (int row = 0; row < list.rowCount(); ++row)
        names << list.invoiceName(row);
    std::printf("    open list       %6.0f ms (%lld invoices)\n", ms(timer), qlonglong(names.size()));

    ExportSettings settings;
    settings.strConnectionString = connection;
    settings.strVer_Type = strVer_Type;
    settings.strExportPfad = caseFolder + QLatin1Char('/');
    settings.firma = company();
    settings.strCSV = QStringLiteral("1");
    settings.logFile = caseFolder + QStringLiteral("/LogDatei.txt");
    settings.now = QDateTime(QDate(2026, 3, 28), QTime(12, 0, 0));
    timer.restart();
    const ExportOutcome outcome = ExportSEPA(settings, names, prompter, {});
    const double exportMs = ms(timer);
    std::printf("    ExportSEPA      %6.0f ms (%6.0f ms without the reports), posted: %s\n", exportMs,
                exportMs - prompter.reportMs, outcome.posted ? "yes" : "NO");
    std::printf("    total           %6.0f ms, peak RSS %.0f MB\n", ms(total), peakRssMb());
    return outcome.posted;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    const QString master = folder.filePath(QStringLiteral("master.db"));
    DemoDatabase::Options options;
    if (!writeBenchDatabase(master, &options))
        return 1;

    bool ok = true;
    for (const char* key : {"A3", "R0"}) {
        for (bool drawReports : {false, true})
            ok = runCase(master, folder.path(), QString::fromLatin1(key), drawReports) && ok;
    }
    return ok ? 0 : 1;
}
