#include "SelectionFixture.h"

namespace {

using Overview = SelectionTest;

TEST_P(Overview, ShowsTransferredInvoicesWithAmountAndTransferDate) {
    addTransferred(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 1234.5, 3);
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET NETTOPREIS = 1 WHERE R_NAME = 'GU-1'"));
    input.txtDatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
    setDueDate(QStringLiteral("GU-1"), QStringLiteral("2026-03-24 00:00:00"));

    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(captions(overview), QStringList({"AbrechnungsNr", "A-Datum", "A-Kunde", "Bruttopreis",
                                               "Überleitungsdatum", "Fällig"}));
    EXPECT_EQ(texts(overview, 0),
              QStringList({"GU-1", "10.03.2026", "MÜLLER", "1.234,50", "20.03.2026", "24.03.2026"}));
    EXPECT_EQ(widths(overview), QList<int>({2000, 1000, 2500, 1200, 1500, 1500}));
    EXPECT_EQ(overview.column(3).alignment, Qt::AlignRight);
    EXPECT_FALSE(prompter.busy);
}

TEST_P(Overview, AnInvoiceWithTwoMarksShowsTwiceAndOtherKindsNotAtAll) {
    addTransferred(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0, 3);
    addMark(QStringLiteral("GU-1"), 3, QStringLiteral("2026-03-25"));
    addTransferred(QStringLiteral("GU-2"), QStringLiteral("A3"), 100, 10.0, 1);
    addTransferred(QStringLiteral("RE-1"), QStringLiteral("R"), 100, 10.0, 0);

    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(names(overview), QStringList({"GU-1", "GU-1"}));
    QStringList dates = {overview.text(0, 4), overview.text(1, 4)};
    dates.sort();
    EXPECT_EQ(dates, QStringList({"20.03.2026", "25.03.2026"}));

    EXPECT_FALSE(loadOverview(QStringLiteral("R")));
    EXPECT_EQ(names(overview), QStringList({"RE-1"}));
    EXPECT_EQ(nodeKey, "R0");
}

TEST_P(Overview, CustomersWithoutFlagOrFreeRowAreNotShown) {
    addTransferred(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0, 3);
    addTransferred(QStringLiteral("GU-2"), QStringLiteral("A3"), 101, 10.0, 3);
    host.addCustomer(102, QStringLiteral("Ohnefrei"));
    host.exec(QStringLiteral("DELETE FROM PERSONAL_FREE WHERE ID_PERSONAL = 102"));
    addTransferred(QStringLiteral("GU-3"), QStringLiteral("A3"), 102, 10.0, 3);
    host.exec(QStringLiteral("UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = 0 WHERE ID_PERSONAL = 101"));

    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(names(overview), QStringList({"GU-1", "GU-2"}));
    input.strCheckBox = QStringLiteral("SEPA_GUTSCHRIFT");
    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(names(overview), QStringList({"GU-1"}));

    // No marks in the range leave the list without columns.
    input.dtpVon = QDate(2026, 4, 1);
    input.dtpBis = QDate(2026, 4, 30);
    EXPECT_TRUE(loadOverview());
    EXPECT_EQ(overview.columnCount(), 0);
    EXPECT_EQ(overview.rowCount(), 0);
}

TEST_P(Overview, AFailureIsReportedAndLeavesTheListEmpty) {
    addTransferred(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0, 3);
    ASSERT_FALSE(loadOverview());
    input.strCheckBox = QStringLiteral("GIBTSNICHT");
    EXPECT_FALSE(loadOverview());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler beim Anzeigen der Belege!\r")));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("„GIBTSNICHT“")));
    EXPECT_EQ(overview.rowCount(), 0);
    EXPECT_EQ(overview.columnCount(), 0);
    EXPECT_FALSE(prompter.busy);

    input.strCheckBox.clear();
    host.exec(QStringLiteral("DROP TABLE COMM"));
    EXPECT_FALSE(loadOverview());
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_TRUE(prompter.messages[1].text.startsWith(QStringLiteral("Fehler beim Anzeigen der Belege!\r")));
    EXPECT_EQ(overview.rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, Overview, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
