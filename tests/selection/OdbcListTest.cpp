#include "SelectionFixture.h"

#include "selection/PlausibilityCheck.h"

#include <QSqlDatabase>

namespace {

// The window reaches the host through QODBC; unixODBC's SQLite3 driver lets
// the same path run against the test database.
TEST_F(SelectionTest, OpenInvoiceListThroughOdbc) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "QODBC driver not installed";
    host.addCustomer(100, QStringLiteral("O'Brien"));
    host.addInvoice(QStringLiteral("GU-O'1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100,
                    1234.5);
    host.addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QStringLiteral("2026-03-06"), 100, 0.0);
    setDueDate(QStringLiteral("GU-O'1"), QStringLiteral("2026-03-19 14:30:00"));
    input.strCheckBox = QStringLiteral("sepa_gutschrift");
    input.txtDatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");

    QString error;
    const auto odbc = HostDb::open(QStringLiteral("DRIVER={SQLite3};Database=") + host.file(), &error);
    if (!odbc && error.contains(QStringLiteral("SQLite3")))
        GTEST_SKIP() << "unixODBC driver SQLite3 missing: " << error.toStdString();
    ASSERT_TRUE(odbc) << error.toStdString();
    EXPECT_FALSE(odbc->isSqlServer());

    nodeKey = QStringLiteral("A3");
    EXPECT_FALSE(GetData(*odbc, nodeKey, input, list, prompter));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(texts(list, 0),
              QStringList({"GU-O'1", "05.03.2026", "O'BRIEN", "1.234,50", "19.03.2026 14:30:00"}));

    CheckInvoices(*odbc, nodeKey, input.dtpVon, input.dtpBis, prompter);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(
        prompter.messages[0].text.endsWith(QStringLiteral("Abrechnung:  GU-2     A-Datum:  06.03.2026\r\n")));
}

} // namespace
