// The INI reader and the own settings' load and save.
#include "FuzzInput.h"
#include "app/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    FuzzInput in(data, size);
    const QString key = in.text();
    const QByteArray content = in.bytes();
    const QString file = folder.filePath(QStringLiteral("fuzz.ini"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(content) != content.size())
        fuzzFailure(QStringLiteral("cannot write the INI file"));
    out.close();

    const QString value = IniFile::ReadFile(file, key);
    if (value.contains(QLatin1Char('\n')) || value.startsWith(QLatin1Char(' ')) ||
        value.endsWith(QLatin1Char(' ')))
        fuzzFailure(QStringLiteral("value with a line feed or outer blanks"), value.toUtf8());

    // Once saved and read back, settings stay what they are.
    const QString saved = folder.filePath(QStringLiteral("saved.ini"));
    QString error;
    bool lossy = false;
    const OwnSettings first = OwnSettings::load(file);
    if (!first.save(saved, &error, &lossy))
        fuzzFailure(QStringLiteral("save failed: ") + error);
    const OwnSettings second = OwnSettings::load(saved);
    if (!second.save(saved, &error, &lossy))
        fuzzFailure(QStringLiteral("save failed: ") + error);
    if (!lossy && OwnSettings::load(saved).toFileContent() != second.toFileContent())
        fuzzFailure(QStringLiteral("settings change on a second save"), second.toFileContent());
    return 0;
}
