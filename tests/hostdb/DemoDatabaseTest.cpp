#include "hostdb/DemoDatabase.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HostDb.h"

#include "TempFolder.h"
#include "TestHostDb.h"

#include <QRegularExpression>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

TEST(DemoDatabase, ComputesIbanCheckDigits) {
    EXPECT_EQ(DemoDatabase::iban("DE", "370400440532013000"), "DE89370400440532013000");
    EXPECT_EQ(DemoDatabase::iban("AT", "1904300234573201"), "AT611904300234573201");
    EXPECT_EQ(DemoDatabase::iban("CH", "00762011623852957"), "CH9300762011623852957");
}

// What the demo is for: every enabled type with open invoices this month,
// valid bank accounts, German names as text, a few gaps for the plausibility
// check and a few transferred invoices for the overview.
TEST(DemoDatabase, HoldsOpenInvoicesValidAccountsGapsAndTransferredInvoices) {
    TempFolder folder;
    DemoDatabase::Options options;
    options.invoicesPerType = 40;
    options.today = QDate(2026, 3, 15);
    QString error;
    ASSERT_TRUE(DemoDatabase::write(folder.file("demo.db"), options, &error)) << error.toStdString();
    std::unique_ptr<HostDb> db =
        HostDb::open("Provider=SQLite;Data Source=" + folder.file("demo.db"), &error);
    ASSERT_TRUE(db) << error.toStdString();
    auto count = [&](const QString& sql) {
        QSqlQuery q = db->newQuery();
        EXPECT_TRUE(db->run(q, sql, {}, &error)) << error.toStdString();
        return q.next() ? q.value(0).toInt() : -1;
    };
    const QString open =
        "SELECT COUNT(*) FROM RECHNUNGSJOURNAL RJ JOIN HEADERRECH HR ON HR.R_NAME = RJ.R_NAME "
        "AND HR.KUNDE_ID = RJ.KUNDE AND HR.ZAHLDATUM IS NULL WHERE RJ.VER_TYPE = '%1' AND "
        "RJ.NETTOPREIS > 0 AND RJ.INVDATE BETWEEN '2026-03-01' AND '2026-03-15 23:59:59' "
        "AND RJ.KUNDE <> 9000";
    for (const char* type : {"R", "A1", "A2", "A3", "A5"})
        EXPECT_EQ(count(open.arg(type)), 40) << type;
    const struct {
        const char* sql;
        int expected; // -2: more than none
    } counts[] = {
        {"SELECT COUNT(*) FROM RECHNUNGSJOURNAL WHERE VER_TYPE = 'A4'", 0},
        {"SELECT COUNT(*) FROM FORMS_CONFIG WHERE NUMBER_VALUE = 1", 4},
        {"SELECT COUNT(*) FROM RECHNUNGSJOURNAL WHERE IFNULL(NETTOPREIS,0) = 0", 3},
        {"SELECT COUNT(*) FROM RECHNUNGSJOURNAL RJ JOIN HEADERRECH HR ON HR.R_NAME = RJ.R_NAME "
         "AND HR.VER_TYPE = RJ.VER_TYPE WHERE HR.KUNDE_ID <> RJ.KUNDE",
         2},
        {"SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM = 0", 6},
        {"SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM IS NULL", 1},
        {"SELECT COUNT(*) FROM PERSONAL WHERE NAME || VORNAME || STRASSE || ORT || BANK LIKE '%Ã%'", 0},
        {"SELECT COUNT(*) > 10 FROM PERSONAL WHERE NAME IN ('Müller', 'Weiß', 'Schäfer')", 1},
        {"SELECT COUNT(*) > 0 FROM PERSONAL WHERE KUNDE = 1 AND use_bank2 = 1", 1},
        {"SELECT COUNT(*) > 0 FROM PERSONAL WHERE NATION = 'AT' AND KUNDE = 1", 1},
        {"SELECT COUNT(*) > 0 FROM PERSONAL WHERE NATION = 'CH' AND KUNDE = 1", 1},
    };
    for (const auto& c : counts)
        EXPECT_EQ(count(c.sql), c.expected) << c.sql;

    QSqlQuery q = db->newQuery();
    ASSERT_TRUE(
        db->run(q,
                "SELECT CASE WHEN IFNULL(use_bank2,0) = 0 THEN IBAN ELSE IBAN2 END, "
                "CASE WHEN IFNULL(use_bank2,0) = 0 THEN BIC ELSE BIC2 END FROM PERSONAL WHERE KUNDE = 1",
                {}, &error));
    const QRegularExpression bic("^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$");
    int rows = 0;
    for (; q.next(); ++rows) {
        const QString iban = q.value(0).toString();
        ASSERT_EQ(DemoDatabase::iban(iban.left(2), iban.mid(4)), iban);
        EXPECT_EQ(iban.size(), iban.startsWith("DE")   ? 22
                               : iban.startsWith("AT") ? 20
                                                       : 21)
            << iban.toStdString();
        EXPECT_TRUE(bic.match(q.value(1).toString()).hasMatch()) << q.value(1).toString().toStdString();
    }
    EXPECT_GT(rows, 100);
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
