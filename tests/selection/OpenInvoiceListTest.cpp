#include "SelectionFixture.h"
#include "selection/PlausibilityCheck.h"

#include <QDateTime>

namespace {

using Kind = InvoiceListModel::Kind;

class OpenInvoiceList : public SelectionTest {
protected:
    void SetUp() override {
        host.addCustomer(100, QStringLiteral("Müller"));
        host.addCustomer(101, QStringLiteral("Schäfer"));
    }
};

TEST_F(OpenInvoiceList, ShowsColumnsAndTextsAsTheHostHasThem) {
    host.addInvoice(QStringLiteral("GU-0001"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100,
                    1234.5);
    host.addInvoice(QStringLiteral("GU-0002"), QStringLiteral("A3"), QStringLiteral("2026-03-06"), 101, 0.07);
    host.exec(QStringLiteral("UPDATE PERSONAL SET KURZBEZEICHNUNG = '  MÜLLER  ' WHERE ID_PERSONAL = 100"));

    EXPECT_FALSE(load());
    EXPECT_EQ(captions(list), QStringList({"AbrechnungsNr", "A-Datum", "A-Kunde", "Bruttopreis"}));
    EXPECT_EQ(texts(list, 0), QStringList({"GU-0001", "05.03.2026", "MÜLLER", "1.234,50"}));
    EXPECT_EQ(texts(list, 1), QStringList({"GU-0002", "06.03.2026", "SCHÄFER", "0,07"}));
    EXPECT_EQ(list.column(0).widthTwips, 2000);
    EXPECT_EQ(list.column(1).widthTwips, 1000);
    EXPECT_EQ(list.column(2).widthTwips, 2500);
    EXPECT_EQ(list.column(3).widthTwips, 1200);
    EXPECT_EQ(list.column(3).alignment, Qt::AlignRight);
    EXPECT_EQ(list.column(0).alignment, Qt::AlignLeft);
    EXPECT_EQ(list.value(0, 3), QVariant(qint64(123450)));
    EXPECT_EQ(list.value(0, 1), QVariant(QDate(2026, 3, 5)));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_FALSE(prompter.busy);
}

TEST_F(OpenInvoiceList, DueDateColumnShowsTheDateTimeOrNowWhereTheHeaderHasNone) {
    input.txtDatumFaelligkeit = QStringLiteral("Faelligkeitsdatum"); // the host's spelling differs in case
    for (const char* name : {"GU-1", "GU-2", "GU-3"})
        host.addInvoice(QString::fromLatin1(name), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100,
                        10.0);
    setDueDate(QStringLiteral("GU-1"), QStringLiteral("2026-03-19 00:00:00"));
    setDueDate(QStringLiteral("GU-2"), QStringLiteral("2026-03-18 14:30:00"));

    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    EXPECT_FALSE(load());
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    ASSERT_EQ(captions(list), QStringList({"AbrechnungsNr", "A-Datum", "A-Kunde", "Bruttopreis", "Fällig"}));
    EXPECT_EQ(list.column(4).widthTwips, 1000);
    // Until a header is clicked the list is ordered by its first column.
    ASSERT_EQ(names(list), QStringList({"GU-1", "GU-2", "GU-3"}));
    EXPECT_EQ(list.text(0, 4), "19.03.2026");
    EXPECT_EQ(list.text(1, 4), "18.03.2026 14:30:00");
    const QDateTime now = list.value(2, 4).toDateTime();
    EXPECT_TRUE(now >= before && now <= after) << now.toString().toStdString();
    EXPECT_EQ(list.text(2, 4),
              now.toString(now.time() == QTime(0, 0) ? "dd.MM.yyyy" : "dd.MM.yyyy HH:mm:ss"));
}

TEST_F(OpenInvoiceList, NodeKeySelectsDocumentTypeAndTransferKind) {
    host.addInvoice(QStringLiteral("RE-1"), QStringLiteral("R"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("RE-2"), QStringLiteral("R"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("RE-3"), QStringLiteral("R"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("PA-1"), QStringLiteral("A1"), QStringLiteral("2026-03-05"), 100, 10.0);
    addMark(QStringLiteral("RE-1"), 0); // transferred by direct debit
    addMark(QStringLiteral("RE-2"), 3); // a mark of another kind does not count
    addMark(QStringLiteral("GU-1"), 3);
    addMark(QStringLiteral("GU-2"), 0);

    EXPECT_FALSE(load(QStringLiteral("R0")));
    EXPECT_EQ(names(list), QStringList({"RE-2", "RE-3"}));
    EXPECT_EQ(nodeKey, "R0");

    for (const char* key : {"R", "xRy"}) {
        EXPECT_FALSE(load(QString::fromLatin1(key)));
        EXPECT_EQ(names(list), QStringList({"RE-2", "RE-3"})) << key;
        EXPECT_EQ(nodeKey, "R0") << key;
    }

    EXPECT_FALSE(load(QStringLiteral("A3")));
    EXPECT_EQ(names(list), QStringList({"GU-2"}));
    EXPECT_EQ(nodeKey, "A3");
    EXPECT_FALSE(load(QStringLiteral("A1")));
    EXPECT_EQ(names(list), QStringList({"PA-1"}));
}

TEST_F(OpenInvoiceList, AMarkWithoutInvoiceNameHidesNothing) {
    host.addInvoice(QStringLiteral("RE-1"), QStringLiteral("R"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("RE-2"), QStringLiteral("R"), QStringLiteral("2026-03-05"), 100, 0.0);
    // NULL in SUBTEXT would make every NOT IN unknown.
    host.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, NULL, 0)"));
    EXPECT_FALSE(load(QStringLiteral("R0")));
    EXPECT_EQ(names(list), QStringList({"RE-1"}));
    CheckInvoices(host.db(), nodeKey, input.dtpVon, input.dtpBis, prompter);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("RE-2")));
}

TEST_F(OpenInvoiceList, ListsOnlyOpenPositiveInvoicesOfTheSameCustomerWithFlags) {
    const QString day = QStringLiteral("2026-03-05");
    host.addInvoice(QStringLiteral("OK"), QStringLiteral("A3"), day, 100, 10.0);
    host.addInvoice(QStringLiteral("NULL-PRICE"), QStringLiteral("A3"), day, 100, QVariant());
    host.addInvoice(QStringLiteral("ZERO"), QStringLiteral("A3"), day, 100, 0.0);
    host.addInvoice(QStringLiteral("NEGATIVE"), QStringLiteral("A3"), day, 100, -5.0);
    host.addInvoice(QStringLiteral("OTHER-HEADER"), QStringLiteral("A3"), day, 100, 10.0);
    host.exec(QStringLiteral("UPDATE HEADERRECH SET KUNDE_ID = 101 WHERE R_NAME = 'OTHER-HEADER'"));
    host.addInvoice(QStringLiteral("PAID"), QStringLiteral("A3"), day, 100, 10.0);
    host.exec(
        QStringLiteral("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-06 00:00:00' WHERE R_NAME = 'PAID'"));
    host.addCustomer(102, QStringLiteral("Ohnefrei"));
    host.exec(QStringLiteral("DELETE FROM PERSONAL_FREE WHERE ID_PERSONAL = 102"));
    host.addInvoice(QStringLiteral("NO-FREE-ROW"), QStringLiteral("A3"), day, 102, 10.0);

    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"OK"}));
}

TEST_F(OpenInvoiceList, FlagColumnOfTheSettingFiltersCustomers) {
    host.exec(QStringLiteral("UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = 0, SEPA_LASTSCHRIFT = 1 "
                             "WHERE ID_PERSONAL = 101"));
    host.exec(QStringLiteral(
        "UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = NULL, SEPA_LASTSCHRIFT = 0 WHERE ID_PERSONAL = 100"));
    host.addCustomer(102, QStringLiteral("Weber"));
    for (int customer : {100, 101, 102})
        host.addInvoice(QStringLiteral("GU-%1").arg(customer), QStringLiteral("A3"),
                        QStringLiteral("2026-03-05"), customer, 10.0);

    const struct {
        const char* column;
        QStringList expected;
    } cases[] = {
        {"", {"GU-100", "GU-101", "GU-102"}},
        {"SEPA_GUTSCHRIFT", {"GU-102"}},
        {"sepa_gutschrift", {"GU-102"}},
        {"SEPA_LASTSCHRIFT", {"GU-101", "GU-102"}},
    };
    for (const auto& c : cases) {
        input.strCheckBox = QString::fromLatin1(c.column);
        EXPECT_FALSE(load());
        EXPECT_EQ(names(list), c.expected) << c.column;
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(OpenInvoiceList, InvoiceDateRangeTestsTheHeaderWhileTheJournalDateIsShown) {
    host.addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), QStringLiteral("2026-02-27"), 100, 10.0);
    host.exec(QStringLiteral("UPDATE HEADERRECH SET INVDATE = '2026-03-01 23:59:00' WHERE R_NAME = 'GU-1'"));
    host.addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.exec(QStringLiteral("UPDATE HEADERRECH SET INVDATE = '2026-04-01 00:00:00' WHERE R_NAME = 'GU-2'"));
    host.addInvoice(QStringLiteral("GU-3"), QStringLiteral("A3"), QStringLiteral("2026-03-31"), 100, 10.0);
    host.exec(QStringLiteral("UPDATE HEADERRECH SET INVDATE = '2026-03-31 18:00:00' WHERE R_NAME = 'GU-3'"));

    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"GU-1", "GU-3"}));
    EXPECT_EQ(list.text(0, 1), "27.02.2026");
}

TEST_F(OpenInvoiceList, DueDateRangeCountsAMissingDueDateAsToday) {
    input.txtDatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
    input.optFaelligkeit = true;
    const QDate today = QDate::currentDate();
    host.addInvoice(QStringLiteral("DUE-IN-RANGE"), QStringLiteral("A3"), QStringLiteral("2020-01-01"), 100,
                    1.0);
    setDueDate(QStringLiteral("DUE-IN-RANGE"), today.addDays(3).toString("yyyy-MM-dd 23:00:00"));
    host.addInvoice(QStringLiteral("DUE-LATER"), QStringLiteral("A3"), QStringLiteral("2020-01-01"), 100,
                    1.0);
    setDueDate(QStringLiteral("DUE-LATER"), today.addDays(40).toString("yyyy-MM-dd 00:00:00"));
    host.addInvoice(QStringLiteral("NO-DUE-DATE"), QStringLiteral("A3"), QStringLiteral("2020-01-01"), 100,
                    1.0);

    input.dtpVon = today;
    input.dtpBis = today.addDays(3);
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"DUE-IN-RANGE", "NO-DUE-DATE"}));

    input.dtpVon = today.addDays(1);
    input.dtpBis = today.addDays(60);
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"DUE-IN-RANGE", "DUE-LATER"}));

    // The invoice date plays no part while the range applies to the due date.
    input.dtpVon = QDate(2020, 1, 1);
    input.dtpBis = QDate(2020, 1, 1);
    EXPECT_TRUE(load());
}

TEST_F(OpenInvoiceList, KeineArtikelrechnungLeavesOutInvoicesWithAnArticlePrice) {
    for (const char* name : {"NULL-ARTICLE", "ZERO-ARTICLE", "WITH-ARTICLE"})
        host.addInvoice(QString::fromLatin1(name), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100,
                        10.0);
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 0 WHERE R_NAME = 'ZERO-ARTICLE'"));
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 3.5 WHERE R_NAME = 'WITH-ARTICLE'"));

    input.strKeineArtikelrechnung = QStringLiteral("0");
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"NULL-ARTICLE", "WITH-ARTICLE", "ZERO-ARTICLE"}));
    input.strKeineArtikelrechnung = QStringLiteral("1");
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"NULL-ARTICLE", "ZERO-ARTICLE"}));
}

TEST_F(OpenInvoiceList, AnEmptyResultRemovesColumnsAndRows) {
    host.addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    EXPECT_FALSE(load());
    ASSERT_EQ(list.rowCount(), 1);
    input.dtpVon = QDate(2026, 4, 1);
    input.dtpBis = QDate(2026, 4, 30);
    EXPECT_TRUE(load());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(OpenInvoiceList, QuotesInNamesAndKeysAreValuesNotStatementText) {
    host.exec(QStringLiteral("UPDATE PERSONAL SET KURZBEZEICHNUNG = 'O''BRIEN' WHERE ID_PERSONAL = 100"));
    host.addInvoice(QStringLiteral("GU-O'1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    host.addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 101, 10.0);
    addMark(QStringLiteral("GU-2"), 3);

    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"GU-O'1"}));
    EXPECT_EQ(list.text(0, 2), "O'BRIEN");

    // A key that would widen an inlined condition finds no document type.
    EXPECT_TRUE(load(QStringLiteral("A3' OR VER_TYPE <> '3")));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(OpenInvoiceList, ConfiguredColumnsThatDoNotExistAreReportedAndTheRowsKept) {
    host.addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    ASSERT_FALSE(load());

    const struct {
        const char* flag;
        const char* dueDate;
        bool byDueDate;
        const char* key;
        const char* sentence;
    } cases[] = {
        {"GIBTSNICHT", "", false, "A3",
         "Die Einstellung „CheckBoxGutschrift“ nennt die Spalte „GIBTSNICHT“, die es in der Tabelle "
         "PERSONAL_FREE nicht gibt."},
        {"SEPA_GUTSCHRIFT = 1 OR 1", "", false, "R0",
         "Die Einstellung „CheckBoxLastschrift“ nennt die Spalte „SEPA_GUTSCHRIFT = 1 OR 1“, die es in der "
         "Tabelle PERSONAL_FREE nicht gibt."},
        {"", "FAELLIG", false, "A3",
         "Die Einstellung „Einstellung Fälligkeitsdatum (DatumFaelligkeit)“ nennt die Spalte „FAELLIG“, die "
         "es "
         "in der Tabelle HEADERRECH nicht gibt."},
        {"", "", true, "A3",
         "Für die Eingrenzung nach Fälligkeitsdatum nennt die Einstellung Fälligkeitsdatum "
         "(DatumFaelligkeit) "
         "keine Spalte."},
    };
    for (const auto& c : cases) {
        prompter.messages.clear();
        input.strCheckBox = QString::fromUtf8(c.flag);
        input.txtDatumFaelligkeit = QString::fromUtf8(c.dueDate);
        input.optFaelligkeit = c.byDueDate;
        EXPECT_FALSE(load(QString::fromLatin1(c.key)));
        ASSERT_EQ(prompter.messages.size(), 1) << c.sentence;
        EXPECT_EQ(prompter.messages[0].text,
                  QStringLiteral("Fehler beim Anzeigen der Belege!\r") + QString::fromUtf8(c.sentence));
        EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::None);
        EXPECT_EQ(names(list), QStringList({"GU-1"}));
        EXPECT_EQ(list.columnCount(), 4);
        EXPECT_FALSE(prompter.busy);
    }
}

TEST_F(OpenInvoiceList, ARefusedStatementIsReportedAndTheRowsKept) {
    host.addInvoice(QStringLiteral("GU-1"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 100, 10.0);
    ASSERT_FALSE(load());
    host.exec(QStringLiteral("DROP TABLE COMM"));

    EXPECT_FALSE(load(QStringLiteral("R0")));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler beim Anzeigen der Belege!\r")));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("COMM")))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::None);
    EXPECT_EQ(prompter.messages[0].title, Prompter::applicationTitle());
    EXPECT_EQ(names(list), QStringList({"GU-1"}));
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(nodeKey, "R0");
}

TEST_F(OpenInvoiceList, AReloadKeepsTheSortSettingAndOrdersByValue) {
    host.addInvoice(QStringLiteral("GU-A"), QStringLiteral("A3"), QStringLiteral("2026-03-02"), 100, 2.0);
    host.addInvoice(QStringLiteral("GU-B"), QStringLiteral("A3"), QStringLiteral("2026-03-10"), 100, 1234.5);
    ASSERT_FALSE(load());
    list.sortByClick(3); // sorted and ascending: descending
    EXPECT_EQ(names(list), QStringList({"GU-B", "GU-A"}));

    host.addInvoice(QStringLiteral("GU-C"), QStringLiteral("A3"), QStringLiteral("2026-03-20"), 100, 99.99);
    ASSERT_FALSE(load());
    EXPECT_EQ(list.sortColumn(), 3);
    EXPECT_EQ(list.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(names(list), QStringList({"GU-B", "GU-C", "GU-A"}));
    EXPECT_EQ(list.text(0, 3), "1.234,50");
}

} // namespace
