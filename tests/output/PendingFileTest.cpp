#include "output/PendingFile.h"

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

TEST(PendingFile, AFullDiskMidWriteIsNoticedThoughEveryWriteCallSucceeded) {
    TempFolder folder;
    TempFolder::write(folder.file(QStringLiteral("UW_x.xml")), "older file");
    PendingFile file;
    {
        FileSizeLimit limit(16);
        file = stageFile(folder.path() + QLatin1Char('/'), QStringLiteral("UW_x.xml"), QByteArray(4096, 'x'));
    }
    EXPECT_FALSE(file.isStaged());
    EXPECT_FALSE(file.errorString.isEmpty());
    EXPECT_EQ(entries(folder), QStringList{"UW_x.xml"});
    EXPECT_EQ(TempFolder::read(folder.file(QStringLiteral("UW_x.xml"))), "older file");
}

} // namespace
