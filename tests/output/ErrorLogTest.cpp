#include "output/ErrorLog.h"
#include "output/ExportPath.h"
#include "output/Windows1252.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(14, 5, 9));

TEST(WriteLog, CreatesTheFileAppendsDatedLinesAndReportsFailures) {
    TempFolder folder;
    const QString log = folder.file(QStringLiteral("LogDatei.txt"));
    ASSERT_TRUE(WriteLog(
        log, QStringLiteral("1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. DE1234"), kNow));
    ASSERT_TRUE(WriteLog(log, QStringLiteral("zweite; mit Semikolon\nund Umbruch"), kNow.addSecs(3600)));

    const QByteArray expected = Windows1252::encode(QStringLiteral(
        "2026.12.05 - 14:05:09;1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. DE1234\r\n"
        "2026.12.05 - 15:05:09;zweite; mit Semikolon\nund Umbruch\r\n"));
    EXPECT_EQ(TempFolder::read(log), expected);

    // A failure is reported instead of hidden.
    QString error;
    EXPECT_FALSE(
        WriteLog(folder.file(QStringLiteral("missing/LogDatei.txt")), QStringLiteral("x"), kNow, &error));
    EXPECT_FALSE(error.isEmpty());
}

// The export folder always ends with a separator, the value's own where it has one.
TEST(GetExportPath, EndsWithTheValuesOwnSeparator) {
    const std::pair<const char*, const char*> rows[] = {{R"(C:\Export)", R"(C:\Export\)"},
                                                        {R"(C:\Export\)", R"(C:\Export\)"},
                                                        {"/srv/sepa", "/srv/sepa/"},
                                                        {"/srv/sepa/", "/srv/sepa/"},
                                                        {"sepa", "sepa/"},
                                                        {"", R"(\)"},
                                                        {"a:", R"(a:\)"},
                                                        {"D:SEPA", R"(D:SEPA\)"}};
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(GetExportPath(QString::fromUtf8(value)), QString::fromUtf8(expected)) << value;
}

TEST(LocalFilePath, WindowsValuesCannotNameAFolderHere) {
    EXPECT_EQ(localFilePath(QStringLiteral(R"(C:\Export\UW_x.xml)")), "C:/Export/UW_x.xml");
    EXPECT_EQ(localFilePath(QStringLiteral("/srv/sepa/UW_x.xml")), "/srv/sepa/UW_x.xml");
}

} // namespace
