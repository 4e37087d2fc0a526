// Times the invoice lists on a demo host database with 100,000 open invoices
// of one settlement type: GetData into the model, sorting every column both
// ways, and the overview after all of them were marked as transferred.

#include "bench/BenchSupport.h"
#include "hostdb/DemoDatabase.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostSchema.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bench.db"));
    DemoDatabase::Options options;
    if (!writeBenchDatabase(file, &options))
        return 1;
    QString error;
    QElapsedTimer timer;

    const auto db = HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + file, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    resetPeakRss();
    const double baseline = peakRssMb();

    SilentPrompter prompter(false);
    ListInput input;
    input.strCheckBox = QLatin1String(HostSchema::kFlagGutschrift);
    input.txtDatumFaelligkeit = QLatin1String(HostSchema::kDueDateColumn);
    input.dtpVon = QDate(2026, 3, 1);
    input.dtpBis = options.today;
    InvoiceListModel list;
    QString nodeKey = QStringLiteral("A3");

    // Sorted by date at first, so the first sort on a text column below pays
    // for the German collation keys.
    list.sort(1, Qt::AscendingOrder);
    for (int round = 1; round <= 2; ++round) {
        timer.restart();
        GetData(*db, nodeKey, input, list, prompter);
        std::printf("GetData A3, round %d: %d rows in %.0f ms\n", round, list.rowCount(), ms(timer));
    }
    for (int column = 0; column < list.columnCount(); ++column) {
        for (Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
            timer.restart();
            list.sort(column, order);
            std::printf("sort %-12s %-4s: %.1f ms\n", qPrintable(list.column(column).caption),
                        order == Qt::AscendingOrder ? "asc" : "desc", ms(timer));
        }
    }
    timer.restart();
    GetData(*db, nodeKey, input, list, prompter);
    std::printf("GetData with the sort on \"Fällig\" re-applied: %.0f ms\n", ms(timer));

    // Mark every open A3 invoice as transferred for a full overview.
    if (!db->execute(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) SELECT 7, R_NAME, 3, "
                                    "'2026-03-28 00:00:00' FROM RECHNUNGSJOURNAL WHERE VER_TYPE = 'A3'"),
                     {}, &error) ||
        !db->execute(QStringLiteral("UPDATE HEADERRECH SET ZAHL_BETRAG = 10.5, ZAHLDATUM = '2026-03-28' "
                                    "WHERE VER_TYPE = 'A3'"),
                     {}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    InvoiceListModel overview;
    timer.restart();
    GetDataUebersicht(*db, nodeKey, input, overview, prompter);
    std::printf("GetDataUebersicht A3: %d rows in %.0f ms\n", overview.rowCount(), ms(timer));
    timer.restart();
    overview.sort(4, Qt::DescendingOrder);
    std::printf("sort Überleitungsdatum desc: %.1f ms\n", ms(timer));

    std::printf("peak RSS: %.0f MB (%.0f MB before the first load)\n", peakRssMb(), baseline);
    return 0;
}
