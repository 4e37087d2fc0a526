#include "hostdb/HostLookups.h"

#include "TestHostDb.h"

#include <gtest/gtest.h>

namespace {

TEST(HostLookups, SettlementFlagIsOnOnlyForOneAndTheCodeIsAValueNotStatementText) {
    TestHostDb host;
    const QString insert = "INSERT INTO FORMS_CONFIG VALUES (?, ?, ?)";
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG1", 1});
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG2", 2});
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG3", QVariant()});
    host.exec(insert, {"F_STAMMEINKONF", "CHKABRECHNUNG5", 0});
    host.exec(insert, {"F_ANDERES", "CHKABRECHNUNG6", 1});
    const struct {
        const char* code;
        const char* flag;
        bool enabled;
    } cases[] = {{"1", "1", true},  {"2", "2", false}, {"3", "0", false},           {"4", "0", false},
                 {"5", "0", false}, {"6", "0", false}, {"9' OR '1'='1", "0", false}};
    for (const auto& c : cases) {
        QString error;
        const QString flag = HostLookups::GetAbrechnungFlag(host.db(), c.code, &error);
        EXPECT_EQ(flag, c.flag) << c.code;
        EXPECT_EQ(HostLookups::isEnabled(flag), c.enabled) << c.code;
        EXPECT_TRUE(error.isEmpty());
    }
}

TEST(HostLookups, StringTextPrefersTheInstallationsOwnTextAndARefusedStatementIsReported) {
    TestHostDb host;
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
