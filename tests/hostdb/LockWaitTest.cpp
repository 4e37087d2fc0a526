#include "hostdb/LockWait.h"

#include "TestHostDb.h"
#include "hostdb/HostDb.h"

#include <gtest/gtest.h>

namespace {

// The setting "Sperrzeit" as the own INI file gives it (already trimmed),
// and the seconds it means; 0 for a value that refuses the run.
TEST(LockWait, TakesWholeSecondsFromOneToSixHundred) {
    const struct {
        const char* setting;
        int seconds;
    } rows[] = {
        {"", 30},    {"1", 1},   {"30", 30}, {"600", 600}, {"0030", 30},       {"0", 0},
        {"601", 0},  {"-5", 0},  {"+5", 0},  {"1.5", 0},   {"1,5", 0},         {"5 s", 0},
        {"lang", 0}, {"1e2", 0}, {"٣٠", 0},  {"00", 0},    {"99999999999", 0},
    };
    for (const auto& row : rows) {
        const QString setting = QString::fromUtf8(row.setting);
        QString refusal;
        const std::optional<int> seconds = LockWait::secondsOf(setting, &refusal);
        EXPECT_EQ(seconds.value_or(0), row.seconds) << row.setting;
        const QString expected = row.seconds > 0
                                     ? QString()
                                     : QStringLiteral("Der Wert „%1“ für „Sperrzeit“ in der Datei "
                                                      "BRV32-SEPA-Ueberweisung.ini ist ungültig "
                                                      "(erlaubt: eine ganze Zahl von 1 bis 600 "
                                                      "Sekunden).")
                                           .arg(setting);
        EXPECT_EQ(refusal, expected) << row.setting;
    }
}

// Another program holds the database in a write transaction: a statement
// gives up after the lock wait with the German message, and the connection
// says so. A writing transaction cannot even begin.
// (unixODBC's SQLite3 driver keeps a busy handler of its own, with the
// "Timeout" of its connection text.)
TEST(LockedDatabase, StatementsGiveUpWithTheGermanMessage) {
    TestHostDb host;
    QString error;
    const std::unique_ptr<HostDb> other = HostDb::open(host.connectionString(), &error);
    ASSERT_TRUE(other) << error.toStdString();
    ASSERT_TRUE(other->execute("BEGIN EXCLUSIVE", {}, &error)) << error.toStdString();

    const std::unique_ptr<HostDb> db = HostDb::open(host.connectionString(), &error, 1);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_FALSE(db->lockTimedOut());
    EXPECT_FALSE(db->execute("UPDATE COMM SET SUBNUM = 1 WHERE ID = 7 AND SUBNUM IS NULL", {}, &error));
    EXPECT_EQ(error, LockWait::lockedMessage(1));
    EXPECT_TRUE(db->lockTimedOut());
    EXPECT_TRUE(
        error.startsWith("Die Datenbank ist von einem anderen Programm gesperrt; nach 1 Sekunde Warten"))
        << error.toStdString();

    const std::unique_ptr<HostDb> writer = HostDb::open(host.connectionString(), &error, 1);
    ASSERT_TRUE(writer) << error.toStdString();
    error.clear();
    EXPECT_FALSE(writer->transaction(&error));
    EXPECT_EQ(error, LockWait::lockedMessage(1));

    // Once the other program is done, the same connection goes on.
    ASSERT_TRUE(other->execute("ROLLBACK", {}, &error)) << error.toStdString();
    EXPECT_TRUE(db->execute("UPDATE COMM SET SUBNUM = 1 WHERE ID = 7 AND SUBNUM IS NULL", {}, &error))
        << error.toStdString();
}

} // namespace
