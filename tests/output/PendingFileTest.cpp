#include "output/PendingFile.h"
#include "output/ErrorLog.h"

#include "FileSizeLimit.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList entries(const TempFolder& folder) {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(PendingFile, AnInterruptedWriteLeavesNothingBehind) {
    TempFolder folder;
    const PendingFile file =
        stageFile(folder.path() + QLatin1Char('/'), QStringLiteral("UW_x.xml"), [](QIODevice& d) {
            d.write("<?xml half");
            return false; // as when the disk fills up in the middle of the document
        });
    EXPECT_FALSE(file.isStaged());
    EXPECT_TRUE(entries(folder).isEmpty());
}

TEST(PendingFile, IsPublishedWholeUnderItsFinalNameButNeverOverAnotherFile) {
    TempFolder folder;
    TempFolder::write(folder.file(QStringLiteral("LS_x.xml")), "older file");
    PendingFile file =
        stageFile(folder.path() + QLatin1Char('/'), QStringLiteral("LS_x.xml"), QByteArray("new"));
    ASSERT_TRUE(file.isStaged());
    EXPECT_EQ(entries(folder), (QStringList{".LS_x.xml.part", "LS_x.xml"}));
    EXPECT_EQ(TempFolder::read(folder.file(QStringLiteral("LS_x.xml"))), "older file");
    // Another run's file of that name is never replaced.
    EXPECT_FALSE(file.publish());
    EXPECT_EQ(entries(folder), QStringList{"LS_x.xml"});
    EXPECT_EQ(TempFolder::read(folder.file(QStringLiteral("LS_x.xml"))), "older file");

    QFile::remove(folder.file(QStringLiteral("LS_x.xml")));
    file = stageFile(folder.path() + QLatin1Char('/'), QStringLiteral("LS_x.xml"), QByteArray("new"));
    ASSERT_TRUE(file.publish());
    EXPECT_EQ(entries(folder), QStringList{"LS_x.xml"});
    EXPECT_EQ(TempFolder::read(folder.file(QStringLiteral("LS_x.xml"))), "new");
    EXPECT_FALSE(file.isStaged());
}

// A disk that fills up mid-write (here a file size limit) at sizes below,
// at and beyond the file's write buffer and in one write far larger: every
// failure keeps the system's reason, and the old file stands.
TEST(PendingFile, AFullDiskMidWriteIsNoticedWithTheSystemsReason) {
    const struct {
        rlim_t limit;
        qsizetype bytes;
    } rows[] = {{16, 4096}, {4000, 4096}, {100, 20000}, {16394, 40000}, {70000, 1 << 20}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.limit);
        TempFolder folder;
        TempFolder::write(folder.file(QStringLiteral("UW_x.xml")), "older file");
        PendingFile file;
        {
            FileSizeLimit limit(row.limit);
            file = stageFile(folder.path() + QLatin1Char('/'), QStringLiteral("UW_x.xml"),
                             QByteArray(row.bytes, 'x'));
        }
        EXPECT_FALSE(file.isStaged());
        EXPECT_EQ(file.errorString, "Die Datei ist zu groß");
        EXPECT_EQ(entries(folder), QStringList{"UW_x.xml"});
        EXPECT_EQ(TempFolder::read(folder.file(QStringLiteral("UW_x.xml"))), "older file");
    }
}

// The log's line goes into the write buffer and out with the flush, which
// the full disk cuts short.
TEST(PendingFile, ALogLineCutShortKeepsTheSystemsReason) {
    TempFolder folder;
    const QString log = folder.file(QStringLiteral("LogDatei.txt"));
    TempFolder::write(log, QByteArray(50, 'x'));
    QString error;
    bool written = true;
    {
        FileSizeLimit limit(60);
        written = WriteLog(log, QString(100, QLatin1Char('y')), QDateTime::currentDateTime(), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "Die Datei ist zu groß");
}

} // namespace
