// Loads the open-invoice list in the real window and reports how long the
// click on a tree node takes until the list is painted; optionally saves a
// picture of the window after each step.
//
//   bench_window DB [NODE] [PROGRAM_DIR] [PNG_PREFIX]
//
// DB is an SQLite host database (brv32-sepa --make-demo-db), NODE a tree key
// (default A3), PROGRAM_DIR the folder with the own INI file.

#include "app/MainWindow.h"
#include "bench/BenchSupport.h"
#include "selection/InvoiceListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DB [NODE] [PROGRAM_DIR] [PNG_PREFIX]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QString node = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("A3");
    QTemporaryDir scratch;
    const QString programDir = argc > 3 ? QString::fromLocal8Bit(argv[3]) : scratch.path();
    const QString pngPrefix = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();

    MainWindow w(ProgramPaths{programDir});
    if (w.Form_Load(QStringLiteral("Provider=SQLite;Data Source=") + QString::fromLocal8Bit(argv[1])) !=
        MainWindow::StartResult::Ready)
        return 1;
    w.show();
    QApplication::processEvents();
    if (!pngPrefix.isEmpty())
        w.grab().save(pngPrefix + QStringLiteral("-start.png"));

    QElapsedTimer timer;
    timer.start();
    w.chooseNode(node);
    w.lvAbrechnungen->viewport()->repaint();
    QApplication::processEvents();
    const qint64 loadMs = timer.elapsed();
    QTextStream(stdout) << "Liste " << node << ": " << w.openInvoices().rowCount() << " Zeilen in " << loadMs
                        << " ms angezeigt, Spitze " << int(peakRssMb()) << " MB" << Qt::endl;
    if (!pngPrefix.isEmpty()) {
        w.lvAbrechnungen->selectRow(2);
        w.grab().save(pngPrefix + QStringLiteral("-list.png"));
        w.SSTab1->setCurrentIndex(1);
        w.Refresh();
        QApplication::processEvents();
        w.grab().save(pngPrefix + QStringLiteral("-overview.png"));
    }
    return 0;
}
