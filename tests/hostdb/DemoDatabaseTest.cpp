#include "hostdb/DemoDatabase.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HostDb.h"

#include "TempFolder.h"
#include "TestHostDb.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

TEST(DemoDatabase, ComputesIbanCheckDigits) {
    EXPECT_EQ(DemoDatabase::iban("DE", "370400440532013000"), "DE89370400440532013000");
    EXPECT_EQ(DemoDatabase::iban("AT", "1904300234573201"), "AT611904300234573201");
    EXPECT_EQ(DemoDatabase::iban("CH", "00762011623852957"), "CH9300762011623852957");
}

// The demo's customers pay from valid accounts of three countries, some from
// their second account, and its German names are stored as text.
TEST(DemoDatabase, HoldsValidAccountsAndGermanNamesAsText) {
    TempFolder folder;
    DemoDatabase::Options options;
    options.invoicesPerType = 5;
    QString error;
    ASSERT_TRUE(DemoDatabase::write(folder.file("demo.db"), options, &error)) << error.toStdString();
    std::unique_ptr<HostDb> db =
        HostDb::open("Provider=SQLite;Data Source=" + folder.file("demo.db"), &error);
    ASSERT_TRUE(db) << error.toStdString();
    QSqlQuery q = db->newQuery();
    ASSERT_TRUE(
        db->run(q,
                "SELECT CASE WHEN IFNULL(use_bank2,0) = 0 THEN IBAN ELSE IBAN2 END, CASE WHEN "
                "IFNULL(use_bank2,0) = 0 THEN BIC ELSE BIC2 END, IFNULL(use_bank2,0), NAME || VORNAME || "
                "STRASSE || ORT || BANK FROM PERSONAL WHERE KUNDE = 1",
                {}, &error));
    const QRegularExpression bic("^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$");
    QSet<QString> seen; // countries, "bank2" and German letters
    for (; q.next();) {
        const QString iban = q.value(0).toString();
        ASSERT_EQ(DemoDatabase::iban(iban.left(2), iban.mid(4)), iban);
        EXPECT_EQ(iban.size(), iban.startsWith("DE")   ? 22
                               : iban.startsWith("AT") ? 20
                                                       : 21)
            << iban.toStdString();
        EXPECT_TRUE(bic.match(q.value(1).toString()).hasMatch()) << q.value(1).toString().toStdString();
        EXPECT_FALSE(q.value(3).toString().contains(QStringLiteral("Ã")))
            << q.value(3).toString().toStdString();
        seen << iban.left(2);
        if (q.value(2).toInt() == 1)
            seen << QStringLiteral("bank2");
        if (q.value(3).toString().contains(QRegularExpression(QStringLiteral("[äöüß]"))))
            seen << QStringLiteral("äöüß");
    }
    EXPECT_EQ(seen, QSet<QString>({"DE", "AT", "CH", "bank2", "äöüß"}));
}

TEST(CommStatements, TidyingGivesKindOneAndRemovesOrphanedSettlementMarks) {
    TestHostDb host;
    host.addCustomer(1, "Meier");
    host.addInvoice("A1-KEEP", "A1", "2026-03-01", 1, 10.0);
    host.addInvoice("R-KEEP", "R", "2026-03-01", 1, 10.0);
    const QString insert = "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (?, ?, ?, '2026-03-02')";
    host.exec(insert, {7, "A1-KEEP", QVariant()}); // kind 1 afterwards, invoice exists
    host.exec(insert, {7, "A1-GONE", QVariant()}); // kind 1 afterwards, invoice gone: removed
    host.exec(insert, {7, "A3-GONE", 3});          // removed
    host.exec(insert, {7, "R-GONE", 0});           // kind 0 is never tidied
    host.exec(insert, {7, "R-KEEP", 1});           // kind 1 but the A1 document is missing: removed
    host.exec(insert, {8, "A1-GONE", 1});          // not a transfer mark
    host.exec(insert, {7, "O'Brien", 2});          // quote in a name, removed
    QString error;
    ASSERT_TRUE(CommStatements::tidyTransferMarks(host.db(), &error)) << error.toStdString();
    EXPECT_EQ(host.scalar("SELECT GROUP_CONCAT(ID || ':' || SUBTEXT || ':' || SUBNUM, ' ') FROM "
                          "(SELECT * FROM COMM ORDER BY SUBTEXT, ID)")
                  .toString(),
              "8:A1-GONE:1 7:A1-KEEP:1 7:R-GONE:0");
}

} // namespace
