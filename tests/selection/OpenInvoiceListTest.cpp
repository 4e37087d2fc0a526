#include "SelectionFixture.h"
#include "selection/PlausibilityCheck.h"

#include <QDateTime>

namespace {

using OpenInvoiceList = SelectionTest;

TEST_P(OpenInvoiceList, ShowsColumnsAndTextsAsTheHostHasThem) {
    input.txtDatumFaelligkeit = QStringLiteral("Faelligkeitsdatum"); // the host's spelling differs in case
    invoice(QStringLiteral("GU-1"), QStringLiteral("A3"), 1234.5);
    host.addInvoice(QStringLiteral("GU-2"), QStringLiteral("A3"), QStringLiteral("2026-03-06"), 101, 0.07);
    invoice(QStringLiteral("GU-O'3")); // a quote is a value, not statement text
    host.exec(QStringLiteral("UPDATE PERSONAL SET KURZBEZEICHNUNG = '  MÜLLER  ' WHERE ID_PERSONAL = 100"));
    setDueDate(QStringLiteral("GU-1"), QStringLiteral("2026-03-19 00:00:00"));
    setDueDate(QStringLiteral("GU-2"), QStringLiteral("2026-03-18 14:30:00"));

    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    EXPECT_FALSE(load());
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    EXPECT_EQ(captions(list), QStringList({"AbrechnungsNr", "A-Datum", "A-Kunde", "Bruttopreis", "Fällig"}));
    EXPECT_EQ(widths(list), QList<int>({2000, 1000, 2500, 1200, 1000}));
    EXPECT_EQ(list.column(0).alignment, Qt::AlignLeft);
    EXPECT_EQ(list.column(3).alignment, Qt::AlignRight);
    // Until a header is clicked the list is ordered by its first column.
    ASSERT_EQ(names(list), QStringList({"GU-1", "GU-2", "GU-O'3"}));
    EXPECT_EQ(texts(list, 0), QStringList({"GU-1", "05.03.2026", "MÜLLER", "1.234,50", "19.03.2026"}));
    EXPECT_EQ(texts(list, 1), QStringList({"GU-2", "06.03.2026", "SCHÄFER", "0,07", "18.03.2026 14:30:00"}));
    EXPECT_EQ(list.value(0, 3), QVariant(qint64(123450)));
    EXPECT_EQ(list.value(0, 1), QVariant(QDate(2026, 3, 5)));
    // A header without due date shows the time of the load.
    const QDateTime now = list.value(2, 4).toDateTime();
    EXPECT_TRUE(now >= before && now <= after) << now.toString().toStdString();
    EXPECT_EQ(list.text(2, 4),
              now.toString(now.time() == QTime(0, 0) ? "dd.MM.yyyy" : "dd.MM.yyyy HH:mm:ss"));
    EXPECT_FALSE(prompter.busy);
    // A key that would widen an inlined condition finds no document type.
    EXPECT_TRUE(load(QStringLiteral("A3' OR VER_TYPE <> '3")));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
}

TEST_P(OpenInvoiceList, NodeKeySelectsDocumentTypeAndTransferKind) {
    for (const char* name : {"RE-1", "RE-2", "RE-3"})
        invoice(QString::fromLatin1(name), QStringLiteral("R"));
    invoice(QStringLiteral("GU-1"));
    invoice(QStringLiteral("GU-2"));
    invoice(QStringLiteral("PA-1"), QStringLiteral("A1"));
    addMark(QStringLiteral("RE-1"), 0); // transferred by direct debit
    addMark(QStringLiteral("RE-2"), 3); // a mark of another kind does not count
    addMark(QStringLiteral("GU-1"), 3);
    addMark(QStringLiteral("GU-2"), 0);
    // NULL in SUBTEXT would make every NOT IN unknown.
    host.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, NULL, 0)"));

    for (const char* key : {"R0", "R", "xRy"}) {
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

TEST_P(OpenInvoiceList, ListsOnlyOpenPositiveInvoicesOfTheSameCustomerWithFlags) {
    invoice(QStringLiteral("OK"));
    invoice(QStringLiteral("NULL-PRICE"), QStringLiteral("A3"), QVariant());
    invoice(QStringLiteral("ZERO"), QStringLiteral("A3"), 0.0);
    invoice(QStringLiteral("NEGATIVE"), QStringLiteral("A3"), -5.0);
    invoice(QStringLiteral("OTHER-HEADER"));
    host.exec(QStringLiteral("UPDATE HEADERRECH SET KUNDE_ID = 101 WHERE R_NAME = 'OTHER-HEADER'"));
    invoice(QStringLiteral("PAID"));
    host.exec(
        QStringLiteral("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-06 00:00:00' WHERE R_NAME = 'PAID'"));
    host.addCustomer(102, QStringLiteral("Ohnefrei"));
    host.exec(QStringLiteral("DELETE FROM PERSONAL_FREE WHERE ID_PERSONAL = 102"));
    host.addInvoice(QStringLiteral("NO-FREE-ROW"), QStringLiteral("A3"), QStringLiteral("2026-03-05"), 102,
                    10.0);

    invoice(QStringLiteral("ZERO-ARTICLE"));
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 0 WHERE R_NAME = 'ZERO-ARTICLE'"));
    invoice(QStringLiteral("WITH-ARTICLE"));
    host.exec(QStringLiteral("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 3.5 WHERE R_NAME = 'WITH-ARTICLE'"));

    input.strKeineArtikelrechnung = QStringLiteral("0");
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"OK", "WITH-ARTICLE", "ZERO-ARTICLE"}));
    // KeineArtikelrechnung leaves out invoices with an article price.
    input.strKeineArtikelrechnung = QStringLiteral("1");
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"OK", "ZERO-ARTICLE"}));
}

TEST_P(OpenInvoiceList, FlagColumnOfTheSettingFiltersCustomers) {
    host.exec(QStringLiteral("UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = 0, SEPA_LASTSCHRIFT = 1 "
                             "WHERE ID_PERSONAL = 101"));
    host.exec(QStringLiteral(
        "UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = NULL, SEPA_LASTSCHRIFT = 0 WHERE ID_PERSONAL = 100"));
    host.addCustomer(102, QStringLiteral("Weber"));
    for (int customer : {100, 101, 102})
        host.addInvoice(QStringLiteral("GU-%1").arg(customer), QStringLiteral("A3"),
                        QStringLiteral("2026-03-05"), customer, 10.0);

    const std::pair<const char*, QStringList> cases[] = {
        {"", {"GU-100", "GU-101", "GU-102"}},
        {"SEPA_GUTSCHRIFT", {"GU-102"}},
        {"sepa_gutschrift", {"GU-102"}},
        {"SEPA_LASTSCHRIFT", {"GU-101", "GU-102"}},
    };
    for (const auto& [column, expected] : cases) {
        input.strCheckBox = QString::fromLatin1(column);
        EXPECT_FALSE(load());
        EXPECT_EQ(names(list), expected) << column;
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_P(OpenInvoiceList, InvoiceDateRangeTestsTheHeaderWhileTheJournalDateIsShown) {
    // Name, journal date, header date-time.
    const std::tuple<const char*, const char*, const char*> invoices[] = {
        {"GU-1", "2026-02-27", "2026-03-01 23:59:00"},
        {"GU-2", "2026-03-05", "2026-04-01 00:00:00"},
        {"GU-3", "2026-03-31", "2026-03-31 18:00:00"}};
    for (const auto& [name, journal, header] : invoices) {
        invoice(QString::fromLatin1(name), QStringLiteral("A3"), 10.0, QString::fromLatin1(journal));
        host.exec(QStringLiteral("UPDATE HEADERRECH SET INVDATE = ? WHERE R_NAME = ?"),
                  {QString::fromLatin1(header), QString::fromLatin1(name)});
    }
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"GU-1", "GU-3"}));
    EXPECT_EQ(list.text(0, 1), "27.02.2026");

    // An empty result removes columns and rows.
    input.dtpVon = QDate(2026, 4, 2);
    input.dtpBis = QDate(2026, 4, 30);
    EXPECT_TRUE(load());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_P(OpenInvoiceList, DueDateRangeCountsAMissingDueDateAsToday) {
    input.txtDatumFaelligkeit = QStringLiteral("FAELLIGKEITSDATUM");
    input.optFaelligkeit = true;
    const QDate today = QDate::currentDate();
    const QString old = QStringLiteral("2020-01-01");
    invoice(QStringLiteral("DUE-IN-RANGE"), QStringLiteral("A3"), 1.0, old);
    setDueDate(QStringLiteral("DUE-IN-RANGE"), today.addDays(3).toString("yyyy-MM-dd 23:00:00"));
    invoice(QStringLiteral("DUE-LATER"), QStringLiteral("A3"), 1.0, old);
    setDueDate(QStringLiteral("DUE-LATER"), today.addDays(40).toString("yyyy-MM-dd 00:00:00"));
    invoice(QStringLiteral("NO-DUE-DATE"), QStringLiteral("A3"), 1.0, old);

    input.dtpVon = today;
    input.dtpBis = today.addDays(3);
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"DUE-IN-RANGE", "NO-DUE-DATE"}));
    input.dtpVon = today.addDays(1);
    input.dtpBis = today.addDays(60);
    EXPECT_FALSE(load());
    EXPECT_EQ(names(list), QStringList({"DUE-IN-RANGE", "DUE-LATER"}));
    // The invoice date plays no part while the range applies to the due date.
    input.dtpVon = input.dtpBis = QDate(2020, 1, 1);
    EXPECT_TRUE(load());
}

// Settings naming columns that do not exist, and a statement the host
// refuses: one message each, and the list keeps the rows it had.
TEST_P(OpenInvoiceList, FailuresAreReportedAndTheRowsKept) {
    invoice(QStringLiteral("GU-1"));
    ASSERT_FALSE(load());

    const struct {
        const char* flag;
        const char* dueDate;
        bool byDueDate;
        const char* key;
        const char* sentence; // nullptr: the host's own error follows
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
        {"", "", false, "R", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence ? c.sentence : "refused");
        prompter.messages.clear();
        input.strCheckBox = QString::fromUtf8(c.flag);
        input.txtDatumFaelligkeit = QString::fromUtf8(c.dueDate);
        input.optFaelligkeit = c.byDueDate;
        if (!c.sentence)
            host.exec(QStringLiteral("DROP TABLE COMM"));
        EXPECT_FALSE(load(QString::fromLatin1(c.key)));
        ASSERT_EQ(prompter.messages.size(), 1);
        const RecordingPrompter::Message& m = prompter.messages[0];
        if (c.sentence)
            EXPECT_EQ(m.text,
                      QStringLiteral("Fehler beim Anzeigen der Belege!\r") + QString::fromUtf8(c.sentence));
        else
            EXPECT_TRUE(m.text.startsWith(QStringLiteral("Fehler beim Anzeigen der Belege!\r")) &&
                        m.text.contains(QStringLiteral("COMM")))
                << m.text.toStdString();
        EXPECT_EQ(m.icon, Prompter::Icon::None);
        EXPECT_EQ(m.title, Prompter::applicationTitle());
        EXPECT_EQ(names(list), QStringList({"GU-1"}));
        EXPECT_EQ(list.columnCount(), 4);
        EXPECT_FALSE(prompter.busy);
    }
    EXPECT_EQ(nodeKey, "R0");
}

TEST_P(OpenInvoiceList, AReloadKeepsTheSortSettingAndOrdersByValue) {
    invoice(QStringLiteral("GU-A"), QStringLiteral("A3"), 2.0);
    invoice(QStringLiteral("GU-B"), QStringLiteral("A3"), 1234.5);
    ASSERT_FALSE(load());
    list.sortByClick(3); // sorted and ascending: descending
    EXPECT_EQ(names(list), QStringList({"GU-B", "GU-A"}));

    invoice(QStringLiteral("GU-C"), QStringLiteral("A3"), 99.99);
    ASSERT_FALSE(load());
    EXPECT_EQ(list.sortColumn(), 3);
    EXPECT_EQ(list.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(names(list), QStringList({"GU-B", "GU-C", "GU-A"}));
    EXPECT_EQ(list.text(0, 3), "1.234,50");
}

INSTANTIATE_TEST_SUITE_P(Drivers, OpenInvoiceList, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
