#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() : m_dir(QDir::tempPath() + "/brv32-test-XXXXXX") {}
    QString path() const { return m_dir.path(); }
    // path + "/" + name
    QString file(const QString& name) const { return m_dir.filePath(name); }

    static QByteArray read(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

private:
    QTemporaryDir m_dir;
};
