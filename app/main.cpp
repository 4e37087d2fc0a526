#include "app/CommandLine.h"
#include "hostdb/DemoDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

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
    if (cl.mode == CommandLine::Mode::MakeDemoDb) {
        QCoreApplication app(argc, argv);
        return makeDemoDb(cl);
    }
    QApplication app(argc, argv);
    return 0;
}
