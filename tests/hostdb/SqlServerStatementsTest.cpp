#include "RecordingPrompter.h"
#include "StatementRecorder.h"
#include "TempFolder.h"
#include "TestHostDb.h"
#include "base/ExportSettings.h"
#include "export/ExportQuery.h"
#include "export/Posting.h"
#include "hostdb/CatalogStatements.h"
#include "hostdb/ClientStatements.h"
#include "hostdb/CommStatements.h"
#include "hostdb/LockWait.h"
#include "hostdb/SelectionTable.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/InvoiceTree.h"
#include "selection/PlausibilityCheck.h"
#include "selection/ReleaseInvoices.h"

#include <QSqlRecord>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

// Every SQL Server statement text the program sends, with its bound values,
// against the reviewed list in tests/data. A change to any of them shows as a
// diff here; BRV_UPDATE_GOLDEN=1 rewrites the list for review.
namespace {

using Sent = RecordingDriver::Sent;

QString shown(const QVariant& v) {
    const int type = v.metaType().id();
    return v.isNull()                     ? QStringLiteral("NULL")
           : type == QMetaType::QString   ? "'" + v.toString() + "'"
           : type == QMetaType::QDateTime ? QStringLiteral("<Datum-Zeit>") // the time of the run
           : type == QMetaType::QDate     ? QStringLiteral("<Datum>")
                                      : v.toString() + " (" + QString::fromLatin1(v.metaType().name()) + ")";
}

TEST(SqlServerStatements, MatchTheReviewedList) {
    TestHostDb schema;
    QMap<QString, QSqlRecord> tables;
    for (QString table :
         {"RECHNUNGSJOURNAL", "HEADERRECH", "PERSONAL", "PERSONAL_FREE", "COMM", "FORMS_CONFIG", "STRINGS"})
        tables.insert(table, schema.db().database().record(table));
    QList<Sent> sent;
    auto* driver = new RecordingDriver(&sent, tables);
    std::unique_ptr<HostDb> owned = HostDb::attach(driver, HostDb::Dialect::SqlServer);
    ASSERT_TRUE(owned);
    HostDb& db = *owned;

    RecordingPrompter prompter;
    QString error;
    // Every configured column and the due-date range, or none of them.
    const QDate from(2026, 3, 1), to(2026, 3, 31);
    const ListInput all{"SEPA_GUTSCHRIFT", "FAELLIGKEITSDATUM", true, from, to, "1"};
    const ListInput byInvoiceDate{"SEPA_GUTSCHRIFT", "FAELLIGKEITSDATUM", false, from, to, "1"};
    const ListInput none{{}, {}, false, from, to, "0"};
    auto list = [&](QString key, const ListInput& input, bool overview) {
        InvoiceListModel model;
        overview ? GetDataUebersicht(db, key, input, model, prompter)
                 : GetData(db, key, input, model, prompter);
    };
    auto exportQuery = [&](const char* key, bool withColumns, bool sortByCustomer) {
        ExportSettings s;
        s.strVer_Type = QString::fromLatin1(key);
        if (withColumns) {
            s.strCheckBox = QStringLiteral("SEPA_GUTSCHRIFT");
            s.firma.DatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
            s.firma.ExterneBelegnummer = QStringLiteral("EXT_BELEGNR");
        }
        s.sortByCustomer = sortByCustomer;
        QSqlQuery query;
        EXPECT_TRUE(ExportQuery::open(db, s, &query, &error)) << error.toStdString();
    };
    // Out-values of the calls; only the statements they send matter here.
    QStringList names;
    std::optional<ClientStatements::ClientAddress> address;
    int count = 0;
    QList<CatalogStatements::Index> found;
    QDateTime back;
    const QDateTime paidAt(QDate(2026, 3, 20), QTime(14, 3, 12)), sentAt(paidAt.date(), QTime(9, 30));
    BookingList bookings;
    bookings.last().Rechnung = QStringLiteral("RE-1");
    bookings.last().Betrag = 9800;
    bookings.append();
    Posting::Claim claim, posted;
    posted.documentType = QStringLiteral("R");
    posted.paidAt = paidAt;
    posted.before.append({QStringLiteral("RE-1"), QVariant(), 0});
    auto confirm = [](const Posting::Claim&, QString*) { return true; };
    const QStringList invoices{"RE-1", "RE-2"}, settlements{"GU-1", "GU-2"};
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"HostDb::attach, Sperrzeit 7",
         [&] { HostDb::attach(new RecordingDriver(&sent, tables), HostDb::Dialect::SqlServer, 7); }},
        {"LoadTreeView", [&] { error = InvoiceTree::LoadTreeView(db).error; }},
        {"LoadMandantenListe", [&] { ClientStatements::LoadMandantenListe(db, &names, &error); }},
        {"LoadMandantAdresse", [&] { ClientStatements::LoadMandantAdresse(db, "MUSTER", &address, &error); }},
        {"tidyTransferMarks", [&] { CommStatements::tidyTransferMarks(db, &error); }},
        {"GetData A3, every column, by due date, without article price", [&] { list("A3", all, false); }},
        {"GetData A3, due-date column, by invoice date", [&] { list("A3", byInvoiceDate, false); }},
        {"GetData R0, no column", [&] { list("R0", none, false); }},
        {"GetDataUebersicht A3, every column, by due date", [&] { list("A3", all, true); }},
        {"GetDataUebersicht R0, no column", [&] { list("R0", none, true); }},
        {"CheckInvoices A2", [&] { CheckInvoices(db, "A2", from, to, prompter); }},
        {"SelectionTable::store", [&] { SelectionTable::store(db, invoices, &error); }},
        {"SelectionTable::countTransferred A3",
         [&] { SelectionTable::countTransferred(db, 3, &count, &error); }},
        {"ExportQuery::open R0, no column, by name", [&] { exportQuery("R0", false, false); }},
        {"ExportQuery::open A3, every column, by customer", [&] { exportQuery("A3", true, true); }},
        {"Posting::post R0",
         [&] { Posting::post(db, bookings, "R0", paidAt.date(), &claim, &count, &error, confirm); }},
        {"Posting::stillPosted R0", [&] { Posting::stillPosted(db, posted, &names, &error); }},
        {"Posting::takeBack R0", [&] { Posting::takeBack(db, posted, &error); }},
        {"releaseInvoices A3", [&] { releaseInvoices(db, "A3", settlements, &error); }},
        {"CatalogStatements::indexes", [&] { CatalogStatements::indexes(db, "COMM", &found, &error); }},
        {"CatalogStatements::dateTimeRoundTrip",
         [&] { CatalogStatements::dateTimeRoundTrip(db, sentAt, &back, &error); }},
    };

    QString actual = QStringLiteral(
        "-- Every SQL Server statement text the program sends, with its bound values.\n"
        "-- CR in a text shows as \\r. Regenerate: BRV_UPDATE_GOLDEN=1 build/tests/test_hostdb\n"
        "-- --gtest_filter=SqlServerStatements.*, then review the diff.\n");
    for (const auto& [name, call] : calls) {
        sent.clear();
        call();
        actual += QStringLiteral("\n-- ") + QString::fromLatin1(name) + QLatin1Char('\n');
        QStringList seen; // the same text with other values shows once
        for (const Sent& s : sent) {
            if (seen.contains(s.sql))
                continue;
            seen << s.sql;
            actual += QString(s.sql).replace("\r", "\\r\n") + ";\n";
            QStringList values;
            for (const QVariant& v : s.values)
                values << shown(v);
            if (!values.isEmpty())
                actual += "--   " + values.join(", ") + "\n";
        }
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();

    const QString golden = QStringLiteral(BRV_TEST_DATA_DIR "/sqlserver-statements.sql");
    if (qEnvironmentVariable("BRV_UPDATE_GOLDEN") == QLatin1String("1")) {
        TempFolder::write(golden, actual.toUtf8());
        GTEST_SKIP() << "rewritten: " << golden.toStdString();
    }
    // GoogleTest shows a line diff of the two texts.
    EXPECT_EQ(TempFolder::read(golden).toStdString(), actual.toStdString())
        << "BRV_UPDATE_GOLDEN=1 rewrites " << golden.toStdString();

    // A read that breaks off is a failed statement, never the end of the rows.
    driver->failFetch = true;
    const std::set<std::string> reads = {"LoadTreeView",
                                         "LoadMandantenListe",
                                         "LoadMandantAdresse",
                                         "SelectionTable::countTransferred A3",
                                         "Posting::post R0",
                                         "Posting::stillPosted R0",
                                         "CatalogStatements::indexes",
                                         "CatalogStatements::dateTimeRoundTrip"};
    for (const auto& [name, call] : calls) {
        if (!reads.count(name))
            continue;
        error.clear();
        call();
        EXPECT_TRUE(error.endsWith("Lesefehler")) << name << ": " << error.toStdString();
    }
}

// SQL Server keeps a transaction open after a statement that gave up
// waiting for a lock: the posting and the release roll back themselves, and
// every step says what happened in German.
TEST(SqlServerStatements, LockTimeOutRollsBackAndSaysSo) {
    QList<Sent> sent;
    auto* driver = new RecordingDriver(&sent, {});
    std::unique_ptr<HostDb> db = HostDb::attach(driver, HostDb::Dialect::SqlServer, 5);
    ASSERT_TRUE(db);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].sql, "SET LOCK_TIMEOUT 5000");
    driver->lockTimeout = true;
    const QString locked = LockWait::lockedMessage(5);

    BookingList bookings;
    bookings.last().Rechnung = QStringLiteral("RE-1");
    bookings.last().Betrag = 9800;
    bookings.append();
    Posting::Claim claim;
    int elsewhere = 0;
    QString error;
    EXPECT_EQ(Posting::post(*db, bookings, "R0", QDate(2026, 3, 20), &claim, &elsewhere, &error,
                            [](const Posting::Claim&, QString*) { return true; }),
              Posting::Result::Failed);
    EXPECT_EQ(error, "Übergabe der Rechnungen an die Datenbank: " + locked);
    EXPECT_EQ(driver->rollbacks, 1);

    EXPECT_FALSE(releaseInvoices(*db, "A3", {"GU-1"}, &error));
    EXPECT_TRUE(error.endsWith(locked)) << error.toStdString();
    EXPECT_EQ(driver->rollbacks, 2);

    EXPECT_FALSE(CommStatements::tidyTransferMarks(*db, &error));
    EXPECT_EQ(error, locked);
    EXPECT_TRUE(db->lockTimedOut());
}

} // namespace
