#include "SelectionFixture.h"

#include "selection/PlausibilityCheck.h"

namespace {

class PlausibilityCheck : public SelectionTest {
protected:
    void check(const QString& key = QStringLiteral("A3")) {
        CheckInvoices(host.db(), key, input.dtpVon, input.dtpBis, prompter);
    }
    void addOtherCustomerHeader(const QString& name, const QString& type, const QString& date) {
        invoice(name, type, 10.0, date);
        host.exec(QStringLiteral("UPDATE HEADERRECH SET KUNDE_ID = 101 WHERE R_NAME = ?"), {name});
    }
};

TEST_P(PlausibilityCheck, NamesInvoicesWithoutPriceThenThoseOfAnotherCustomer) {
    invoice(QStringLiteral("GU-OK"));
    addOtherCustomerHeader(QStringLiteral("GU-6"), QStringLiteral("A3"), QStringLiteral("2026-02-28"));
    addOtherCustomerHeader(QStringLiteral("PA-1"), QStringLiteral("A1"), QStringLiteral("2026-03-05"));
    check();
    EXPECT_TRUE(prompter.messages.isEmpty()) << "a clean range shows nothing";

    invoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QVariant(), QStringLiteral("2026-03-07"));
    invoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 0.0);
    invoice(QStringLiteral("GU-3"), QStringLiteral("A3"), -1.0);
    invoice(QStringLiteral("GU-4"), QStringLiteral("A3"), 0.0, QStringLiteral("2026-04-01"));
    invoice(QStringLiteral("GU-5"), QStringLiteral("A3"), 0.0);
    addMark(QStringLiteral("GU-5"), 3);
    addOtherCustomerHeader(QStringLiteral("GU-O'1"), QStringLiteral("A3"), QStringLiteral("2026-03-09"));
    check();
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].title, "Keine Preise");
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Folgende Rechnungen wurden noch nie gedruckt und können daher nicht für SEPA "
                             "verwendet werden: \r\n\r\n"
                             "Abrechnung:  GU-1     A-Datum:  05.03.2026\r\n"
                             "Abrechnung:  GU-2     A-Datum:  07.03.2026\r\n"));
    EXPECT_EQ(prompter.messages[1].title, "Keine Kundeninformation");
    EXPECT_EQ(
        prompter.messages[1].text,
        QStringLiteral("Folgende Rechnungen wurden nicht korrekt gedruckt und können daher nicht für SEPA "
                       "verwendet werden: \r\n\r\n"
                       "Abrechnung:  GU-O'1     A-Datum:  09.03.2026\r\n"));
    for (const auto& message : prompter.messages)
        EXPECT_EQ(message.icon, Prompter::Icon::Information);
}

TEST_P(PlausibilityCheck, OnlyMarksOfTheNodesKindCountAsTransferred) {
    invoice(QStringLiteral("RE-2"), QStringLiteral("R"), 0.0);
    addOtherCustomerHeader(QStringLiteral("RE-1"), QStringLiteral("R"), QStringLiteral("2026-03-02"));
    addOtherCustomerHeader(QStringLiteral("RE-3"), QStringLiteral("R"), QStringLiteral("2026-03-04"));
    addMark(QStringLiteral("RE-3"), 0);
    addOtherCustomerHeader(QStringLiteral("RE-4"), QStringLiteral("R"), QStringLiteral("2026-03-04"));
    addMark(QStringLiteral("RE-4"), 2); // another kind: still open for direct debit
    // NULL in SUBTEXT would make every NOT IN unknown.
    host.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, NULL, 0)"));

    check(QStringLiteral("R0"));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_TRUE(prompter.messages[0].text.endsWith("\r\n\r\nAbrechnung:  RE-2     A-Datum:  05.03.2026\r\n"));
    EXPECT_TRUE(prompter.messages[1].text.endsWith("\r\n\r\nAbrechnung:  RE-1     A-Datum:  02.03.2026\r\n"
                                                   "Abrechnung:  RE-4     A-Datum:  04.03.2026\r\n"));
}

TEST_P(PlausibilityCheck, ARefusedStatementIsReportedNotFatal) {
    host.exec(QStringLiteral("DROP TABLE COMM"));
    check();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler bei der Prüfung der Belege!\r")));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
}

INSTANTIATE_TEST_SUITE_P(Drivers, PlausibilityCheck, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
