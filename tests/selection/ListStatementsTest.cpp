#include "selection/ListStatements.h"
#include "selection/NodeKey.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

ListStatements::ListParts fullParts() {
    ListStatements::ListParts parts;
    parts.documentType = QStringLiteral("A3");
    parts.transferKind = 3;
    parts.flagColumn = QStringLiteral("[SEPA_GUTSCHRIFT]");
    parts.dueDateColumn = QStringLiteral("[FAELLIGKEITSDATUM]");
    parts.byDueDate = true;
    parts.from = QDate(2026, 3, 1);
    parts.to = QDate(2026, 3, 15);
    parts.withoutArticlePrice = true;
    return parts;
}

// The host's own statement texts with "?" where it inlined values.
TEST(ListStatementsSqlServer, OpenInvoicesWithEveryOptionalPiece) {
    const auto s = ListStatements::openInvoices(true, fullParts());
    EXPECT_EQ(s.sql, QStringLiteral(
                         "SELECT RJ.R_Name AbrechnungsNr, CONVERT(CHAR,RJ.INVDATE,104) 'A-Datum', \r"
                         "P.KURZBEZEICHNUNG 'A-Kunde', RJ.NETTOPREIS Bruttopreis \r"
                         ", ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()) as [Fällig] "
                         "FROM RECHNUNGSJOURNAL RJ \r"
                         "INNER JOIN PERSONAL P ON RJ.KUNDE = P.ID_PERSONAL \r"
                         "INNER JOIN PERSONAL_FREE PF ON P.ID_PERSONAL = PF.ID_PERSONAL \r"
                         "INNER JOIN HEADERRECH HR ON HR.R_NAME = RJ.R_NAME AND HR.KUNDE_ID = RJ.KUNDE AND "
                         "ZAHLDATUM IS NULL \r"
                         "WHERE  PF.[SEPA_GUTSCHRIFT] = 1 AND  \r"
                         "RJ.VER_TYPE = ? AND \r"
                         "CONVERT(CHAR, ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()),112) >= ? AND \r"
                         "CONVERT(CHAR, ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()),112) <= ? AND "
                         " ISNULL(RJ.ARTIKELPREIS,0) = 0 AND "
                         "\rRJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                         "SUBTEXT IS NOT NULL) AND \r"
                         "(RJ.NETTOPREIS IS NOT NULL AND RJ.NETTOPREIS > 0) \r"
                         "order by  \r"
                         " HR.[FAELLIGKEITSDATUM],  RJ.R_NAME, RJ.INVDATE DESC, P.KURZBEZEICHNUNG"));
    EXPECT_EQ(s.values, QVariantList({"A3", "20260301", "20260315", 3}));
}

TEST(ListStatementsSqlServer, OpenInvoicesWithoutOptionalPieces) {
    ListStatements::ListParts parts = fullParts();
    parts.flagColumn.clear();
    parts.dueDateColumn.clear();
    parts.byDueDate = false;
    parts.withoutArticlePrice = false;
    parts.documentType = QStringLiteral("R");
    parts.transferKind = 0;
    const auto s = ListStatements::openInvoices(true, parts);
    EXPECT_EQ(s.sql, QStringLiteral(
                         "SELECT RJ.R_Name AbrechnungsNr, CONVERT(CHAR,RJ.INVDATE,104) 'A-Datum', \r"
                         "P.KURZBEZEICHNUNG 'A-Kunde', RJ.NETTOPREIS Bruttopreis \r"
                         " FROM RECHNUNGSJOURNAL RJ \r"
                         "INNER JOIN PERSONAL P ON RJ.KUNDE = P.ID_PERSONAL \r"
                         "INNER JOIN PERSONAL_FREE PF ON P.ID_PERSONAL = PF.ID_PERSONAL \r"
                         "INNER JOIN HEADERRECH HR ON HR.R_NAME = RJ.R_NAME AND HR.KUNDE_ID = RJ.KUNDE AND "
                         "ZAHLDATUM IS NULL \r"
                         "WHERE   \r"
                         "RJ.VER_TYPE = ? AND \r"
                         "CONVERT(CHAR, HR.INVDATE,112) >= ? AND \r"
                         "CONVERT(CHAR, HR.INVDATE,112) <= ? AND "
                         "\rRJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                         "SUBTEXT IS NOT NULL) AND \r"
                         "(RJ.NETTOPREIS IS NOT NULL AND RJ.NETTOPREIS > 0) \r"
                         "order by  \r"
                         "  RJ.R_NAME, RJ.INVDATE DESC, P.KURZBEZEICHNUNG"));
    EXPECT_EQ(s.values, QVariantList({"R", "20260301", "20260315", 0}));
}

TEST(ListStatementsSqlServer, TransferredInvoices) {
    const auto s = ListStatements::transferredInvoices(true, fullParts());
    EXPECT_EQ(s.sql, QStringLiteral(
                         "SELECT RJ.R_Name AbrechnungsNr, CONVERT(CHAR,RJ.INVDATE,104) 'A-Datum', \r"
                         "P.KURZBEZEICHNUNG 'A-Kunde', HR.ZAHL_BETRAG Bruttopreis, \r"
                         "CONVERT(CHAR,C.Date1,104) 'Überleitungsdatum' \r"
                         ", ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()) as [Fällig] "
                         "from RECHNUNGSJOURNAL RJ inner join PERSONAL P on RJ.KUNDE = P.ID_PERSONAL \r"
                         "inner join PERSONAL_FREE PF on P.ID_PERSONAL = PF.ID_PERSONAL "
                         " AND PF.[SEPA_GUTSCHRIFT] = 1 "
                         "\rinner join COMM C on RJ.R_NAME = C.SUBTEXT AND C.ID = 7 AND SUBNUM = ? \r"
                         "inner join HEADERRECH HR on HR.R_Name = RJ.R_Name AND HR.Ver_type = RJ.Ver_type \r"
                         "where RJ.VER_TYPE = ? AND "
                         "CONVERT(CHAR, ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()),112) >= ? AND \r"
                         "CONVERT(CHAR, ISNULL(HR.[FAELLIGKEITSDATUM],GETDATE()),112) <= ? \r"
                         " order by RJ.R_NAME, RJ.INVDATE DESC, P.KURZBEZEICHNUNG "));
    EXPECT_EQ(s.values, QVariantList({3, "A3", "20260301", "20260315"}));
}

TEST(ListStatementsSqlServer, PlausibilityChecks) {
    const QDate from(2026, 3, 1), to(2026, 3, 31);
    const auto price = ListStatements::invoicesWithoutPrice(true, "A2", 2, from, to);
    EXPECT_EQ(price.sql,
              QStringLiteral("SELECT RJ.R_Name AbrechnungsNr, CONVERT(CHAR,RJ.INVDATE,104) 'A-Datum' "
                             "FROM RECHNUNGSJOURNAL RJ "
                             "WHERE VER_TYPE = ? AND "
                             "CONVERT(CHAR,RJ.INVDATE,112) >= ? AND "
                             "CONVERT(CHAR,RJ.INVDATE,112) <= ? AND "
                             "RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND "
                             "SUBTEXT IS NOT NULL) AND "
                             "(RJ.NETTOPREIS IS NULL OR RJ.NETTOPREIS = 0) "
                             "order by RJ.R_NAME, RJ.INVDATE DESC"));
    EXPECT_EQ(price.values, QVariantList({"A2", "20260301", "20260331", 2}));
    const auto customer = ListStatements::invoicesOfOtherCustomer(true, "R", 0, from, to);
    EXPECT_EQ(
        customer.sql,
        QStringLiteral(
            "SELECT RJ.R_Name AbrechnungsNr, CONVERT(CHAR,RJ.INVDATE,104) 'A-Datum' "
            "FROM RECHNUNGSJOURNAL RJ "
            "inner join HEADERRECH HR on RJ.r_name = HR.r_name and RJ.ver_type = HR.ver_type "
            "and rj.kunde <> HR.KUNDE_ID "
            "WHERE RJ.VER_TYPE = ? AND "
            "CONVERT(CHAR,RJ.INVDATE,112) >= ? AND "
            "CONVERT(CHAR,RJ.INVDATE,112) <= ? AND "
            "RJ.R_NAME NOT IN (SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? AND SUBTEXT IS NOT NULL) "
            "order by RJ.R_NAME, RJ.INVDATE DESC"));
    EXPECT_EQ(customer.values, QVariantList({"R", "20260301", "20260331", 0}));
}

TEST(NodeKeyMapping, DocumentTypeAndTransferKind) {
    const struct {
        const char* key;
        const char* normalised;
        const char* type;
        int kind;
    } cases[] = {{"R0", "R0", "R", 0},  {"R", "R0", "R", 0},   {"xRy", "R0", "R", 0},
                 {"A1", "A1", "A1", 1}, {"A8", "A8", "A8", 8}, {"r3", "r3", "r3", 3}};
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(NodeKey::normalised(key), QString::fromLatin1(c.normalised)) << c.key;
        EXPECT_EQ(NodeKey::documentType(key), QString::fromLatin1(c.type)) << c.key;
        EXPECT_EQ(NodeKey::transferKind(key), c.kind) << c.key;
    }
}

} // namespace
