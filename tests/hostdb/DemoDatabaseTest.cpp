#include "hostdb/DemoDatabase.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HostDb.h"
#include "output/BankIdentifiers.h"

#include "TempFolder.h"
#include "TestHostDb.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

// The demo's customers pay from accounts that pass the export's own checks,
// in three countries, some from their second account, and its German names
// are stored as text.
TEST(DemoDatabase, HoldsValidAccountsAndGermanNamesAsText) {
    TempFolder folder;
    QString error;
    ASSERT_TRUE(DemoDatabase::write(folder.file("demo.db"), {.invoicesPerType = 5}, &error))
        << error.toStdString();
    std::unique_ptr<HostDb> db =
        HostDb::open("Provider=SQLite;Data Source=" + folder.file("demo.db"), &error);
    ASSERT_TRUE(db) << error.toStdString();
    QSqlQuery q = db->newQuery();
    ASSERT_TRUE(
        db->run(q,
                "SELECT IIF(IFNULL(use_bank2, 0) = 0, IBAN, IBAN2), IIF(IFNULL(use_bank2, 0) = 0, BIC, "
                "BIC2), IFNULL(use_bank2, 0), NAME || VORNAME || STRASSE || ORT || BANK FROM PERSONAL "
                "WHERE KUNDE = 1",
                {}, &error));
    QSet<QString> seen; // countries, "bank2" and German letters
    while (q.next()) {
        const QString iban = q.value(0).toString(), bic = q.value(1).toString(),
                      texts = q.value(3).toString();
        EXPECT_TRUE(BankIdentifiers::ibanCheckDigitsValid(iban) &&
                    BankIdentifiers::ibanHasNationalLength(iban) && BankIdentifiers::bicFitsSchema(bic))
            << iban.toStdString() << " " << bic.toStdString();
        EXPECT_FALSE(texts.contains(QStringLiteral("Ã"))) << texts.toStdString();
        seen << iban.left(2);
        if (q.value(2).toInt() == 1)
            seen << QStringLiteral("bank2");
        if (texts.contains(QRegularExpression(QStringLiteral("[äöüß]"))))
            seen << QStringLiteral("äöüß");
    }
    EXPECT_EQ(seen, QSet<QString>({"DE", "AT", "CH", "bank2", "äöüß"}));
}

TEST(CommStatements, TidyingGivesKindOneAndRemovesOrphanedSettlementMarks) {
    TestHostDb host;
    host.addCustomer(1, "Meier");
    host.addInvoice("A1-KEEP", "A1", "2026-03-01", 1, 10.0);
    host.addInvoice("R-KEEP", "R", "2026-03-01", 1, 10.0);
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES "
              "(7, 'A1-KEEP', NULL, '2026-03-02'), " // kind 1 afterwards, invoice exists
              "(7, 'A1-GONE', NULL, '2026-03-02'), " // kind 1 afterwards, invoice gone: removed
              "(7, 'A3-GONE', 3, '2026-03-02'), "    // removed
              "(7, 'R-GONE', 0, '2026-03-02'), "     // kind 0 is never tidied
              "(7, 'R-KEEP', 1, '2026-03-02'), "     // kind 1 but the A1 document is missing: removed
              "(8, 'A1-GONE', 1, '2026-03-02'), "    // not a transfer mark
              "(7, 'O''Brien', 2, '2026-03-02')");   // quote in a name, removed
    QString error;
    ASSERT_TRUE(CommStatements::tidyTransferMarks(host.db(), &error)) << error.toStdString();
    EXPECT_EQ(host.scalar("SELECT GROUP_CONCAT(ID || ':' || SUBTEXT || ':' || SUBNUM, ' ') FROM "
                          "(SELECT * FROM COMM ORDER BY SUBTEXT, ID)")
                  .toString(),
              "8:A1-GONE:1 7:A1-KEEP:1 7:R-GONE:0");
}

} // namespace
