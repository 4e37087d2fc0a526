#include "output/ErrorLog.h"
#include "output/ExportPath.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

// The lines as the writers log them are read back by their tests.
TEST(WriteLog, ReportsAFailureInsteadOfHidingIt) {
    TempFolder folder;
    QString error;
    EXPECT_FALSE(WriteLog(folder.file("missing/LogDatei.txt"), "x", QDateTime::currentDateTime(), &error));
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
