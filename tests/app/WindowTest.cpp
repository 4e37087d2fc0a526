#include "app/CreditorPanel.h"
#include "app/MainWindow.h"
#include "app/ReportPageView.h"
#include "app/ReportPreview.h"
#include "app/StatusLine.h"
#include "base/Windows1252.h"
#include "export/ExportRun.h"
#include "output/Beitrag.h"
#include "selection/InvoiceListModel.h"

#include "GuiApplication.h"
#include "PdfText.h"
#include "RecordingPrompter.h"
#include "SepaSamples.h"
#include "TempFolder.h"
#include "TestHostDb.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageRanges>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QTreeWidgetItem* node(const MainWindow& w, const QString& key) {
    for (QTreeWidgetItemIterator it(w.tvAbrechnungen); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == key)
            return *it;
    ADD_FAILURE() << "no node " << key.toStdString();
    return nullptr;
}
QPoint nodePoint(const MainWindow& w, const QString& key) {
    return w.tvAbrechnungen->visualItemRect(node(w, key)).center();
}
void mouseClickNode(MainWindow& w, const QString& key) {
    QTest::mouseClick(w.tvAbrechnungen->viewport(), Qt::LeftButton, {}, nodePoint(w, key));
}

void clickHeader(QTableView* view, int column) {
    QHeaderView* header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                             header->height() / 2));
}
void clickRow(QTableView* view, int row) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
}
QStringList names(const InvoiceListModel& list) {
    QStringList result;
    for (int row = 0; row < list.rowCount(); ++row)
        result << list.invoiceName(row);
    return result;
}

// A started, shown window on a test host database with two A3 invoices and one R
// invoice in March 2026.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGuiApplication();
        QDir(folder.path()).mkdir("prog");
        host.exec("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', 'CHKABRECHNUNG3', 1), "
                  "('F_STAMMEINKONF', 'CHKABRECHNUNG5', 1)");
        host.exec("INSERT INTO STRINGS VALUES (642, 'Rechnungen', NULL), (652, 'Honorar', 'Honorare Ärzte')");
        host.addCustomer(1, "Meier");
        host.addCustomer(2, "O'Brien");
        host.addInvoice("H-1", "A3", "2026-03-02", 1, 100.0);
        host.addInvoice("H-2", "A3", "2026-03-03", 2, 250.5);
        host.addInvoice("R-1", "R", "2026-03-04", 1, 80.0);
    }

    QString ownIni() const { return ProgramPaths{folder.file("prog")}.ownIni(); }
    // Marks an A3 invoice as transferred on 20 March 2026.
    void transfer(const char* name, double amount) {
        host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, ?, 3, '2026-03-20 00:00:00')",
                  {name});
        host.exec("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 10:00:00', GESPERRT = 1, ZAHL_BETRAG = ? "
                  "WHERE R_NAME = ?",
                  {amount, name});
    }
    std::unique_ptr<MainWindow> start(const QByteArray& ownIniContent = {}) {
        if (!ownIniContent.isEmpty())
            TempFolder::write(ownIni(), ownIniContent);
        auto w = std::make_unique<MainWindow>(ProgramPaths{folder.file("prog")}, &prompter);
        EXPECT_EQ(w->Form_Load(host.connectionString(), QDate(2026, 3, 15)), MainWindow::StartResult::Ready)
            << prompter.allText().toStdString();
        // Shown and active, so keys and focus go where a clerk's would.
        w->show();
        QApplication::setActiveWindow(w.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }

    TestHostDb host;
    TempFolder folder;
    RecordingPrompter prompter;
};

// Start-up shows the settlement types in the tree, reads
// the own INI file, tidies the transfer marks, loads no list and sets the
// default range: the first of the month to today.
TEST_F(WindowTest, StartShowsTheTreeReadsSettingsTidiesAndSetsTheDefaults) {
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, 'GONE', NULL)");
    auto w = start("ExportPfad=/srv/sepa\r\nFirmenName=Musterhandel\r\nexternebelegnummer=ext\r\n"
                   "DatumFaelligkeit=FAELLIGKEITSDATUM\r\nCheckBoxGutschrift=SEPA_GUTSCHRIFT\r\n");
    EXPECT_EQ(
        QStringList({w->strVer_Type, w->tvAbrechnungen->currentItem()->text(0), w->windowTitle(),
                     w->strExportPfad, w->panel->txtFirmenName->text(), w->panel->txtExtBelegnummer->text(),
                     w->strCheckBoxGutschrift, w->strCSV, w->dtpVon->date().toString("dd.MM.yyyy"),
                     w->dtpBis->date().toString("dd.MM.yyyy")}),
        QStringList({"A3", "Honorare Ärzte",
                     "BRV32-SEPA-Überweisung    Version: 1.0    Datenbank:     Parameter: ", "/srv/sepa/",
                     "Musterhandel", "EXT", "SEPA_GUTSCHRIFT", "0", "01.03.2026", "15.03.2026"}));
    EXPECT_TRUE(w->openInvoices().rowCount() == 0 && prompter.messages.isEmpty() &&
                w->SSTab1->currentIndex() == 0);
    EXPECT_TRUE(w->optBelegDate->isChecked() && !w->optFaelligkeit->isHidden() && w->bFLoadOK);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 0);
    EXPECT_TRUE(node(*w, "A")->isExpanded());
    EXPECT_TRUE(
        w->tvAbrechnungen->viewport()->rect().contains(w->tvAbrechnungen->visualItemRect(node(*w, "A5"))));
}

// A start that cannot reach its database ends with one message naming why,
// writes nothing and asks nothing on closing.
TEST_F(WindowTest, StartFailsWithOneMessageWhenTheDatabaseCannotBeReached) {
    TempFolder::write(folder.file("brevanta.Ini"), "SQLServer=127.0.0.1,1\r\nDatabaseName=brevanta\r\n");
    const struct {
        QString argument;
        QString says;
    } cases[] = {{"Provider=SQLite;Data Source=" + folder.file("fehlt.db"), "fehlt.db"},
                 {"", "Das Programm kann nicht gestartet werden."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        prompter.messages.clear();
        MainWindow w(ProgramPaths{folder.file("prog")}, &prompter);
        EXPECT_EQ(w.Form_Load(c.argument), MainWindow::StartResult::Failed);
        ASSERT_EQ(prompter.messages.size(), 1);
        const QString text = prompter.messages[0].text;
        EXPECT_TRUE(text.startsWith("Das Programm kann nicht gestartet werden.") && text.contains(c.says))
            << text.toStdString();
        EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
        EXPECT_FALSE(w.bFLoadOK);
        w.close();
        EXPECT_TRUE(prompter.questions.isEmpty() &&
                    QDir(folder.file("prog")).entryList(QDir::Files).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(folder.file("fehlt.db")));
}

// A node click loads the node's list with its flag column and runs the
// plausibility check after it; the group node loads nothing; an empty range
// is told per tab.
TEST_F(WindowTest, NodeClickLoadsTheListOfTheNodeThenChecksItsInvoices) {
    host.addInvoice("H-0", "A3", "2026-03-05", 1, 0.0);
    auto w = start("CheckBoxGutschrift=SEPA_GUTSCHRIFT\r\nCheckBoxLastschrift=SEPA_LASTSCHRIFT\r\n");
    ASSERT_TRUE(w->chooseNode("A3"));
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.allText().toStdString();
    EXPECT_EQ(prompter.messages[0].title, "Keine Preise");

    ASSERT_TRUE(w->chooseNode("A"));
    EXPECT_EQ(w->strVer_Type, "A");
    EXPECT_TRUE(w->openInvoices().rowCount() == 0 && w->openInvoices().columnCount() == 0);
    w->Refresh();
    EXPECT_EQ(prompter.messages.size(), 1);

    w->dtpVon->setDate(QDate(2025, 1, 1));
    w->dtpBis->setDate(QDate(2025, 1, 31));
    ASSERT_TRUE(w->chooseNode("A3"));
    w->tabClicked(1);
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);
    ASSERT_EQ(prompter.messages.size(), 3);
    EXPECT_EQ(prompter.messages[1].icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.messages[1].text + "\n" + prompter.messages[2].text,
              "Keine Daten für die ausgewählten Eingrenzungen vorhanden!\nKeine Daten für diesen Zeitraum "
              "vorhanden!");

    // A "Von:" after "Bis:" is told as such, on either tab.
    w->dtpVon->setDate(QDate(2026, 3, 20));
    w->dtpBis->setDate(QDate(2026, 3, 10));
    for (int tab : {1, 0}) {
        QTest::mouseClick(w->SSTab1->tabBar(), Qt::LeftButton, {},
                          w->SSTab1->tabBar()->tabRect(tab).center());
        EXPECT_EQ(prompter.messages.last().text,
                  QString(tab ? "Keine Daten für diesen Zeitraum vorhanden!"
                              : "Keine Daten für die ausgewählten Eingrenzungen vorhanden!") +
                      "\rDas Datum „Von:“ (20.03.2026) liegt nach dem Datum „Bis:“ (10.03.2026).");
    }
    EXPECT_EQ(prompter.messages.size(), 5);
}

TEST_F(WindowTest, HeaderClicksSortByValueAndAReloadKeepsTheOrderOfTies) {
    host.addInvoice("H-3", "A3", "2026-03-10", 1, 1234.5);
    host.addInvoice("H-4", "A3", "2026-03-09", 1, 2.0);
    auto w = start();
    mouseClickNode(*w, "A3");
    clickHeader(w->lvAbrechnungen, 3); // descending: the list was ascending
    EXPECT_EQ(names(w->openInvoices()), QStringList({"H-3", "H-2", "H-1", "H-4"}));
    clickHeader(w->lvAbrechnungen, 2); // by customer, ascending; the three of Meier stay as shown
    const QStringList shown({"H-3", "H-1", "H-4", "H-2"});
    EXPECT_EQ(names(w->openInvoices()), shown);
    QTest::mouseClick(w->btnAktualisieren, Qt::LeftButton);
    EXPECT_EQ(names(w->openInvoices()), shown);
    host.addInvoice("H-0", "A3", "2026-03-11", 1, 5.0);
    QTest::mouseClick(w->btnAktualisieren, Qt::LeftButton);
    EXPECT_EQ(names(w->openInvoices()), QStringList({"H-3", "H-1", "H-4", "H-0", "H-2"})); // new rows last
}

TEST_F(WindowTest, BoxesTakeWhatTheyMayAndLetEditingAndFocusKeysThrough) {
    auto w = start();
    QLineEdit* plz = w->panel->txtPLZ;
    QTest::mouseClick(plz, Qt::LeftButton);
    QTest::keyClicks(plz, "12a45");
    EXPECT_EQ(plz->text(), "1245");
    QTest::keyClicks(plz, "67");
    EXPECT_EQ(plz->text(), "12456");
    QTest::keyClick(plz, Qt::Key_Backspace);
    EXPECT_EQ(plz->text(), "1245");
    QTest::keyClick(plz, Qt::Key_Home);
    // X11 gives Delete the text DEL.
    QTest::sendKeyEvent(QTest::Click, plz, Qt::Key_Delete, QString(QChar(0x7f)), Qt::NoModifier);
    EXPECT_EQ(plz->text(), "245");
    QTest::keyClick(plz, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->panel->txtOrt);

    // A click into a date selects the section under it, so typed digits replace it.
    auto clickAt = [](QDateEdit* picker, const QString& textBefore) {
        QLineEdit* edit = picker->findChild<QLineEdit*>();
        const int x = edit->contentsRect().left() + 3 + edit->fontMetrics().horizontalAdvance(textBefore);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(x, edit->height() / 2));
    };
    clickAt(w->dtpVon, "01.03.20"); // on the year
    QTest::keyClicks(QApplication::focusWidget(), "2025");
    EXPECT_EQ(w->dtpVon->date(), QDate(2025, 3, 1));
    clickAt(w->dtpBis, ""); // on the day: the whole date runs on through the sections
    QTest::keyClicks(QApplication::focusWidget(), "01112026");
    EXPECT_EQ(w->dtpBis->date(), QDate(2026, 11, 1));
}

// However the current node changes, the node click runs once, for the node
// shown as selected.
struct NodeGesture {
    const char* name;
    void (*act)(MainWindow&);
    const char* shownKey;
    int rows;
};

class NodeGestures : public WindowTest, public ::testing::WithParamInterface<NodeGesture> {};

TEST_P(NodeGestures, LoadTheListOfTheNodeShownAsSelectedOnce) {
    auto w = start("CheckBoxGutschrift=SEPA_GUTSCHRIFT\r\nCheckBoxLastschrift=SEPA_LASTSCHRIFT\r\n");
    QSignalSpy loads(&w->openInvoices(), &QAbstractItemModel::modelReset);
    GetParam().act(*w);
    const QString key = GetParam().shownKey;
    EXPECT_EQ(QStringList({w->tvAbrechnungen->currentItem()->data(0, Qt::UserRole).toString(), w->strVer_Type,
                           w->strCheckBox}),
              QStringList({key, key, key == "R0" ? "SEPA_LASTSCHRIFT" : "SEPA_GUTSCHRIFT"}));
    EXPECT_EQ(w->openInvoices().rowCount(), GetParam().rows);
    EXPECT_EQ(loads.count(), 2); // emptied once, loaded once
}

INSTANTIATE_TEST_SUITE_P(
    Window, NodeGestures,
    ::testing::Values(
        NodeGesture{"ClickOnAnotherNode", [](MainWindow& w) { mouseClickNode(w, "R0"); }, "R0", 1},
        NodeGesture{"ClickOnTheSelectedNodeAgain", [](MainWindow& w) { mouseClickNode(w, "A3"); }, "A3", 2},
        NodeGesture{"PressOnOneReleaseOnAnother",
                    [](MainWindow& w) {
                        QWidget* rows = w.tvAbrechnungen->viewport();
                        QTest::mousePress(rows, Qt::LeftButton, {}, nodePoint(w, "A3"));
                        QTest::mouseMove(rows, nodePoint(w, "A"));
                        QTest::mouseMove(rows, nodePoint(w, "R0"));
                        QTest::mouseRelease(rows, Qt::LeftButton, {}, nodePoint(w, "R0"));
                    },
                    "R0", 1},
        NodeGesture{"KeyHome",
                    [](MainWindow& w) {
                        w.tvAbrechnungen->setFocus();
                        QTest::keyClick(w.tvAbrechnungen, Qt::Key_Home);
                    },
                    "R0", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A field counts as changed when it is left, and the field that has the
// focus when the window closes counts as left. Closing asks only after a
// change; No keeps the file as it was, Yes writes it, with the diskette as
// the export folder of a file that had none.
struct ClosingWay {
    const char* name;
    const char* typed; // into "Ort:"; nothing when only tabbing through the panel, null for no change
    bool closeBox;     // the window manager's close box, otherwise Alt+B for "&Beenden"
    bool answer = true;
    QByteArray ownIni = {};
};

class ClosingWays : public WindowTest, public ::testing::WithParamInterface<ClosingWay> {};

TEST_P(ClosingWays, AskToSaveAndSaveWhatWasTyped) {
    const ClosingWay& c = GetParam();
    auto w = start(c.ownIni);
    EXPECT_TRUE(w->optFaelligkeit->isHidden()); // no due-date setting
    if (c.typed && *c.typed) {
        QTest::mouseClick(w->panel->txtOrt, Qt::LeftButton);
        for (const QChar ch : QString::fromUtf8(c.typed)) // as typed keys, whatever the letter
            QTest::sendKeyEvent(QTest::Click, w->panel->txtOrt, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    } else if (c.typed) {
        QTest::mouseClick(w->panel->txtFirmenName, Qt::LeftButton);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    prompter.answers = {c.answer};
    if (c.closeBox) {
        QCloseEvent close; // what the window manager's close box sends
        QApplication::sendEvent(w->windowHandle(), &close);
    } else {
        QTest::keyClick(w.get(), Qt::Key_B, Qt::AltModifier);
        QTest::qWait(300); // the button's animated click
    }
    EXPECT_FALSE(w->isVisible());
    if (!c.typed) {
        EXPECT_TRUE(prompter.questions.isEmpty());
        EXPECT_FALSE(QFile::exists(ownIni()));
        return;
    }
    ASSERT_EQ(prompter.questions, QStringList({"Wollen Sie die Änderungen der Firmendaten speichern?"}));
    const QByteArray saved = TempFolder::read(ownIni());
    if (!c.answer) {
        EXPECT_EQ(saved, c.ownIni);
        return;
    }
    bool lossy = false;
    const QByteArray ort = Windows1252::encode(QString::fromUtf8(c.typed), &lossy);
    EXPECT_TRUE(saved.startsWith("ExportPfad=A:\\\r\n") && saved.contains("\r\nOrt=" + ort + "\r\n"))
        << saved.toStdString();
    // A character the file cannot hold is told, with a warning.
    ASSERT_EQ(prompter.messages.size(), lossy ? 1 : 0);
    EXPECT_TRUE(!lossy || prompter.messages[0].icon == Prompter::Icon::Warning);
}

INSTANTIATE_TEST_SUITE_P(Window, ClosingWays,
                         ::testing::Values(ClosingWay{"UnchangedCloseBox", nullptr, true},
                                           ClosingWay{"TypedThenCloseBox", "Bonn", true},
                                           ClosingWay{"TypedThenAltB", "Bonn", false},
                                           ClosingWay{"TabbedThroughThenCloseBox", "", true},
                                           ClosingWay{"TypedOutsideWindows1252", "Łódź", true},
                                           ClosingWay{"TypedAnsweredNo", "Bonn", true, false,
                                                      "; von Hand\nFirmenName = Alt \nUnbekannt=bleibt"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Active clients are listed by short name; a customer sharing a client's
// short name never wins.
TEST_F(WindowTest, ClientLoadingListsActiveClientsAndOverwritesTheCompanyFieldsOnYes) {
    const QString insert =
        "INSERT INTO PERSONAL (ID_PERSONAL, NUMMER, KURZBEZEICHNUNG, NAME, VORNAME, STRASSE, PLZ, "
        "ORT, telefon, telefax, BANK, BIC, IBAN, bank2, BIC2, IBAN2, use_bank2, GLAUBIGERID, "
        "KUNDE, mandanten, disable) VALUES (?, ?, ?, ?, ?, 'Ringstraße 1', 'A-1010', 'Wien', "
        "'01 234', NULL, 'Bank eins', 'BKAUATWW', 'AT611904300234573201', 'Bank zwei', "
        "'GIBAATWWXXX', 'AT483200000012345864', ?, 'AT61ZZZ01234567890', ?, ?, ?)";
    host.exec(insert, {50, 2, "HAUPT", "Musterhandel Österreich Vertriebsgesellschaft", "GmbH", 0, 0, 1, 0});
    host.exec(insert, {51, 1, "D'ARC", "Jeanne", QVariant(), 1, 0, 1, 0});
    host.exec(insert, {52, 3, "ALT", "Alt", "KG", 0, 0, 1, 1});
    host.exec(insert, {53, 0, "HAUPT", "Kunde", "Fremd", 0, 1, 0, 0});
    auto w = start("Verwendungszweck=Lauf\r\nFirmenName=Alt\r\n");
    w->panel->chkMandantAusDB->setChecked(true);
    ASSERT_TRUE(w->panel->cmbMandant->isEnabled());
    ASSERT_EQ(w->panel->cmbMandant->count(), 2);
    EXPECT_EQ(w->panel->cmbMandant->itemText(0) + " " + w->panel->cmbMandant->itemText(1), "D'ARC HAUPT");

    prompter.answers = {false};
    w->panel->cmbMandant->setCurrentText("HAUPT");
    w->panel->LoadMandantAdresse();
    EXPECT_EQ(w->panel->txtFirmenName->text(), "Alt");
    EXPECT_FALSE(w->bAdressAenderung);

    w->panel->LoadMandantAdresse();
    EXPECT_EQ(prompter.questions.last(),
              "Wollen Sie wirklich die Adressdaten und Bankdaten vom gewählten Mandanten laden?");
    const CreditorPanel& p = *w->panel;
    EXPECT_EQ(
        QStringList({p.txtFirmenName->text(), p.txtPLZ->text(), p.txtTelefax->text(), p.txtBank->text(),
                     p.txtKontonummer->text(), p.txtGlaubigerID->text(), p.txtVerwendungszweck->text()}),
        QStringList({"Musterhandel Österreich Vertriebsge", "A-101", "", "Bank eins", "AT611904300234573201",
                     "AT61ZZZ01234567890", "Lauf"})); // the name cut to 35 characters
    EXPECT_TRUE(w->bAdressAenderung);

    w->panel->cmbMandant->setCurrentText("D'ARC");
    w->panel->LoadMandantAdresse();
    EXPECT_EQ(QStringList({p.txtFirmenName->text(), p.txtBank->text(), p.txtBankleitzahl->text()}),
              QStringList({"Jeanne ", "Bank zwei", "GIBAATWWXXX"}));

    w->panel->chkMandantAusDB->setChecked(false);
    EXPECT_FALSE(w->panel->cmbMandant->isEnabled());

    // A short name without an active person.
    prompter.messages.clear();
    w->bAdressAenderung = false;
    w->panel->cmbMandant->setEditable(true);
    w->panel->cmbMandant->setCurrentText("ALT");
    w->panel->LoadMandantAdresse();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Keine Mandantenadresse gefunden!");
    EXPECT_FALSE(w->bAdressAenderung);
}

// A release asks first, Nein preset, and keeps the invoices on Nein; the
// status line of the last release goes with the tab.
TEST_F(WindowTest, TheOverviewReloadsOnATabDoubleClickPrintsAsShownAndReleases) {
    transfer("H-1", 100.0);
    transfer("H-2", 250.5);
    auto w = start();
    mouseClickNode(*w, "A3");
    EXPECT_EQ(w->openInvoices().rowCount(), 0);
    QTabBar* tabs = w->SSTab1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);
    ASSERT_EQ(w->transferred().rowCount(), 2);
    host.addInvoice("H-3", "A3", "2026-03-05", 1, 7.0);
    transfer("H-3", 7.0);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_EQ(w->transferred().rowCount(), 3);

    clickHeader(w->lvUebersicht, 0); // descending
    QTest::mouseClick(w->btnUEDrucken, Qt::LeftButton);
    const QString page =
        PdfText::shownReportPages(prompter.reports, "Uebersicht", folder.file("ue.pdf")).join('\f');
    EXPECT_TRUE(page.indexOf("H-3") < page.indexOf("H-2") && page.indexOf("H-2") < page.indexOf("H-1"))
        << page.toStdString();

    clickRow(w->lvUebersicht, 0);
    QTest::mouseClick(w->lvUebersicht->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      w->lvUebersicht->visualRect(w->transferred().index(2, 0)).center());
    EXPECT_EQ(w->lblAuswahlUebersicht->text(), "2 von 3 ausgewählt, 107,00 EUR");
    prompter.answers = {false};
    QTest::mouseClick(w->btnUERefreigeben, Qt::LeftButton);
    EXPECT_EQ(prompter.questions.last(),
              "2 übergeleitete Rechnungen wieder freigeben?\rSie können danach erneut "
              "überwiesen oder eingezogen werden.");
    EXPECT_EQ(prompter.presets.last(), Prompter::Default::No);
    EXPECT_EQ(w->transferred().rowCount(), 3);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 3);

    clickRow(w->lvUebersicht, 0);
    QTest::mouseClick(w->btnUERefreigeben, Qt::LeftButton);
    EXPECT_EQ(
        prompter.questions.last(),
        "1 übergeleitete Rechnung wieder freigeben?\rSie können danach erneut überwiesen oder eingezogen "
        "werden.");
    EXPECT_EQ(names(w->transferred()), QStringList({"H-2", "H-1"}));
    EXPECT_EQ(w->lblStatus->text(), "1 Rechnung freigegeben.");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(w->lblStatus->text(), "");
}

// The preview lays the report out once and paints pages as they come into
// view; what it prints reads as the batch PDF of the same report, and a
// print that fails is told.
TEST_F(WindowTest, ThePreviewTurnsPagesPaintsThemPrintsARangeAsTheBatchPdfReadsAndTellsAFailedPrint) {
    BookingList bookings;
    for (int i = 0; i < 130; ++i) {
        Buchung b = SepaSamples::booking(i + 1, 100 * i);
        if (i % 2 == 0) // names that wrap
            b.DruckName = "von Bismarck-Schönhausen Verwaltungs GmbH";
        bookings.append(b);
    }
    const Report report = beitragReport(beitragRows(bookings, {}), QDate(2026, 12, 7));
    const QStringList batch = PdfText::reportPages(report, folder.file("batch.pdf"));
    ASSERT_GE(batch.size(), 3);

    ReportPreview preview(QStringLiteral("Beitrag"), report);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    const QString count = QString::number(batch.size());
    EXPECT_EQ(preview.pageText(), "Seite 1 von " + count);
    QTest::keyClick(preview.view(), Qt::Key_End);
    EXPECT_EQ(preview.pageText(), "Seite " + count + " von " + count);
    QTest::keyClick(preview.view(), Qt::Key_PageUp);
    const QString oneBack = "Seite " + QString::number(batch.size() - 1) + " von " + count;
    EXPECT_EQ(preview.pageText(), oneBack);
    const QImage shown =
        preview.view()->viewport()->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    int inked = 0; // text is black, the desk and the sheets' edges grey
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            inked += shown.pixelColor(x, y).value() < 64;
    EXPECT_GT(inked, 2000);
    preview.view()->zoomBy(2);
    preview.view()->setZoom(ReportPageView::Zoom::FitPage); // the scroll range shrinks, the page stays
    EXPECT_EQ(preview.pageText(), oneBack);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.file("printed.pdf"));
    ASSERT_TRUE(preview.printPages(printer, QPageRanges::fromString("2-3")));
    EXPECT_EQ(PdfText::pages(folder.file("printed.pdf")), batch.mid(1, 2));

    QString told;
    QTimer::singleShot(0, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    printer.setOutputFileName(folder.file("missing/printed.pdf"));
    EXPECT_FALSE(preview.printPages(printer, {}));
    EXPECT_TRUE(told.startsWith("Der Bericht konnte nicht gedruckt werden")) << told.toStdString();
}

// The start button checks the creditor panel and the selection first; "a:"
// is still the diskette, whose write test fails here. A run that writes its
// file reloads the list and says what it did.
TEST_F(WindowTest, StartButtonChecksThePanelThenExportsAndSaysWhatItDid) {
    auto w = start("ExportPfad=a:\r\nBankleitzahl=COBADEFFXXX\r\nVerwendungszweck=Test\r\n");
    mouseClickNode(*w, "A3");
    const std::pair<QLineEdit*, const char*> panel[] = {
        {w->panel->txtKontonummer, "eine IBAN"},
        {w->panel->txtFirmenName, "einen Firmennamen"},
        {w->panel->txtBank, "Sie müssen eine Bank eingeben!"},
        {nullptr, "Sie haben keine Abrechnungen für die Überleitung selektiert!"}};
    for (const auto& [box, says] : panel) {
        w->cmdStart_Click();
        EXPECT_TRUE(prompter.messages.value(prompter.messages.size() - 1).text.contains(says)) << says;
        if (box)
            box->setText(box == w->panel->txtKontonummer ? "DE89370400440532013000" : "Musterhandel");
    }
    EXPECT_EQ(prompter.messages.size(), 4); // one message per click
    EXPECT_EQ(prompter.messages[3].icon, Prompter::Icon::Information);
    prompter.messages.clear();
    clickRow(w->lvAbrechnungen, 0);
    QTest::mouseClick(w->cmdStart, Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.allText().toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains("Es ist keine Diskette eingelegt!"));
    EXPECT_EQ(w->lblStatus->text(), "Der Lauf endete ohne Datei; es wurde nichts gebucht.");

    w->strExportPfad = folder.path() + "/";
    clickRow(w->lvAbrechnungen, 1);
    QTest::mouseClick(w->cmdStart, Qt::LeftButton);
    const QStringList files = QDir(folder.path()).entryList({"UW_Test_*.xml"}, QDir::Files);
    ASSERT_EQ(files.size(), 1) << prompter.allText().toStdString();
    EXPECT_EQ(w->lblStatus->text(),
              "1 Überweisung über 250,50 EUR in " + files[0] + " geschrieben und gebucht.");
    EXPECT_EQ(names(w->openInvoices()), QStringList({"H-1"}));
    // The word on the last run goes with its node.
    mouseClickNode(*w, "R0");
    EXPECT_EQ(w->lblStatus->text(), "");
}

// Before anything is read or written the start button asks, with the count
// and sum of the selected rows as the line under the list shows them and
// Nein preset; Nein leaves the database and the export folder as they were.
struct ExportAsked {
    const char* name;
    const char* key;
    QList<int> rows; // clicked, the later ones with Ctrl
    const char* line;
    const char* question;
};

class ExportQuestions : public WindowTest, public ::testing::WithParamInterface<ExportAsked> {};

TEST_P(ExportQuestions, CountAndSumTheSelectionAndLeaveAllOnNein) {
    const ExportAsked& c = GetParam();
    host.addInvoice("R-2", "R", "2026-03-05", 2, 1234.56);
    auto w = start(("ExportPfad=" + folder.file("export") +
                    "\r\nFirmenName=Musterhandel\r\nBank=Bank\r\n"
                    "Kontonummer=DE89370400440532013000\r\n")
                       .toUtf8());
    QDir(folder.path()).mkdir("export");
    mouseClickNode(*w, c.key);
    EXPECT_EQ(w->lblAuswahl->text(), QString::fromUtf8(c.line).section('|', 0, 0));
    for (int i = 0; i < c.rows.size(); ++i)
        QTest::mouseClick(w->lvAbrechnungen->viewport(), Qt::LeftButton,
                          i ? Qt::ControlModifier : Qt::NoModifier,
                          w->lvAbrechnungen->visualRect(w->openInvoices().index(c.rows[i], 0)).center());
    EXPECT_EQ(w->lblAuswahl->text(), QString::fromUtf8(c.line).section('|', 1));
    prompter.answers = {false};
    QTest::mouseClick(w->cmdStart, Qt::LeftButton);
    EXPECT_EQ(prompter.questions, QStringList({QString::fromUtf8(c.question)}));
    EXPECT_EQ(prompter.presets, QList<Prompter::Default>({Prompter::Default::No}));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();
    EXPECT_EQ(QDir(folder.file("export")).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 0);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM HEADERRECH WHERE ZAHLDATUM IS NOT NULL").toInt(), 0);
    EXPECT_EQ(w->openInvoices().rowCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Window, ExportQuestions,
    ::testing::Values(
        ExportAsked{
            "TwoTransfers",
            "A3",
            {0, 1},
            "0 von 2 ausgewählt, 0,00 EUR|2 von 2 ausgewählt, 350,50 EUR",
            "2 Überweisungen über 350,50 EUR für Honorare Ärzte exportieren und als übergeleitet buchen?"},
        ExportAsked{
            "OneTransfer",
            "A3",
            {1},
            "0 von 2 ausgewählt, 0,00 EUR|1 von 2 ausgewählt, 250,50 EUR",
            "1 Überweisung über 250,50 EUR für Honorare Ärzte exportieren und als übergeleitet buchen?"},
        ExportAsked{
            "DirectDebits",
            "R0",
            {1, 0},
            "0 von 2 ausgewählt, 0,00 EUR|2 von 2 ausgewählt, 1.314,56 EUR",
            "2 Lastschriften über 1.314,56 EUR für Rechnungen exportieren und als übergeleitet buchen?"}),
    [](const auto& info) { return std::string(info.param.name); });

// A clerk at the window's own boxes: each modal window, as it opens, is
// read and answered with the next key; one beyond the keys is closed with
// Escape, so a fault shows as a failure and never as a window left waiting.
struct SeenModal {
    QString title;
    QString text;
    QString preset;
};
class Clerk {
public:
    explicit Clerk(QList<Qt::Key> keys) : m_keys(std::move(keys)) {
        QObject::connect(&m_look, &QTimer::timeout, [this] { look(); });
        m_look.start(0);
    }
    QList<SeenModal> seen;

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_answered)
            return;
        m_answered = modal;
        SeenModal s{modal->windowTitle(), {}, {}};
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            s.text = box->text();
            if (box->defaultButton())
                s.preset = box->defaultButton()->text();
        }
        seen << s;
        QTest::keyClick(modal, m_keys.isEmpty() ? Qt::Key_Escape : m_keys.takeFirst());
    }

    QList<Qt::Key> m_keys;
    QTimer m_look;
    QPointer<QWidget> m_answered; // gone with its window, so a new one at its address counts
};

// Enter takes the preset Nein of both questions that move money; the
// overview's preview names itself with its umlaut.
TEST_F(WindowTest, EnterAnswersNeinInTheWindowsOwnBoxesAndThePreviewSaysUebersichtWithItsUmlaut) {
    transfer("H-2", 250.5);
    TempFolder::write(ownIni(),
                      ("ExportPfad=" + folder.file("export") +
                       "\r\nFirmenName=Musterhandel\r\nBank=Bank\r\nKontonummer=DE89370400440532013000\r\n")
                          .toUtf8());
    QDir(folder.path()).mkdir("export");
    MainWindow w(ProgramPaths{folder.file("prog")});
    ASSERT_EQ(w.Form_Load(host.connectionString(), QDate(2026, 3, 15)), MainWindow::StartResult::Ready);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    mouseClickNode(w, "A3");
    clickRow(w.lvAbrechnungen, 0);
    {
        Clerk clerk({Qt::Key_Return});
        QTest::mouseClick(w.cmdStart, Qt::LeftButton);
        ASSERT_EQ(clerk.seen.size(), 1);
        EXPECT_EQ(
            QStringList({clerk.seen[0].title, clerk.seen[0].text, clerk.seen[0].preset}),
            QStringList({"SEPA",
                         "1 Überweisung über 100,00 EUR für Honorare Ärzte exportieren und als übergeleitet "
                         "buchen?",
                         "&Nein"}));
    }
    EXPECT_EQ(QDir(folder.file("export")).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(names(w.openInvoices()), QStringList({"H-1"}));

    QTabBar* tabs = w.SSTab1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    clickRow(w.lvUebersicht, 0);
    {
        Clerk clerk({Qt::Key_Return});
        QTest::mouseClick(w.btnUERefreigeben, Qt::LeftButton);
        ASSERT_EQ(clerk.seen.size(), 1);
        EXPECT_EQ(clerk.seen[0].preset, "&Nein");
        EXPECT_TRUE(clerk.seen[0].text.startsWith("1 übergeleitete Rechnung wieder freigeben?"))
            << clerk.seen[0].text.toStdString();
    }
    EXPECT_EQ(names(w.transferred()), QStringList({"H-2"}));
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 1);

    Clerk clerk({Qt::Key_Escape});
    QTest::mouseClick(w.btnUEDrucken, Qt::LeftButton);
    ASSERT_EQ(clerk.seen.size(), 1);
    EXPECT_EQ(clerk.seen[0].title, "Druckvorschau – Übersicht");
}

// On a screen of 1024x768 the window opens inside it with every control at
// least at its smallest size, the list's columns in view, and the IBAN box
// showing a whole IBAN of 34 characters.
TEST_F(WindowTest, OpensWithinASmallScreenWithEveryControlAndAWholeIban) {
    auto w = start("FirmenName=Musterhandel Süd GmbH\r\nBank=Stadtsparkasse München\r\n"
                   "DatumFaelligkeit=FAELLIGKEITSDATUM\r\n");
    mouseClickNode(*w, "A3");
    const QRect available = w->screen()->availableGeometry();
    ASSERT_EQ(available.size(), QSize(1024, 768)); // the tests' screen
    EXPECT_TRUE(available.contains(w->frameGeometry()))
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    const QList<QWidget*> controls = {w->tvAbrechnungen,
                                      w->btnAktualisieren,
                                      w->rbSort[1],
                                      w->panel->txtFirmenName,
                                      w->panel->txtBank,
                                      w->panel->txtKontonummer,
                                      w->panel->txtDatumFaelligkeit,
                                      w->lvAbrechnungen,
                                      w->lblAuswahl,
                                      w->cmdStart,
                                      w->cmdBeenden};
    for (QWidget* control : controls) {
        const QRect shown(control->mapTo(w.get(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(control->isVisible() && w->rect().contains(shown) &&
                    control->width() >= control->minimumSizeHint().width())
            << control->objectName().toStdString();
    }
    QHeaderView* header = w->lvAbrechnungen->horizontalHeader();
    const int last = w->openInvoices().columnCount() - 1;
    EXPECT_EQ(w->openInvoices().column(last).caption, "Fällig");
    EXPECT_LE(header->sectionViewportPosition(last) + header->sectionSize(last),
              w->lvAbrechnungen->viewport()->width());
    for (const QLineEdit* box : {w->panel->txtFirmenName, w->panel->txtBank})
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), box->contentsRect().width() - 8)
            << box->text().toStdString();

    QLineEdit* iban = w->panel->txtKontonummer;
    QTest::mouseClick(iban, Qt::LeftButton);
    const QString longest = "MT84MALT011000012345MTLCAST001S999";
    ASSERT_EQ(longest.size(), 34);
    QTest::keyClicks(iban, longest);
    QTest::keyClick(iban, Qt::Key_End);
    // Scrolled, the text would begin left of the box.
    EXPECT_GE(iban->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() -
                  iban->fontMetrics().horizontalAdvance(longest),
              0);
    QTest::keyClick(iban, Qt::Key_Home);
    EXPECT_EQ(iban->text(), longest);
}

TEST(StatusLine, NamesTheKindOfPaymentAndAFileThatStayedWithoutBooking) {
    TempFolder folder;
    ExportOutcome outcome;
    outcome.posted = true;
    outcome.paymentFile = folder.file("LS_Lauf_07122026T153104.xml");
    outcome.count = 300;
    outcome.controlSumCents = 30392850;
    EXPECT_EQ(
        StatusLine::exportRun(outcome, true),
        "300 Lastschriften über 303.928,50 EUR in LS_Lauf_07122026T153104.xml geschrieben und gebucht.");
    outcome.paymentFile = folder.file("UW_Lauf_07122026T153104.xml");
    outcome.options = {SepaVersion::Iso2019, true, "VoPOptIn"};
    EXPECT_EQ(
        StatusLine::exportRun(outcome, false),
        "300 Überweisungen über 303.928,50 EUR als Echtzeitüberweisungen, Empfängerprüfung VoPOptIn, in "
        "UW_Lauf_07122026T153104.xml geschrieben und gebucht.");
    outcome.paymentFile = folder.file("LS_Lauf_07122026T153104.xml");
    outcome.posted = false;
    TempFolder::write(outcome.paymentFile, "<Document/>");
    EXPECT_EQ(StatusLine::exportRun(outcome, true),
              "Der Lauf endete ohne Buchung; LS_Lauf_07122026T153104.xml darf nicht an die Bank gehen.");
}

} // namespace
