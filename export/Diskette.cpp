#include "export/Diskette.h"

#include <QDir>
#include <QFile>

namespace {

QString root() {
#ifdef Q_OS_WIN
    return QStringLiteral("A:/");
#else
    return {};
#endif
}

} // namespace

namespace Diskette {

bool holds(const QString& strExportPfad) {
    return strExportPfad.left(3).toUpper() == QLatin1String("A:\\");
}

bool writeTest() {
    if (root().isEmpty() || !QDir(root()).exists())
        return false;
    QFile test(root() + QStringLiteral("Test.txt"));
    if (!test.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    test.close();
    test.setPermissions(test.permissions() | QFileDevice::WriteOwner);
    return test.remove();
}

void wipe() {
    if (root().isEmpty())
        return;
    QDir disk(root());
    const auto all = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& folder : disk.entryList(QDir::Dirs | all)) {
        QDir(disk.filePath(folder)).removeRecursively();
    }
    for (const QString& file : disk.entryList(QDir::Files | all)) {
        QFile f(disk.filePath(file));
        f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
        f.remove();
    }
}

} // namespace Diskette
