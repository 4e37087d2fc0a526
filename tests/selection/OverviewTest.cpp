#include "SelectionFixture.h"

namespace {

using Overview = SelectionTest;

// One row per mark of the node's kind, for customers with the flag and a
// free row; amount and transfer date as the posting left them.
TEST_P(Overview, ShowsEveryTransferOfTheKindWithAmountAndTransferDate) {
    addTransferred("GU-1", "A3", 100, 1234.5, 3);
    addMark("GU-1", 3, "2026-03-25");
    host.exec("UPDATE RECHNUNGSJOURNAL SET NETTOPREIS = 1 WHERE R_NAME = 'GU-1'");
    addTransferred("GU-2", "A3", 100, 10.0, 1);
    addTransferred("RE-1", "R", 100, 10.0, 0);
    addTransferred("GU-3", "A3", 101, 10.0, 3);
    host.exec("UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = 0 WHERE ID_PERSONAL = 101");
    addCustomerWithoutFreeRow();
    addTransferred("GU-4", "A3", 102, 10.0, 3);
    input.txtDatumFaelligkeit = "FAELLIGKEITSDATUM";
    setDueDate("GU-1", "2026-03-24 00:00:00");

    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(columns(overview),
              QStringList({"AbrechnungsNr 2000", "A-Datum 1000", "A-Kunde 2500", "Bruttopreis 1200 >",
                           "Überleitungsdatum 1500", "Fällig 1500"}));
    EXPECT_EQ(names(overview), QStringList({"GU-1", "GU-1", "GU-3"}));
    QStringList first = texts(overview, 0), second = texts(overview, 1);
    if (first[4] > second[4])
        std::swap(first, second);
    EXPECT_EQ(first, QStringList({"GU-1", "10.03.2026", "MÜLLER", "1.234,50", "20.03.2026", "24.03.2026"}));
    EXPECT_EQ(second[4], "25.03.2026");
    EXPECT_FALSE(prompter.busy);
    input.strCheckBox = "SEPA_GUTSCHRIFT";
    EXPECT_FALSE(loadOverview());
    EXPECT_EQ(names(overview), QStringList({"GU-1", "GU-1"}));
    EXPECT_FALSE(loadOverview("R"));
    EXPECT_EQ(names(overview), QStringList({"RE-1"}));
    EXPECT_EQ(nodeKey, "R0");

    // No marks in the range leave the list without columns.
    input.dtpVon = QDate(2026, 4, 1);
    input.dtpBis = QDate(2026, 4, 30);
    EXPECT_TRUE(loadOverview());
    EXPECT_EQ(overview.columnCount(), 0);
    EXPECT_EQ(overview.rowCount(), 0);
}

// A column that does not exist, then a statement the host refuses.
TEST_P(Overview, AFailureIsReportedAndLeavesTheListEmpty) {
    addTransferred("GU-1", "A3", 100, 10.0, 3);
    for (const char* column : {"GIBTSNICHT", ""}) {
        ASSERT_FALSE(loadOverview());
        prompter.messages.clear();
        input.strCheckBox = column;
        if (!*column)
            host.exec("DROP TABLE COMM");
        EXPECT_FALSE(loadOverview());
        ASSERT_EQ(prompter.messages.size(), 1);
        const QString& text = prompter.messages[0].text;
        EXPECT_TRUE(text.startsWith("Fehler beim Anzeigen der Belege!\r")) << text.toStdString();
        EXPECT_TRUE(text.contains(*column ? "„GIBTSNICHT“" : "COMM")) << text.toStdString();
        EXPECT_EQ(overview.rowCount(), 0);
        EXPECT_EQ(overview.columnCount(), 0);
        EXPECT_FALSE(prompter.busy);
        input.strCheckBox.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, Overview, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
