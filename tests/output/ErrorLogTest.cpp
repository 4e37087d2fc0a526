#include "output/ErrorLog.h"
#include "output/ExportPath.h"
#include "output/Windows1252.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(14, 5, 9));

TEST(WriteLog, CreatesTheFileThenAppendsDatedLines) {
    TempFolder folder;
    const QString log = folder.file(QStringLiteral("LogDatei.txt"));
    ASSERT_TRUE(WriteLog(
        log, QStringLiteral("1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. DE1234"), kNow));
    ASSERT_TRUE(WriteLog(log, QStringLiteral("zweite; mit Semikolon\nund Umbruch"), kNow.addSecs(3600)));

    const QByteArray expected = Windows1252::encode(QStringLiteral(
        "2026.12.05 - 14:05:09;1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. DE1234\r\n"
        "2026.12.05 - 15:05:09;zweite; mit Semikolon\nund Umbruch\r\n"));
    EXPECT_EQ(TempFolder::read(log), expected);
}

TEST(WriteLog, ReportsAFailureInsteadOfHidingIt) {
    TempFolder folder;
    QString error;
    EXPECT_FALSE(
        WriteLog(folder.file(QStringLiteral("missing/LogDatei.txt")), QStringLiteral("x"), kNow, &error));
    EXPECT_FALSE(error.isEmpty());
}

struct Folder {
    const char* name;
    const char* value;
    const char* expected;
};

void PrintTo(const Folder& row, std::ostream* os) {
    *os << row.name;
}

class GetExportPathTest : public testing::TestWithParam<Folder> {};
TEST_P(GetExportPathTest, EndsWithTheValuesOwnSeparator) {
    EXPECT_EQ(GetExportPath(QString::fromUtf8(GetParam().value)), QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, GetExportPathTest,
                         testing::Values(Folder{"Windows", R"(C:\Export)", R"(C:\Export\)"},
                                         Folder{"WindowsKept", R"(C:\Export\)", R"(C:\Export\)"},
                                         Folder{"Unix", "/srv/sepa", "/srv/sepa/"},
                                         Folder{"UnixKept", "/srv/sepa/", "/srv/sepa/"},
                                         Folder{"BareName", "sepa", "sepa/"}, Folder{"Empty", "", R"(\)"},
                                         Folder{"DiskDrive", "a:", R"(a:\)"},
                                         Folder{"DriveRelative", "D:SEPA", R"(D:SEPA\)"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LocalFilePath, WindowsValuesCannotNameAFolderHere) {
    EXPECT_EQ(localFilePath(QStringLiteral(R"(C:\Export\UW_x.xml)")), "C:/Export/UW_x.xml");
    EXPECT_EQ(localFilePath(QStringLiteral("/srv/sepa/UW_x.xml")), "/srv/sepa/UW_x.xml");
}

} // namespace
