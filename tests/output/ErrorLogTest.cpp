#include "output/ErrorLog.h"
#include "output/ExportPath.h"
#include "output/Windows1252.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(WriteLog, CreatesTheFileAppendsDatedLinesAndReportsFailures) {
    const QDateTime now(QDate(2026, 12, 5), QTime(14, 5, 9));
    TempFolder folder;
    const QString log = folder.file("LogDatei.txt");
    ASSERT_TRUE(WriteLog(log, "1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. DE1234", now));
    ASSERT_TRUE(WriteLog(log, "zweite; mit Semikolon\nund Umbruch", now.addSecs(3600)));
    EXPECT_EQ(
        TempFolder::read(log),
        Windows1252::encode("2026.12.05 - 14:05:09;1007 MUELLER HANS IBAN hat nicht die erforderliche Länge. "
                            "DE1234\r\n2026.12.05 - 15:05:09;zweite; mit Semikolon\nund Umbruch\r\n"));
    // A failure is reported instead of hidden.
    QString error;
    EXPECT_FALSE(WriteLog(folder.file("missing/LogDatei.txt"), "x", now, &error));
    EXPECT_FALSE(error.isEmpty());
}

// The export folder always ends with a separator, the value's own where it
// has one; a Windows value cannot name a folder here.
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
    EXPECT_EQ(localFilePath(R"(C:\Export\UW_x.xml)"), "C:/Export/UW_x.xml");
    EXPECT_EQ(localFilePath("/srv/sepa/UW_x.xml"), "/srv/sepa/UW_x.xml");
}

} // namespace
