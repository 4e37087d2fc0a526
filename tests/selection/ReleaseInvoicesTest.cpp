#include "SelectionFixture.h"

#include "selection/ReleaseInvoices.h"

namespace {

class ReleaseInvoices : public SelectionTest {
protected:
    int marks(const QString& name) {
        return host.scalar("SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBTEXT = ?", {name}).toInt();
    }
    bool paid(const QString& name, const QString& type) {
        return !host.scalar("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = ? AND VER_TYPE = ?",
                            {name, type})
                    .isNull();
    }
    bool release(const QString& key, const QStringList& names) {
        return releaseInvoices(host.db(), key, names, &error);
    }
    QString error;
};

TEST_P(ReleaseInvoices, DeletesMarksOfTheKindAndFreesTheHeaders) {
    addTransferred("RE-O'1", "R", 100, 10.0, 0);
    addMark("RE-O'1", 3); // a mark of another kind stays
    addTransferred("RE-2", "R", 100, 20.0, 0);
    host.addInvoice("RE-O'1", "A3", "2026-03-01", 100, 5.0);
    host.exec("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 00:00:00' WHERE VER_TYPE = 'A3'");

    ASSERT_TRUE(release("R0", {"RE-O'1"})) << error.toStdString();
    EXPECT_EQ(marks("RE-O'1"), 1);
    EXPECT_FALSE(paid("RE-O'1", "R"));
    // The lock goes; the paid amount stays.
    EXPECT_EQ(host.scalar("SELECT GESPERRT IS NULL AND ZAHL_BETRAG = 10 FROM HEADERRECH "
                          "WHERE R_NAME = 'RE-O''1' AND VER_TYPE = 'R'")
                  .toInt(),
              1);
    EXPECT_TRUE(paid("RE-O'1", "A3"));
    EXPECT_EQ(marks("RE-2"), 1);
    EXPECT_TRUE(paid("RE-2", "R"));
}

TEST_P(ReleaseInvoices, AFailureLeavesTheDatabaseAsItWas) {
    addTransferred("GU-1", "A3", 100, 10.0, 3);
    host.exec(
        "CREATE TRIGGER no_update BEFORE UPDATE ON HEADERRECH BEGIN SELECT RAISE(ABORT,'gesperrt'); END");

    EXPECT_TRUE(release("A3", {})) << "no names execute nothing";
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(release("A3", {"GU-1"}));
    EXPECT_TRUE(error.contains("gesperrt")) << error.toStdString();
    EXPECT_EQ(marks("GU-1"), 1);
    EXPECT_TRUE(paid("GU-1", "A3"));
    EXPECT_TRUE(releaseFailedMessage(error).endsWith("\r" + error));

    // The connection is usable afterwards and not left inside a transaction.
    host.exec("DROP TRIGGER no_update");
    EXPECT_TRUE(release("A3", {"GU-1"}));
    EXPECT_EQ(marks("GU-1"), 0);
}

TEST_P(ReleaseInvoices, ReleasesMoreNamesThanOneStatementMayBind) {
    host.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4500) "
              "INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, ZAHLDATUM) "
              "SELECT 'GU-' || i, 'A3', 100, '2026-03-20' FROM n");
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) SELECT 7, R_NAME, 3 FROM HEADERRECH");
    QStringList names;
    for (int i = 1; i <= 4400; ++i)
        names << QStringLiteral("GU-%1").arg(i);

    ASSERT_TRUE(release("A3", names)) << error.toStdString();
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 100);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM HEADERRECH WHERE ZAHLDATUM IS NOT NULL").toInt(), 100);
}

INSTANTIATE_TEST_SUITE_P(Drivers, ReleaseInvoices, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
