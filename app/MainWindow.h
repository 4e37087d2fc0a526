#pragma once

#include "app/IniFile.h"
#include "app/ProgramPaths.h"
#include "app/SingleInstance.h"
#include "hostdb/HostDb.h"

#include <QDate>
#include <QWidget>

#include <memory>

namespace InvoiceTree {
struct Tree;
}

class CreditorPanel;
class InvoiceListModel;
class Prompter;
struct ListInput;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTreeWidget;

// frmMain: the one window of the program and the state it owns.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // prompter: where messages and questions go; the window's own message
    // boxes when null.
    explicit MainWindow(const ProgramPaths& paths, Prompter* prompter = nullptr);
    ~MainWindow() override;

    enum class StartResult { Ready, SecondCopy, Failed };
    // The start-up sequence. On failure one critical message names it.
    StartResult Form_Load(const QString& argument, const QDate& today = QDate::currentDate());

    // The caption every copy carries; it never changes.
    static QString caption();
    // Its first part, "BRV32-SEPA-Überweisung    Version: 1.0".
    static QString versionText();

    // The close question and the save of the own INI file. Returns false when
    // the window must stay open because the save failed.
    bool SaveSettings();

    // Window-level state.
    QString strServerName;
    QString strDataBaseName;
    QString strConnectionString;
    std::unique_ptr<HostDb> SQLConn;
    QString strCheckBox;
    QString strCheckBoxLastschrift;
    QString strCheckBoxGutschrift;
    QString strVer_Type;
    QString brvIniPath;
    QString strExportPfad;
    bool bAdressAenderung = false;
    bool bFLoadOK = false;
    QString strKeineArtikelrechnung;
    // Settings of the export run.
    QString strEDIFACT;
    QString strCSV;
    QString strSEPAVersion;
    QString strEchtzeit;
    QString strEmpfaengerpruefung;
    QString strSperrzeit;
    QString strBezeichnungStattNameVorname;
    QString strSkontoRechnungsKopf;

    // Controls.
    QTreeWidget* tvAbrechnungen;
    CreditorPanel* panel;
    QRadioButton* optBelegDate;
    QRadioButton* optFaelligkeit;
    QDateEdit* dtpVon;
    QDateEdit* dtpBis;
    QPushButton* btnAktualisieren;
    QRadioButton* rbSort[2];
    QTabWidget* SSTab1;
    QTableView* lvAbrechnungen;
    QProgressBar* pgbar;
    QPushButton* cmdStart;
    QTableView* lvUebersicht;
    QPushButton* btnUEDrucken;
    QPushButton* btnUERefreigeben;
    QPushButton* cmdBeenden;
    QLabel* lblStatus; // what the last run or release did
    // Count and sum of the selected rows under each list.
    QLabel* lblAuswahl;
    QLabel* lblAuswahlUebersicht;

    Prompter& prompter() { return *m_prompter; }
    InvoiceListModel& openInvoices() { return *m_openInvoices; }
    InvoiceListModel& transferred() { return *m_transferred; }

    // The event handlers, public so tests can drive them like a user.
    void nodeClicked(const QString& key);
    // Chooses a tree node as a user would; false when the tree has none of that key.
    bool chooseNode(const QString& key);
    void Refresh();
    void tabClicked(int index);
    void cmdStart_Click();
    void btnUERefreigeben_Click();
    void btnUEDrucken_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    QWidget* buildLeftColumn();
    QWidget* buildTabs();
    void openWithinScreen();
    StartResult failStartup(const QString& what);
    void LoadTreeView(const InvoiceTree::Tree& tree);
    QString selectedNodeKey() const;
    QString selectedNodeText() const;
    ListInput listInput() const;
    bool loadOpenInvoices();
    void applyColumnWidths(QTableView* view, const InvoiceListModel& model);
    static QList<int> selectedRows(const QTableView* view);
    static QStringList namesOf(const QList<int>& rows, const InvoiceListModel& model);
    static qint64 sumOf(const QList<int>& rows, const InvoiceListModel& model);
    void showSelection(const QTableView* view, const InvoiceListModel& model, QLabel* line);
    OwnSettings currentSettings() const;

    ProgramPaths m_paths;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter;
    SingleInstance m_instance;
    InvoiceListModel* m_openInvoices;
    InvoiceListModel* m_transferred;
};
