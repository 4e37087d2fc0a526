#include "hostdb/HostLookups.h"

#include "TestHostDb.h"

#include <gtest/gtest.h>

namespace {

// The flag is on only for 1 and the code is a value, never statement text;
// the installation's own text wins, even an empty one; a refused statement is reported.
TEST(HostLookups, SettlementFlagsAndStringTexts) {
    TestHostDb host;
    const QString insert = "INSERT INTO FORMS_CONFIG VALUES (?, ?, ?)";
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG1", 1});
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG2", 2});
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG3", QVariant()});
    host.exec(insert, {"F_ANDERES", "CHKABRECHNUNG6", 1});
    const std::pair<const char*, const char*> flags[] = {{"1", "1"}, {"2", "2"}, {"3", "0"},
                                                         {"4", "0"}, {"6", "0"}, {"9' OR '1'='1", "0"}};
    for (const auto& [code, flag] : flags) {
        QString error;
        EXPECT_EQ(HostLookups::GetAbrechnungFlag(host.db(), code, &error), flag) << code;
        EXPECT_EQ(HostLookups::isEnabled(flag), QLatin1String(code) == QLatin1String("1")) << code;
        EXPECT_TRUE(error.isEmpty());
    }
    host.exec("INSERT INTO STRINGS VALUES (642, 'Rechnungen', NULL), (649, 'Gutschriften', 'Gutschriften an "
              "Partner'), (652, NULL, NULL), (655, 'Lizenzen', '')");
    const std::pair<int, const char*> texts[] = {
        {642, "Rechnungen"}, {649, "Gutschriften an Partner"}, {652, ""}, {655, ""}, {999, ""}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(HostLookups::GetStringText(host.db(), id), text) << id;

    host.exec("DROP TABLE STRINGS");
    host.exec("DROP TABLE FORMS_CONFIG");
    QString error;
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 642, &error), "");
    EXPECT_TRUE(error.contains("STRINGS")) << error.toStdString();
    error.clear();
    EXPECT_EQ(HostLookups::GetAbrechnungFlag(host.db(), "1", &error), "0");
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
