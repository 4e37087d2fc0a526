#include "hostdb/HostLookups.h"

#include "TestHostDb.h"

#include <gtest/gtest.h>

namespace {

class HostLookupsTest : public ::testing::Test {
protected:
    void setFlag(int type, const QVariant& value) {
        host.exec(QStringLiteral("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', ?, ?)"),
                  {QStringLiteral("CHKABRECHNUNG%1").arg(type), value});
    }
    TestHostDb host;
};

TEST_F(HostLookupsTest, SettlementFlagIsOnOnlyForOne) {
    setFlag(1, 1);
    setFlag(2, 2);
    setFlag(3, QVariant());
    setFlag(5, 0);
    host.exec(QStringLiteral("INSERT INTO FORMS_CONFIG VALUES ('F_ANDERES', 'CHKABRECHNUNG6', 1)"));
    const struct {
        const char* code;
        const char* flag;
        bool enabled;
    } cases[] = {{"1", "1", true},  {"2", "2", false}, {"3", "0", false},
                 {"4", "0", false}, {"5", "0", false}, {"6", "0", false}};
    for (const auto& c : cases) {
        QString error;
        const QString flag = HostLookups::GetAbrechnungFlag(host.db(), QString::fromLatin1(c.code), &error);
        EXPECT_EQ(flag, QString::fromLatin1(c.flag)) << c.code;
        EXPECT_EQ(HostLookups::isEnabled(flag), c.enabled) << c.code;
        EXPECT_TRUE(error.isEmpty());
    }
}

TEST_F(HostLookupsTest, CodeIsAValueNotStatementText) {
    setFlag(1, 1);
    EXPECT_EQ(HostLookups::GetAbrechnungFlag(host.db(), QStringLiteral("9' OR '1'='1")), "0");
}

TEST_F(HostLookupsTest, StringTextPrefersTheInstallationsOwnText) {
    host.exec(QStringLiteral("INSERT INTO STRINGS VALUES (642, 'Rechnungen', NULL), "
                             "(649, 'Gutschriften', 'Gutschriften an Partner'), (652, NULL, NULL), "
                             "(655, 'Lizenzen', '')"));
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 642), "Rechnungen");
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 649), "Gutschriften an Partner");
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 652), "");
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 655), "");
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 999), "");
}

TEST_F(HostLookupsTest, ARefusedStatementIsReported) {
    host.exec(QStringLiteral("DROP TABLE STRINGS"));
    host.exec(QStringLiteral("DROP TABLE FORMS_CONFIG"));
    QString error;
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 642, &error), "");
    EXPECT_TRUE(error.contains(QStringLiteral("STRINGS"))) << error.toStdString();
    error.clear();
    EXPECT_EQ(HostLookups::GetAbrechnungFlag(host.db(), QStringLiteral("1"), &error), "0");
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
