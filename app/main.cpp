#include "app/BatchExport.h"
#include "app/CheckDb.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "export/RunPhase.h"
#include "hostdb/DemoDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

// The sanitizer build tears everything down, so that its leak check covers
// the batch run as well.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRV32_SEPA_LEAK_CHECKED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(BRV32_SEPA_LEAK_CHECKED)
constexpr bool kLeakChecked = true;
#else
constexpr bool kLeakChecked = false;
#endif

int makeDemoDb(const CommandLine& cl) {
    QElapsedTimer timer;
    timer.start();
    DemoDatabase::Options options;
    options.invoicesPerType = cl.invoices;
    QString error;
    if (!DemoDatabase::write(cl.demoFile, options, &error)) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << QStringLiteral("Demo-Datenbank %1 geschrieben (%2 offene Belege je Art, %3 s).")
                               .arg(cl.demoFile)
                               .arg(cl.invoices)
                               .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                        << Qt::endl;
    return 0;
}

int runWindow(const CommandLine& cl) {
    MainWindow frmMain(ProgramPaths::resolve(cl.programDir));
    switch (frmMain.Form_Load(cl.argument)) {
    case MainWindow::StartResult::SecondCopy:
        return 0;
    case MainWindow::StartResult::Failed:
        return 1;
    case MainWindow::StartResult::Ready:
        break;
    }
    frmMain.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    CommandLine cl;
    QString error;
    if (!CommandLine::parse(args, &cl, &error)) {
        QTextStream(stderr) << error << Qt::endl << CommandLine::usage();
        return 2;
    }
    if (cl.mode == CommandLine::Mode::Help) {
        QTextStream(stdout) << CommandLine::usage();
        return 0;
    }
    if (cl.mode == CommandLine::Mode::Version) {
        QTextStream(stdout) << MainWindow::versionText() << Qt::endl;
        return 0;
    }
    if (cl.mode == CommandLine::Mode::Export) {
        // Reports are drawn without a screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_UNIX
        // Outside a desktop session there is no runtime folder, and Qt would
        // say so on standard error, which carries only the run's own messages.
        // A private one for this run is what Qt falls back to, unannounced.
        std::optional<QTemporaryDir> runtimeDir;
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.emplace().isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
#endif
        QGuiApplication app(argc, argv);
        std::shared_ptr<const void> leftovers;
        const int status = runBatchExport(cl, &leftovers);
        RunPhase::sinceProgramStart("Gesamt");
        // Every file of the run is written, synced and closed, and its
        // messages and file names went out with a flush. What it still holds
        // in memory goes with the process: freeing 100,000 bookings and
        // tearing Qt down would only delay the exit by a fifth of a second.
        std::fflush(stdout);
        std::fflush(stderr);
#ifdef Q_OS_UNIX
        runtimeDir.reset();
#endif
        if (!kLeakChecked)
            std::_Exit(status);
        return status;
    }
    if (cl.mode == CommandLine::Mode::CheckDb) {
        QCoreApplication app(argc, argv);
        return runCheckDb(cl);
    }
    if (cl.mode == CommandLine::Mode::MakeDemoDb) {
        QCoreApplication app(argc, argv);
        return makeDemoDb(cl);
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);
    return runWindow(cl);
}
