#include "SelectionFixture.h"

#include <QDateTime>

namespace {

using OpenInvoiceList = SelectionTest;

TEST_P(OpenInvoiceList, ShowsColumnsAndTextsAsTheHostHasThem) {
    input.txtDatumFaelligkeit = "Faelligkeitsdatum"; // the host's spelling differs in case
    invoice("GU-1", "A3", 1234.5);
    host.addInvoice("GU-2", "A3", "2026-03-06", 101, 0.07);
    invoice("GU-O'3"); // a quote is a value, not statement text
    host.exec("UPDATE PERSONAL SET KURZBEZEICHNUNG = '  MÜLLER  ' WHERE ID_PERSONAL = 100");
    setDueDate("GU-1", "2026-03-19 00:00:00");
    setDueDate("GU-2", "2026-03-18 14:30:00");

    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    EXPECT_FALSE(load());
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    EXPECT_EQ(columns(list), QStringList({"AbrechnungsNr 2000", "A-Datum 1000", "A-Kunde 2500",
                                          "Bruttopreis 1200 >", "Fällig 1000"}));
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
    EXPECT_TRUE(load("A3' OR VER_TYPE <> '3"));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
}

// One host with every kind of invoice the list must leave out, and the
// filters the node key and the settings put on it.
TEST_P(OpenInvoiceList, ListsOnlyOpenPositiveInvoicesOfTheKeyTheRangeAndTheFlag) {
    for (const char* name : {"RE-1", "RE-2", "RE-3"})
        invoice(name, "R");
    invoice("PA-1", "A1");
    for (const auto& [name, price] : {std::pair<const char*, QVariant>{"GU-1", 10.0},
                                      {"GU-2", 10.0},
                                      {"NULL-PRICE", QVariant()},
                                      {"ZERO", 0.0},
                                      {"NEGATIVE", -5.0},
                                      {"PAID", 10.0},
                                      {"ZERO-ARTICLE", 10.0},
                                      {"WITH-ARTICLE", 10.0}})
        invoice(name, "A3", price);
    addMark("RE-1", 0); // transferred by direct debit
    addMark("RE-2", 3); // a mark of another kind does not count
    addMark("GU-1", 3);
    addMark("GU-2", 0);
    addMarkWithoutName();
    host.exec("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-06 00:00:00' WHERE R_NAME = 'PAID'");
    host.exec("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 0 WHERE R_NAME = 'ZERO-ARTICLE'");
    host.exec("UPDATE RECHNUNGSJOURNAL SET ARTIKELPREIS = 3.5 WHERE R_NAME = 'WITH-ARTICLE'");
    otherCustomerHeader("OTHER-HEADER");
    addCustomerWithoutFreeRow();
    host.addInvoice("NO-FREE-ROW", "A3", "2026-03-05", 102, 10.0);
    host.addCustomer(103, "Weber");
    host.addInvoice("GU-S", "A3", "2026-03-05", 101, 10.0);
    host.addInvoice("GU-W", "A3", "2026-03-05", 103, 10.0);
    host.exec("UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = 0, SEPA_LASTSCHRIFT = 1 WHERE ID_PERSONAL = 101");
    host.exec(
        "UPDATE PERSONAL_FREE SET SEPA_GUTSCHRIFT = NULL, SEPA_LASTSCHRIFT = 0 WHERE ID_PERSONAL = 100");
    // The range tests the header's date-time while the journal's date is shown.
    for (const auto& [name, journal, header] : {std::tuple{"GU-D1", "2026-02-27", "2026-03-01 23:59:00"},
                                                std::tuple{"GU-D2", "2026-03-05", "2026-04-01 00:00:00"},
                                                std::tuple{"GU-D3", "2026-03-31", "2026-03-31 18:00:00"}}) {
        invoice(name, "A3", 10.0, journal);
        host.exec("UPDATE HEADERRECH SET INVDATE = ? WHERE R_NAME = ?", {header, name});
    }

    const QStringList a3 = {"GU-2", "GU-D1", "GU-D3", "GU-S", "GU-W"};
    const struct {
        const char *key, *normalised, *flag, *noArticles;
        QStringList open;
    } rows[] = {{"R0", "R0", "", "0", {"RE-2", "RE-3"}},
                {"R", "R0", "", "0", {"RE-2", "RE-3"}},
                {"xRy", "R0", "", "0", {"RE-2", "RE-3"}},
                {"A1", "A1", "", "0", {"PA-1"}},
                {"A3", "A3", "", "0", a3 + QStringList{"WITH-ARTICLE", "ZERO-ARTICLE"}},
                // KeineArtikelrechnung leaves out invoices with an article price.
                {"A3", "A3", "", "1", a3 + QStringList{"ZERO-ARTICLE"}},
                {"A3", "A3", "SEPA_GUTSCHRIFT", "0", {"GU-W"}},
                {"A3", "A3", "sepa_gutschrift", "0", {"GU-W"}},
                {"A3", "A3", "SEPA_LASTSCHRIFT", "0", {"GU-S", "GU-W"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.flag + " " + row.noArticles);
        input.strCheckBox = row.flag;
        input.strKeineArtikelrechnung = row.noArticles;
        EXPECT_FALSE(load(row.key));
        EXPECT_EQ(names(list), row.open);
        EXPECT_EQ(nodeKey, row.normalised);
    }
    input.strCheckBox.clear();
    load();
    EXPECT_EQ(list.text(1, 1), "27.02.2026");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();

    // An empty result removes columns and rows.
    input.dtpVon = QDate(2026, 4, 2);
    input.dtpBis = QDate(2026, 4, 30);
    EXPECT_TRUE(load());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 0);
}

TEST_P(OpenInvoiceList, DueDateRangeCountsAMissingDueDateAsToday) {
    input.txtDatumFaelligkeit = "FAELLIGKEITSDATUM";
    input.optFaelligkeit = true;
    const QDate today = QDate::currentDate();
    for (const char* name : {"DUE-IN-RANGE", "DUE-LATER", "NO-DUE-DATE"})
        invoice(name, "A3", 1.0, "2020-01-01");
    setDueDate("DUE-IN-RANGE", today.addDays(3).toString("yyyy-MM-dd 23:00:00"));
    setDueDate("DUE-LATER", today.addDays(40).toString("yyyy-MM-dd 00:00:00"));

    const struct {
        QDate from, to;
        QStringList open;
    } rows[] = {{today, today.addDays(3), {"DUE-IN-RANGE", "NO-DUE-DATE"}},
                {today.addDays(1), today.addDays(60), {"DUE-IN-RANGE", "DUE-LATER"}},
                // The invoice date plays no part while the range applies to the due date.
                {QDate(2020, 1, 1), QDate(2020, 1, 1), {}}};
    for (const auto& row : rows) {
        input.dtpVon = row.from;
        input.dtpBis = row.to;
        EXPECT_EQ(load(), row.open.isEmpty());
        EXPECT_EQ(names(list), row.open);
    }
}

// Settings naming columns that do not exist, and a statement the host
// refuses: one message each, and the list keeps the rows it had.
TEST_P(OpenInvoiceList, FailuresAreReportedAndTheRowsKept) {
    invoice("GU-1");
    ASSERT_FALSE(load());
    const struct {
        const char *flag, *dueDate;
        bool byDueDate;
        const char* key;
        const char* sentence; // nullptr: the host's own error follows
    } cases[] = {
        {"SEPA_GUTSCHRIFT = 1 OR 1", "", false, "R0",
         "Die Einstellung „CheckBoxLastschrift“ nennt die Spalte „SEPA_GUTSCHRIFT = 1 OR 1“, die es in der "
         "Tabelle PERSONAL_FREE nicht gibt."},
        {"", "FAELLIG", false, "A3",
         "Die Einstellung „Einstellung Fälligkeitsdatum (DatumFaelligkeit)“ nennt die Spalte „FAELLIG“, die "
         "es in der Tabelle HEADERRECH nicht gibt."},
        {"", "", true, "A3",
         "Für die Eingrenzung nach Fälligkeitsdatum nennt die Einstellung Fälligkeitsdatum "
         "(DatumFaelligkeit) keine Spalte."},
        {"", "", false, "R", nullptr},
    };
    const QString failed = "Fehler beim Anzeigen der Belege!\r";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence ? c.sentence : "refused");
        prompter.messages.clear();
        input.strCheckBox = c.flag;
        input.txtDatumFaelligkeit = c.dueDate;
        input.optFaelligkeit = c.byDueDate;
        if (!c.sentence)
            host.exec("DROP TABLE COMM");
        EXPECT_FALSE(load(c.key));
        ASSERT_EQ(prompter.messages.size(), 1);
        const RecordingPrompter::Message& m = prompter.messages[0];
        if (c.sentence)
            EXPECT_EQ(m.text, failed + c.sentence);
        else
            EXPECT_TRUE(m.text.startsWith(failed) && m.text.contains("COMM")) << m.text.toStdString();
        EXPECT_EQ(m.icon, Prompter::Icon::None);
        EXPECT_EQ(m.title, Prompter::applicationTitle());
        EXPECT_EQ(names(list), QStringList({"GU-1"}));
        EXPECT_EQ(list.columnCount(), 4);
        EXPECT_FALSE(prompter.busy);
    }
    EXPECT_EQ(nodeKey, "R0");
}

INSTANTIATE_TEST_SUITE_P(Drivers, OpenInvoiceList, ::testing::Values("QSQLITE", "QODBC"));

} // namespace
