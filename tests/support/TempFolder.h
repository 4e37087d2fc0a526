#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/brv32-test-XXXXXX")) {}
    QString path() const { return m_dir.path(); }
    // path + "/" + name
    QString file(const QString& name) const { return m_dir.filePath(name); }

    static QByteArray read(const QString& path);
    static void write(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
};
