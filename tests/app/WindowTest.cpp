#include "app/CreditorPanel.h"
#include "app/MainWindow.h"
#include "selection/InvoiceListModel.h"

#include "GuiApplication.h"
#include "RecordingPrompter.h"
#include "TempFolder.h"
#include "TestHostDb.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPdfWriter>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// A started window on a test host database with two A3 invoices and one R
// invoice in March 2026.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGuiApplication();
        QDir(folder.path()).mkdir("prog");
        host.exec("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', 'CHKABRECHNUNG3', 1)");
        host.exec("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', 'CHKABRECHNUNG5', 1)");
        host.exec("INSERT INTO STRINGS VALUES (642, 'Rechnungen', NULL)");
        host.exec("INSERT INTO STRINGS VALUES (652, 'Honorar', 'Honorare Ärzte')");
        host.addCustomer(1, "Meier");
        host.addCustomer(2, "O'Brien");
        host.addInvoice("H-1", "A3", "2026-03-02", 1, 100.0);
        host.addInvoice("H-2", "A3", "2026-03-03", 2, 250.5);
        host.addInvoice("R-1", "R", "2026-03-04", 1, 80.0);
    }

    std::unique_ptr<MainWindow> start(const QByteArray& ownIni = {}) {
        if (!ownIni.isEmpty())
            TempFolder::write(ProgramPaths{folder.file("prog")}.ownIni(), ownIni);
        auto w = std::make_unique<MainWindow>(ProgramPaths{folder.file("prog")}, &prompter);
        EXPECT_EQ(w->Form_Load(host.connectionString(), QDate(2026, 3, 15)), MainWindow::StartResult::Ready)
            << prompter.allText().toStdString();
        return w;
    }

    static void click(MainWindow& w, const QString& key) {
        if (!w.chooseNode(key))
            ADD_FAILURE() << "no node " << key.toStdString();
    }

    static QStringList treeTexts(const MainWindow& w) {
        QStringList texts;
        for (QTreeWidgetItemIterator it(w.tvAbrechnungen); *it; ++it)
            texts << (*it)->data(0, Qt::UserRole).toString() + "=" + (*it)->text(0);
        return texts;
    }

    static void type(QWidget* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, c == '\b' ? Qt::Key_Backspace : 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }

    static void leave(QWidget* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }

    TestHostDb host;
    TempFolder folder;
    RecordingPrompter prompter;
};

TEST_F(WindowTest, TreeShowsTheEnabledSettlementTypesWithTheirHostTexts) {
    auto w = start();
    EXPECT_EQ(treeTexts(*w),
              QStringList({"R0=Rechnungen", "A=SEPA-Überweisung", "A3=Honorare Ärzte", "A5="}));
    EXPECT_EQ(w->strVer_Type, "A3");
    EXPECT_EQ(w->tvAbrechnungen->currentItem()->text(0), "Honorare Ärzte");
    EXPECT_EQ(w->openInvoices().rowCount(), 0); // start-up loads no list
}

TEST_F(WindowTest, WithoutEnabledSettlementTypeTheInvoicesNodeIsSelected) {
    host.exec("DELETE FROM FORMS_CONFIG");
    auto w = start();
    EXPECT_EQ(treeTexts(*w), QStringList({"R0=Rechnungen", "A=SEPA-Überweisung"}));
    EXPECT_EQ(w->strVer_Type, "R0");
}

TEST_F(WindowTest, NodeClickLoadsTheListOfTheNodeAndGroupNodeLoadsNothing) {
    auto w = start("CheckBoxGutschrift=SEPA_GUTSCHRIFT\r\nCheckBoxLastschrift=SEPA_LASTSCHRIFT\r\n");
    click(*w, "A3");
    EXPECT_EQ(w->strCheckBox, "SEPA_GUTSCHRIFT");
    ASSERT_EQ(w->openInvoices().rowCount(), 2);
    EXPECT_EQ(w->openInvoices().invoiceName(1), "H-2");
    EXPECT_EQ(w->openInvoices().text(1, 2), "O'BRIEN");
    EXPECT_EQ(w->openInvoices().text(1, 3), "250,50");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.allText().toStdString();

    click(*w, "R0");
    EXPECT_EQ(w->strCheckBox, "SEPA_LASTSCHRIFT");
    EXPECT_EQ(w->strVer_Type, "R0");
    ASSERT_EQ(w->openInvoices().rowCount(), 1);

    click(*w, "A");
    EXPECT_EQ(w->strVer_Type, "A");
    EXPECT_EQ(w->openInvoices().rowCount(), 0);
    EXPECT_EQ(w->openInvoices().columnCount(), 0);
    w->Refresh();
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(WindowTest, EmptyRangesAreToldPerTab) {
    auto w = start();
    w->dtpVon->setDate(QDate(2025, 1, 1));
    w->dtpBis->setDate(QDate(2025, 1, 31));
    click(*w, "A3");
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Keine Daten für die ausgewählten Eingrenzungen vorhanden!");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Information);
    w->tabClicked(1);
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].text, "Keine Daten für diesen Zeitraum vorhanden!");
}

TEST_F(WindowTest, RefreshRunsThePlausibilityCheckAfterALoad) {
    host.addInvoice("H-0", "A3", "2026-03-05", 1, 0.0);
    auto w = start();
    click(*w, "A3");
    EXPECT_EQ(w->openInvoices().rowCount(), 2);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].title, "Keine Preise");
    EXPECT_TRUE(prompter.messages[0].text.endsWith("Abrechnung:  H-0     A-Datum:  05.03.2026\r\n"));
}

TEST_F(WindowTest, AConfiguredColumnThatDoesNotExistIsToldAndTheWindowGoesOn) {
    auto w = start("CheckBoxGutschrift=GIBTESNICHT\r\n");
    click(*w, "A3");
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Fehler beim Anzeigen der Belege!"));
    EXPECT_TRUE(prompter.messages[0].text.contains("GIBTESNICHT"));
    EXPECT_TRUE(prompter.messages[0].text.contains("CheckBoxGutschrift"));
    EXPECT_FALSE(prompter.busy);
}

TEST_F(WindowTest, HeaderClicksSortByValueAndFlipTheDirection) {
    host.addInvoice("H-3", "A3", "2026-03-10", 1, 1234.5);
    host.addInvoice("H-4", "A3", "2026-03-09", 1, 2.0);
    auto w = start();
    click(*w, "A3");
    QHeaderView* header = w->lvAbrechnungen->horizontalHeader();
    emit header->sectionClicked(3);
    QStringList amounts;
    for (int row = 0; row < w->openInvoices().rowCount(); ++row)
        amounts << w->openInvoices().text(row, 3);
    EXPECT_EQ(amounts,
              QStringList({"1.234,50", "250,50", "100,00", "2,00"})); // descending: the list was ascending
    emit header->sectionClicked(1);
    EXPECT_EQ(w->openInvoices().invoiceName(0), "H-1");
    EXPECT_EQ(w->openInvoices().invoiceName(3), "H-3");
    click(*w, "A3");
    EXPECT_EQ(w->openInvoices().invoiceName(3), "H-3"); // the sort survives the reload
}

TEST_F(WindowTest, PostcodeTakesDigitsOnlyAndBoxesKeepTheirLimits) {
    auto w = start();
    type(w->panel->txtPLZ, "12a45");
    EXPECT_EQ(w->panel->txtPLZ->text(), "1245");
    type(w->panel->txtPLZ, "67");
    EXPECT_EQ(w->panel->txtPLZ->text(), "12456");
    type(w->panel->txtPLZ, "\b");
    EXPECT_EQ(w->panel->txtPLZ->text(), "1245");
    w->panel->txtFirmenName->setText(QString(40, 'x'));
    EXPECT_EQ(w->panel->txtFirmenName->text().size(), 35);
    w->panel->txtVerwendungszweck->setText(QString(40, 'y'));
    EXPECT_EQ(w->panel->txtVerwendungszweck->text().size(), 27);
    EXPECT_EQ(w->panel->txtReferenznummer->maxLength(), 25);
    EXPECT_EQ(w->panel->txtAdresse->maxLength(), 32767);
}

TEST_F(WindowTest, LeavingABoxCountsAsAChangeEvenWithoutTyping) {
    auto w = start();
    EXPECT_FALSE(w->bAdressAenderung);
    leave(w->panel->txtTelefax);
    EXPECT_TRUE(w->bAdressAenderung);
    auto second = std::make_unique<MainWindow>(ProgramPaths{folder.file("prog2")}, &prompter);
    ASSERT_EQ(second->Form_Load(host.connectionString()), MainWindow::StartResult::Ready);
    leave(second->panel->txtGlaubigerID);
    EXPECT_TRUE(second->bAdressAenderung);
}

class ClientLoading : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const QString insert = "INSERT INTO PERSONAL (ID_PERSONAL, NUMMER, KURZBEZEICHNUNG, NAME, VORNAME, "
                               "STRASSE, PLZ, ORT, telefon, "
                               "telefax, BANK, BIC, IBAN, bank2, BIC2, IBAN2, use_bank2, GLAUBIGERID, KUNDE, "
                               "mandanten, disable) "
                               "VALUES (?, ?, ?, ?, ?, 'Ringstraße 1', 'A-1010', 'Wien', '01 234', NULL, "
                               "'Bank eins', 'BKAUATWW', "
                               "'AT611904300234573201', 'Bank zwei', 'GIBAATWWXXX', 'AT483200000012345864', "
                               "?, 'AT61ZZZ01234567890', ?, "
                               "?, ?)";
        host.exec(insert,
                  {50, 2, "HAUPT", "Musterhandel Österreich Vertriebsgesellschaft", "GmbH", 0, 0, 1, 0});
        host.exec(insert, {51, 1, "D'ARC", "Jeanne", QVariant(), 1, 0, 1, 0});
        host.exec(insert, {52, 3, "ALT", "Alt", "KG", 0, 0, 1, 1});
        // A customer sharing a client's short name must never win.
        host.exec(insert, {53, 0, "HAUPT", "Kunde", "Fremd", 0, 1, 0, 0});
    }
};

TEST_F(ClientLoading, ListsActiveClientsAndOverwritesTheCompanyFieldsOnYes) {
    auto w = start("Verwendungszweck=Lauf\r\nReferenznummer=R-1\r\nFirmenName=Alt\r\n");
    w->panel->chkMandantAusDB->setChecked(true);
    ASSERT_TRUE(w->panel->cmbMandant->isEnabled());
    QStringList names;
    for (int i = 0; i < w->panel->cmbMandant->count(); ++i)
        names << w->panel->cmbMandant->itemText(i);
    EXPECT_EQ(names, QStringList({"D'ARC", "HAUPT"}));

    prompter.answers = {false};
    w->panel->cmbMandant->setCurrentText("HAUPT");
    w->panel->LoadMandantAdresse();
    EXPECT_EQ(w->panel->txtFirmenName->text(), "Alt");
    EXPECT_FALSE(w->bAdressAenderung);

    w->panel->LoadMandantAdresse();
    EXPECT_EQ(prompter.questions.last(),
              "Wollen Sie wirklich die Adressdaten und Bankdaten vom gewählten Mandanten laden?");
    EXPECT_EQ(w->panel->txtFirmenName->text(), "Musterhandel Österreich Vertriebsge"); // 35 characters
    EXPECT_EQ(w->panel->txtPLZ->text(), "A-101");
    EXPECT_EQ(w->panel->txtTelefax->text(), "");
    EXPECT_EQ(w->panel->txtBank->text(), "Bank eins");
    EXPECT_EQ(w->panel->txtKontonummer->text(), "AT611904300234573201");
    EXPECT_EQ(w->panel->txtGlaubigerID->text(), "AT61ZZZ01234567890");
    EXPECT_EQ(w->panel->txtVerwendungszweck->text(), "Lauf");
    EXPECT_EQ(w->panel->txtReferenznummer->text(), "R-1");
    EXPECT_TRUE(w->bAdressAenderung);

    w->panel->cmbMandant->setCurrentText("D'ARC");
    w->panel->LoadMandantAdresse();
    EXPECT_EQ(w->panel->txtFirmenName->text(), "Jeanne ");
    EXPECT_EQ(w->panel->txtBank->text(), "Bank zwei");
    EXPECT_EQ(w->panel->txtBankleitzahl->text(), "GIBAATWWXXX");

    w->panel->chkMandantAusDB->setChecked(false);
    EXPECT_FALSE(w->panel->cmbMandant->isEnabled());
    EXPECT_EQ(w->panel->cmbMandant->count(), 2);
    EXPECT_EQ(w->panel->txtFirmenName->text(), "Jeanne ");
}

TEST_F(ClientLoading, AShortNameWithoutActivePersonIsTold) {
    auto w = start();
    w->panel->cmbMandant->setEditable(true);
    w->panel->cmbMandant->setCurrentText("ALT");
    w->panel->LoadMandantAdresse();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Keine Mandantenadresse gefunden!");
    EXPECT_FALSE(w->bAdressAenderung);
}

TEST_F(WindowTest, ReleaseReturnsInvoicesAndTheOverviewPrintsEveryRow) {
    host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, 'H-1', 3, '2026-03-20 00:00:00')");
    host.exec("UPDATE HEADERRECH SET ZAHLDATUM = '2026-03-20 10:00:00', GESPERRT = 1, ZAHL_BETRAG = 100 "
              "WHERE R_NAME = 'H-1'");
    auto w = start();
    click(*w, "A3");
    EXPECT_EQ(w->openInvoices().rowCount(), 1);
    w->tabClicked(1);
    ASSERT_EQ(w->transferred().rowCount(), 1);

    w->btnUEDrucken_Click();
    ASSERT_EQ(prompter.reports.size(), 1);
    EXPECT_EQ(prompter.reports[0].first, "Uebersicht");

    w->lvUebersicht->selectRow(0);
    w->btnUERefreigeben_Click();
    EXPECT_EQ(w->transferred().rowCount(), 0);
    EXPECT_EQ(host.scalar("SELECT COUNT(*) FROM COMM").toInt(), 0);
    EXPECT_TRUE(host.scalar("SELECT ZAHLDATUM FROM HEADERRECH WHERE R_NAME = 'H-1'").isNull());
    w->tabClicked(0);
    EXPECT_EQ(w->openInvoices().rowCount(), 2);
}

TEST_F(WindowTest, StartButtonChecksTheCreditorPanelFirst) {
    auto w = start();
    click(*w, "A3");
    w->cmdStart_Click();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Sie müssen eine IBAN eingeben!");
    w->panel->txtKontonummer->setText("DE89370400440532013000");
    w->cmdStart_Click();
    EXPECT_EQ(prompter.messages.last().text, "Sie müssen einen Firmennamen eingeben!");
    w->panel->txtFirmenName->setText("Musterhandel");
    w->cmdStart_Click();
    EXPECT_EQ(prompter.messages.last().text, "Sie müssen eine Bank eingeben!");
    w->panel->txtBank->setText("Bank");
    w->cmdStart_Click();
    EXPECT_EQ(prompter.messages.last().text, "Sie haben keine Abrechnungen für die Überleitung selektiert!");
}

TEST_F(WindowTest, ExportFromTheWindowWritesThePaymentFileAndReloadsTheList) {
    const QString exportDir = folder.file("export");
    QDir().mkpath(exportDir);
    auto w =
        start(("ExportPfad=" + exportDir +
               "\r\nFirmenName=Musterhandel\r\nBank=Bank\r\n"
               "Kontonummer=DE89370400440532013000\r\nBankleitzahl=COBADEFFXXX\r\nVerwendungszweck=Test\r\n")
                  .toUtf8());
    click(*w, "A3");
    w->lvAbrechnungen->selectRow(1);
    w->cmdStart_Click();
    EXPECT_EQ(QDir(exportDir).entryList({"UW_Test_*.xml"}, QDir::Files).size(), 1)
        << prompter.allText().toStdString();
    ASSERT_EQ(w->openInvoices().rowCount(), 1);
    EXPECT_EQ(w->openInvoices().invoiceName(0), "H-1");
    EXPECT_EQ(host.scalar("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = 3").toString(), "H-2");
    ASSERT_EQ(prompter.reports.size(), 2);
    EXPECT_EQ(prompter.reports[0].first, "Begleitzettel");
    EXPECT_EQ(prompter.reports[1].first, "Beitrag");
    EXPECT_EQ(prompter.progressValue, 0);
    EXPECT_FALSE(prompter.busy);
}

} // namespace
