#include "hostdb/HostLookups.h"

#include "TestHostDb.h"

#include <gtest/gtest.h>

namespace {

// The tree's nodes show the common flags and texts. Here: the code is a
// value, never statement text; another form's flag does not count; the
// installation's own text wins even when it is empty; a refused statement is
// reported (the flags' by the tree).
TEST(HostLookups, SettlementFlagsAndStringTexts) {
    TestHostDb host;
    host.exec("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', 'CHKABRECHNUNG1', 1), "
              "('F_ANDERES', 'CHKABRECHNUNG6', 1)");
    for (const char* code : {"6", "9' OR '1'='1"}) {
        QString error;
        EXPECT_EQ(HostLookups::GetAbrechnungFlag(host.db(), code, &error), "0") << code;
        EXPECT_TRUE(error.isEmpty());
    }
    host.exec("INSERT INTO STRINGS VALUES (655, 'Lizenzen', '')");
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 655), "");

    host.exec("DROP TABLE STRINGS");
    QString error;
    EXPECT_EQ(HostLookups::GetStringText(host.db(), 642, &error), "");
    EXPECT_TRUE(error.contains("STRINGS")) << error.toStdString();
}

} // namespace
