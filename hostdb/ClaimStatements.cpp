#include "hostdb/ClaimStatements.h"

namespace ClaimStatements {

namespace SqlServer {

// The tables take the database's collation, not tempdb's, so the
// comparisons with R_NAME and SUBTEXT never meet a collation conflict. The
// amount goes as the double the program computes from the cents, as a bound
// value did before, and the header's column converts it.
QString createTables() {
    return QStringLiteral(
        "CREATE TABLE #SEPA_BUCHUNG (R_NAME NVARCHAR(200) COLLATE DATABASE_DEFAULT NOT NULL, BETRAG FLOAT "
        "NOT NULL); CREATE TABLE #SEPA_MARKEN (R_NAME NVARCHAR(200) COLLATE DATABASE_DEFAULT NOT NULL); "
        "CREATE TABLE #SEPA_KOEPFE (R_NAME NVARCHAR(200) COLLATE DATABASE_DEFAULT NOT NULL)");
}

QString invoicesTable() {
    return QStringLiteral("#SEPA_BUCHUNG (R_NAME, BETRAG)");
}

// UPDLOCK, HOLDLOCK: the headers stay locked against every other run's
// claim until this transaction ends, so the values read are the ones the
// posting replaces and a take-back restores; for a name without a header the
// key range stays locked, so none appears meanwhile.
QString readHeaders() {
    return QStringLiteral(
        "SELECT b.R_NAME, h.ZAHL_BETRAG, h.ZAHLDATUM, h.GESPERRT FROM #SEPA_BUCHUNG b INNER JOIN HEADERRECH "
        "h WITH (UPDLOCK, HOLDLOCK) ON h.R_NAME = b.R_NAME WHERE h.VER_TYPE = ?");
}

// Under READ COMMITTED the NOT EXISTS test alone would take its shared locks
// only while it reads, so two runs could both find no mark and both insert
// one. UPDLOCK makes the test take update locks that two runs cannot hold at
// once, HOLDLOCK keeps them (as key-range locks, so they also cover a mark
// that does not exist yet) until the transaction ends: the second run waits
// for the first to commit and then finds its marks. OUTPUT names each mark
// this statement wrote; a row count would also count what triggers write
// and vanishes under NOCOUNT.
QString insertMarks() {
    return QStringLiteral(
        "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) OUTPUT inserted.SUBTEXT INTO #SEPA_MARKEN (R_NAME) "
        "SELECT 7, b.R_NAME, ?, ? FROM #SEPA_BUCHUNG b WHERE NOT EXISTS (SELECT 1 FROM COMM c WITH (UPDLOCK, "
        "HOLDLOCK) WHERE c.ID = 7 AND c.SUBNUM = ? AND c.SUBTEXT = b.R_NAME)");
}

// The condition makes the update its own test: a header another run posted
// meanwhile is left alone and missing from the output.
QString markHeaders() {
    return QStringLiteral(
        "UPDATE h SET ZAHL_BETRAG = b.BETRAG, ZAHLDATUM = ?, GESPERRT = 1 OUTPUT b.R_NAME INTO #SEPA_KOEPFE "
        "(R_NAME) FROM HEADERRECH h INNER JOIN #SEPA_BUCHUNG b ON h.R_NAME = b.R_NAME WHERE h.VER_TYPE = ? "
        "AND h.ZAHLDATUM IS NULL");
}

// A name twice in the claim gets two marks, a header found twice two
// updates: both count as lost, as a mark or header missing does.
QString lostInvoices() {
    return QStringLiteral(
        "SELECT b.R_NAME FROM #SEPA_BUCHUNG b WHERE (SELECT COUNT(*) FROM #SEPA_MARKEN m WHERE m.R_NAME = "
        "b.R_NAME) <> 1 OR (SELECT COUNT(*) FROM #SEPA_KOEPFE k WHERE k.R_NAME = b.R_NAME) <> 1");
}

QString dropTables() {
    return QStringLiteral("DROP TABLE #SEPA_BUCHUNG, #SEPA_MARKEN, #SEPA_KOEPFE");
}

} // namespace SqlServer

namespace Sqlite {

// SQLite runs the posting as one writing transaction that no other writer
// can interleave, so one statement reads the headers of many invoices and
// also tests each for a mark of the kind; the marks are then a plain insert.
QString readHeaders() {
    return QStringLiteral(
        "SELECT j.key, h.ZAHL_BETRAG, h.GESPERRT, h.R_NAME IS NULL OR h.ZAHLDATUM IS NOT NULL OR EXISTS "
        "(SELECT 1 FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT = h.R_NAME) FROM json_each(?) AS j "
        "LEFT JOIN HEADERRECH h ON h.R_NAME = j.key AND h.VER_TYPE = ?");
}

// SQLite's writing transaction excludes every other writer and fails rather
// than write over what it read, so the test in the header read of the same
// transaction holds; an insert that read its own table would first copy its
// rows through a temporary table, which doubled the cost.
QString insertMarks() {
    return QStringLiteral(
        "INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) SELECT 7, key, ?, ? FROM json_each(?)");
}

// Cents divided in SQLite give the same double as in the program. The
// condition leaves a header posted meanwhile alone.
QString markHeaders() {
    return QStringLiteral(
        "UPDATE HEADERRECH SET ZAHL_BETRAG = j.value / 100.0, ZAHLDATUM = ?, GESPERRT = 1 FROM json_each(?) "
        "AS j WHERE HEADERRECH.R_NAME = j.key AND HEADERRECH.VER_TYPE = ? AND HEADERRECH.ZAHLDATUM IS NULL");
}

} // namespace Sqlite

} // namespace ClaimStatements
