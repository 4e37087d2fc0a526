#include "SelectionFixture.h"

#include "selection/PlausibilityCheck.h"

namespace {

class PlausibilityCheck : public SelectionTest {
protected:
    void check(const QString& key = "A3") {
        CheckInvoices(host.db(), key, input.dtpVon, input.dtpBis, prompter);
    }
};

TEST_P(PlausibilityCheck, NamesInvoicesWithoutPriceThenThoseOfAnotherCustomer) {
    invoice("GU-OK");
    otherCustomerHeader("GU-6", "A3", "2026-02-28");
    otherCustomerHeader("PA-1", "A1");
    check();
    EXPECT_TRUE(prompter.messages.isEmpty()) << "a clean range shows nothing";

    invoice("GU-2", "A3", QVariant(), "2026-03-07");
    invoice("GU-1", "A3", 0.0);
    invoice("GU-3", "A3", -1.0);
    invoice("GU-4", "A3", 0.0, "2026-04-01");
    invoice("GU-5", "A3", 0.0);
    addMark("GU-5", 3);
    otherCustomerHeader("GU-O'1", "A3", "2026-03-09");
    check();
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].title, "Keine Preise");
    EXPECT_EQ(prompter.messages[0].text,
              "Folgende Rechnungen wurden noch nie gedruckt und können daher nicht für "
              "SEPA verwendet werden: \r\n\r\n"
              "Abrechnung:  GU-1     A-Datum:  05.03.2026\r\n"
              "Abrechnung:  GU-2     A-Datum:  07.03.2026\r\n");
    EXPECT_EQ(prompter.messages[1].title, "Keine Kundeninformation");
    EXPECT_EQ(prompter.messages[1].text,
              "Folgende Rechnungen wurden nicht korrekt gedruckt und können daher nicht "
              "für SEPA verwendet werden: \r\n\r\n"
              "Abrechnung:  GU-O'1     A-Datum:  09.03.2026\r\n");
    for (const auto& message : prompter.messages)
        EXPECT_EQ(message.icon, Prompter::Icon::Information);
}

TEST_P(PlausibilityCheck, OnlyMarksOfTheNodesKindCountAsTransferred) {
    invoice("RE-2", "R", 0.0);
    otherCustomerHeader("RE-1", "R", "2026-03-02");
    otherCustomerHeader("RE-3", "R", "2026-03-04");
    addMark("RE-3", 0);
    otherCustomerHeader("RE-4", "R", "2026-03-04");
    addMark("RE-4", 2); // another kind: still open for direct debit
    addMarkWithoutName();

    check("R0");
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_TRUE(prompter.messages[0].text.endsWith("\r\n\r\nAbrechnung:  RE-2     A-Datum:  05.03.2026\r\n"));
    EXPECT_TRUE(prompter.messages[1].text.endsWith("\r\n\r\nAbrechnung:  RE-1     A-Datum:  02.03.2026\r\n"
                                                   "Abrechnung:  RE-4     A-Datum:  04.03.2026\r\n"));
}

TEST_P(PlausibilityCheck, ARefusedStatementIsReportedNotFatal) {
    host.exec("DROP TABLE COMM");
    check();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Fehler bei der Prüfung der Belege!\r"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
}

INSTANTIATE_TEST_SUITE_P(Drivers, PlausibilityCheck, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
