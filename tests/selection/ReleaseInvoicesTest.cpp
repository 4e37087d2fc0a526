#include "SelectionFixture.h"

#include "selection/ReleaseInvoices.h"

namespace {

class ReleaseInvoices : public SelectionTest {
protected:
    int marks(const QString& name) {
        return host.scalar(QStringLiteral("SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBTEXT = ?"), {name})
            .toInt();
    }
    bool paid(const QString& name, const QString& type) {
        return !host.scalar(
                        QStringLiteral("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = ? AND VER_TYPE = ?"),
                        {name, type})
                    .isNull();
    }
};

TEST_P(ReleaseInvoices, DeletesMarksOfTheKindAndFreesTheHeaders) {
    addTransferred(QStringLiteral("RE-O'1"), QStringLiteral("R"), 100, 10.0, 0);
    addMark(QStringLiteral("RE-O'1"), 3); // a mark of another kind stays
    addTransferred(QStringLiteral("RE-2"), QStringLiteral("R"), 100, 20.0, 0);
    host.addInvoice(QStringLiteral("RE-O'1"), QStringLiteral("A3"), QStringLiteral("2026-03-01"), 100, 5.0);
    host.exec(
        QStringLiteral("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 00:00:00' WHERE VER_TYPE = 'A3'"));

    QString error;
    ASSERT_TRUE(releaseInvoices(host.db(), QStringLiteral("R0"), {QStringLiteral("RE-O'1")}, &error))
        << error.toStdString();
    EXPECT_EQ(marks(QStringLiteral("RE-O'1")), 1);
    EXPECT_FALSE(paid(QStringLiteral("RE-O'1"), QStringLiteral("R")));
    // The lock goes; the paid amount stays.
    EXPECT_EQ(host.scalar(QStringLiteral("SELECT GESPERRT IS NULL AND ZAHL_BETRAG = 10 FROM HEADERRECH "
                                         "WHERE R_NAME = 'RE-O''1' AND VER_TYPE = 'R'"))
                  .toInt(),
              1);
    EXPECT_TRUE(paid(QStringLiteral("RE-O'1"), QStringLiteral("A3")));
    EXPECT_EQ(marks(QStringLiteral("RE-2")), 1);
    EXPECT_TRUE(paid(QStringLiteral("RE-2"), QStringLiteral("R")));

    // Released, it is open again and gone from the overview.
    EXPECT_FALSE(load(QStringLiteral("R0")));
    EXPECT_EQ(names(list), QStringList({"RE-O'1"}));
    EXPECT_FALSE(loadOverview(QStringLiteral("R0")));
    EXPECT_EQ(names(overview), QStringList({"RE-2"}));
}

TEST_P(ReleaseInvoices, AFailureLeavesTheDatabaseAsItWas) {
    addTransferred(QStringLiteral("GU-1"), QStringLiteral("A3"), 100, 10.0, 3);
    host.exec(QStringLiteral("CREATE TRIGGER no_update BEFORE UPDATE ON HEADERRECH BEGIN "
                             "SELECT RAISE(ABORT,'gesperrt'); END"));

    QString error;
    EXPECT_TRUE(releaseInvoices(host.db(), QStringLiteral("A3"), {}, &error)) << "no names execute nothing";
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(releaseInvoices(host.db(), QStringLiteral("A3"), {QStringLiteral("GU-1")}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("gesperrt"))) << error.toStdString();
    EXPECT_EQ(marks(QStringLiteral("GU-1")), 1);
    EXPECT_TRUE(paid(QStringLiteral("GU-1"), QStringLiteral("A3")));
    EXPECT_TRUE(releaseFailedMessage(error).endsWith(QStringLiteral("\r") + error));

    // The connection is usable afterwards and not left inside a transaction.
    host.exec(QStringLiteral("DROP TRIGGER no_update"));
    EXPECT_TRUE(releaseInvoices(host.db(), QStringLiteral("A3"), {QStringLiteral("GU-1")}, &error));
    EXPECT_EQ(marks(QStringLiteral("GU-1")), 0);
}

TEST_P(ReleaseInvoices, ReleasesMoreNamesThanOneStatementMayBind) {
    host.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4500) "
                             "INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, ZAHLDATUM) "
                             "SELECT 'GU-' || i, 'A3', 100, '2026-03-20' FROM n"));
    host.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) SELECT 7, R_NAME, 3 FROM HEADERRECH"));
    QStringList names;
    for (int i = 1; i <= 4400; ++i)
        names << QStringLiteral("GU-%1").arg(i);

    QString error;
    ASSERT_TRUE(releaseInvoices(host.db(), QStringLiteral("A3"), names, &error)) << error.toStdString();
    EXPECT_EQ(host.scalar(QStringLiteral("SELECT COUNT(*) FROM COMM")).toInt(), 100);
    EXPECT_EQ(
        host.scalar(QStringLiteral("SELECT COUNT(*) FROM HEADERRECH WHERE ZAHLDATUM IS NOT NULL")).toInt(),
        100);
}

INSTANTIATE_TEST_SUITE_P(Drivers, ReleaseInvoices, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
