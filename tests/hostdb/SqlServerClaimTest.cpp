#include "RecordedSqlServer.h"
#include "export/Posting.h"
#include "hostdb/TempTable.h"
#include "selection/ReleaseInvoices.h"

#include <gtest/gtest.h>

#include <memory>

// The claim and the release on SQL Server, through the statement recorder:
// a fixed number of statements whatever the number of invoices, apart from
// the inserts of TempTable::kRowsPerInsert names each; and what the server
// answers decides the posting as it did per invoice.
namespace {

using Sent = RecordingDriver::Sent;

constexpr int kMaxParameters = 2100; // SQL Server's limit per statement

bool fillsTable(const Sent& s) {
    return s.sql.startsWith(QLatin1String("INSERT INTO #"));
}

BookingList bookingsOf(const QStringList& names) {
    BookingList bookings;
    for (const QString& name : names) {
        bookings.last().Rechnung = name;
        bookings.last().Betrag = 12345;
        bookings.append();
    }
    return bookings;
}

QStringList names(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("RE-%1").arg(i, 6, 10, QLatin1Char('0'));
    return list;
}

struct Statements {
    QList<Sent> fixed; // every statement but the inserts, in order
    int inserts = 0;
    int mostParameters = 0;
};

Statements split(const QList<Sent>& sent) {
    Statements run;
    for (const Sent& s : sent) {
        run.mostParameters = std::max(run.mostParameters, int(s.values.size()));
        if (fillsTable(s))
            ++run.inserts;
        else
            run.fixed << s;
    }
    return run;
}

Statements claimOf(int invoices) {
    RecordedSqlServer server;
    Posting::Claim claim;
    int elsewhere = 0;
    QString error;
    EXPECT_EQ(Posting::post(*server.db, bookingsOf(names(invoices)), "A3", QDate(2026, 3, 20), &claim,
                            &elsewhere, &error, [](const Posting::Claim&, QString*) { return true; }),
              Posting::Result::Posted)
        << error.toStdString();
    EXPECT_EQ(claim.before.size(), invoices);
    EXPECT_EQ(server.driver->commits, 1);
    return split(server.sent);
}

Statements releaseOf(int invoices) {
    RecordedSqlServer server;
    QString error;
    EXPECT_TRUE(releaseInvoices(*server.db, "A3", names(invoices), &error)) << error.toStdString();
    return split(server.sent);
}

int insertsFor(int invoices) {
    return int((invoices + TempTable::kRowsPerInsert - 1) / TempTable::kRowsPerInsert);
}

void expectSameStatements(const Statements& small, const Statements& large) {
    ASSERT_EQ(small.fixed.size(), large.fixed.size());
    for (qsizetype i = 0; i < small.fixed.size(); ++i) {
        EXPECT_EQ(small.fixed[i].sql, large.fixed[i].sql);
        EXPECT_EQ(small.fixed[i].values.size(), large.fixed[i].values.size());
    }
}

TEST(SqlServerClaim, ClaimAndReleaseGrowOnlyByTheirInserts) {
    for (const auto& [what, of] : {std::pair{"claim", &claimOf}, std::pair{"release", &releaseOf}}) {
        SCOPED_TRACE(what);
        const Statements small = of(1000), large = of(5000);
        expectSameStatements(small, large);
        EXPECT_EQ(small.inserts, insertsFor(1000));
        EXPECT_EQ(large.inserts, insertsFor(5000));
        EXPECT_LE(large.mostParameters, kMaxParameters);
    }
    // Create, read, marks, headers, count, drop.
    EXPECT_EQ(claimOf(1).fixed.size(), 6);
}

// What the server answers decides: an invoice someone else has counts once,
// however many steps found it, and the posting rolls back.
struct ServerCase {
    const char* name;
    const char* bookings; // by blanks
    const char* paid;     // headers with a payment date by now
    const char* missing;  // no header
    const char* lost;     // the names the count statement returns
    int claimedElsewhere; // 0: posted
};

const ServerCase kServerCases[] = {
    {"AllOpen", "GU-1 GU-2 GU-3", "", "", "", 0},
    {"PaidMeanwhile", "GU-1 GU-2 GU-3", "GU-2", "", "", 1},
    {"NoHeader", "GU-1 GU-2 GU-3", "", "GU-3", "", 1},
    {"MarkedMeanwhile", "GU-1 GU-2 GU-3", "", "", "GU-1", 1},
    {"EachStepCountsOnce", "GU-1 GU-2 GU-3", "GU-2", "GU-3", "GU-2 GU-3", 2},
    {"TwiceInTheList", "GU-1 GU-2 GU-1", "", "", "GU-1 GU-1", 1},
};

class ServerAnswers : public ::testing::TestWithParam<ServerCase> {};

QStringList list(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST_P(ServerAnswers, DecideThePosting) {
    const ServerCase& c = GetParam();
    RecordedSqlServer server;
    server.paid = list(c.paid);
    server.missing = list(c.missing);
    server.lost = list(c.lost);
    Posting::Claim claim;
    int elsewhere = -1;
    QString error;
    bool confirmed = false;
    const Posting::Result result =
        Posting::post(*server.db, bookingsOf(list(c.bookings)), "A3", QDate(2026, 3, 20), &claim, &elsewhere,
                      &error, [&](const Posting::Claim&, QString*) { return confirmed = true; });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    if (c.claimedElsewhere == 0) {
        EXPECT_EQ(result, Posting::Result::Posted);
        EXPECT_TRUE(confirmed);
        EXPECT_EQ(server.driver->commits, 1);
        EXPECT_EQ(server.driver->rollbacks, 0);
        return;
    }
    EXPECT_EQ(result, Posting::Result::ClaimedElsewhere);
    EXPECT_EQ(elsewhere, c.claimedElsewhere);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(server.driver->commits, 0);
    EXPECT_EQ(server.driver->rollbacks, 1);
}

INSTANTIATE_TEST_SUITE_P(SqlServerClaim, ServerAnswers, ::testing::ValuesIn(kServerCases),
                         [](const ::testing::TestParamInfo<ServerCase>& info) { return info.param.name; });

} // namespace
