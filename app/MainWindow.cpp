#include "app/MainWindow.h"

#include "app/CreditorPanel.h"
#include "app/IniFile.h"
#include "app/Startup.h"
#include "app/WidgetPrompter.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QTableView* listView(const char* name) {
    auto* view = named(new QTableView, name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(false);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setSectionsClickable(true);
    return view;
}

} // namespace

MainWindow::MainWindow(const ProgramPaths& paths, Prompter* prompter)
    : m_paths(paths), m_ownPrompter(prompter ? nullptr : new WidgetPrompter(this)),
      m_prompter(prompter ? prompter : m_ownPrompter.get()), m_instance(paths.programDir) {
    setObjectName(QStringLiteral("frmMain"));
    buildLayout();
    if (auto* widgetPrompter = dynamic_cast<WidgetPrompter*>(m_ownPrompter.get()))
        widgetPrompter->setProgressBar(pgbar);
    connect(&m_instance, &SingleInstance::raiseRequested, this, [this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
    connect(panel, &CreditorPanel::companyDataChanged, this, [this] { bAdressAenderung = true; });
    connect(cmdBeenden, &QPushButton::clicked, this, &QWidget::close);
}

MainWindow::~MainWindow() = default;

QString MainWindow::caption() {
    return QStringLiteral("BRV32-SEPA-Überweisung") + QStringLiteral("    Version: ") +
           QString::number(BRV_VERSION_MAJOR) + QLatin1Char('.') + QString::number(BRV_VERSION_MINOR) +
           QStringLiteral("    Datenbank: ") + QStringLiteral("    Parameter: ");
}

void MainWindow::buildLayout() {
    setWindowTitle(caption());
    panel = new CreditorPanel;
    cmdBeenden = named(new QPushButton(QStringLiteral("&Beenden")), "cmdBeenden");

    auto* right = new QVBoxLayout;
    right->addWidget(panel);
    right->addWidget(buildTabs(), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdBeenden);
    right->addLayout(bottom);

    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildLeftColumn());
    columns->addLayout(right, 1);
    resize(1180, 820);
}

QWidget* MainWindow::buildLeftColumn() {
    tvAbrechnungen = named(new QTreeWidget, "tvAbrechnungen");
    tvAbrechnungen->setHeaderHidden(true);
    tvAbrechnungen->setRootIsDecorated(true);

    optBelegDate = named(new QRadioButton(QStringLiteral("Belegdatum")), "optBelegDate");
    optFaelligkeit = named(new QRadioButton(QStringLiteral("Fälligkeitsdatum")), "optFaelligkeit");
    dtpVon = named(new QDateEdit, "dtpVon");
    dtpBis = named(new QDateEdit, "dtpBis");
    for (QDateEdit* picker : {dtpVon, dtpBis}) {
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    btnAktualisieren = named(new QPushButton(QStringLiteral("Daten &aktualisieren")), "btnAktualisieren");

    auto* range = new QGroupBox(QStringLiteral("Eingrenzungen"));
    range->setObjectName(QStringLiteral("fraEingrenzungen"));
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(optBelegDate, 0, 0, 1, 2);
    rangeLayout->addWidget(optFaelligkeit, 1, 0, 1, 2);
    rangeLayout->addWidget(new QLabel(QStringLiteral("Von:")), 2, 0);
    rangeLayout->addWidget(dtpVon, 2, 1);
    rangeLayout->addWidget(new QLabel(QStringLiteral("Bis:")), 3, 0);
    rangeLayout->addWidget(dtpBis, 3, 1);
    rangeLayout->addWidget(btnAktualisieren, 4, 0, 1, 2);
    rangeLayout->setColumnStretch(1, 1);

    rbSort[0] = named(new QRadioButton(QStringLiteral("Rechnungsname")), "rbSort_0");
    rbSort[1] = named(new QRadioButton(QStringLiteral("Kunden")), "rbSort_1");
    rbSort[0]->setChecked(true);
    auto* sort = new QGroupBox(QStringLiteral("Ausdrucke sortieren nach:"));
    sort->setObjectName(QStringLiteral("fraSortierung"));
    auto* sortLayout = new QVBoxLayout(sort);
    sortLayout->addWidget(rbSort[0]);
    sortLayout->addWidget(rbSort[1]);

    auto* settings = new QGroupBox(QStringLiteral("Einstellungen"));
    settings->setObjectName(QStringLiteral("fraEinstellungen"));
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(range);
    settingsLayout->addWidget(sort);

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tvAbrechnungen, 1);
    layout->addWidget(settings);
    column->setFixedWidth(290);
    return column;
}

QWidget* MainWindow::buildTabs() {
    SSTab1 = named(new QTabWidget, "SSTab1");

    lvAbrechnungen = listView("lvAbrechnungen");
    pgbar = named(new QProgressBar, "pgbar");
    pgbar->setTextVisible(false);
    pgbar->setRange(0, 100);
    pgbar->setValue(0);
    cmdStart = named(new QPushButton(QStringLiteral("&Starte SEPA")), "cmdStart");
    auto* openFrame = new QGroupBox(QStringLiteral("Eingrenzungen"));
    openFrame->setObjectName(QStringLiteral("fraListe"));
    auto* openFrameLayout = new QVBoxLayout(openFrame);
    openFrameLayout->addWidget(lvAbrechnungen);
    auto* openTab = new QWidget;
    auto* openLayout = new QVBoxLayout(openTab);
    openLayout->addWidget(openFrame, 1);
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(pgbar, 1);
    startRow->addWidget(cmdStart);
    openLayout->addLayout(startRow);
    SSTab1->addTab(openTab, QStringLiteral("Zur Überleitung"));

    lvUebersicht = listView("lvUebersicht");
    btnUEDrucken = named(new QPushButton(QStringLiteral("Übersicht &drucken")), "btnUEDrucken");
    btnUERefreigeben = named(new QPushButton(QStringLiteral("Rechnung(en) &freigeben")), "btnUERefreigeben");
    auto* overviewFrame = new QGroupBox(QStringLiteral("Übersicht"));
    overviewFrame->setObjectName(QStringLiteral("fraUebersicht"));
    auto* overviewFrameLayout = new QVBoxLayout(overviewFrame);
    overviewFrameLayout->addWidget(lvUebersicht);
    auto* overviewTab = new QWidget;
    auto* overviewLayout = new QVBoxLayout(overviewTab);
    overviewLayout->addWidget(overviewFrame, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnUEDrucken);
    buttonRow->addWidget(btnUERefreigeben);
    overviewLayout->addLayout(buttonRow);
    SSTab1->addTab(overviewTab, QStringLiteral("Übergeleitet"));
    return SSTab1;
}

MainWindow::StartResult MainWindow::failStartup(const QString& what) {
    m_prompter->message(QStringLiteral("Das Programm kann nicht gestartet werden.\n\n%1").arg(what),
                        Prompter::Icon::Critical);
    return StartResult::Failed;
}

MainWindow::StartResult MainWindow::Form_Load(const QString& argument, const QDate& today) {
    bFLoadOK = false;
    if (m_instance.anotherIsRunning())
        return StartResult::SecondCopy;

    const HostLocation host = HostLocation::fromArgument(argument, m_paths);
    strConnectionString = host.strConnectionString;
    brvIniPath = host.brvIniPath;
    strServerName = host.strServerName;
    strDataBaseName = host.strDataBaseName;

    QString error;
    SQLConn = HostDb::open(strConnectionString, &error);
    if (!SQLConn)
        return failStartup(error);

    // Tree: filled by the selection wiring.

    const OwnSettings settings = OwnSettings::load(m_paths.ownIni());
    strExportPfad = settings.ExportPfad;
    panel->setValues(settings.firma);
    strCheckBoxGutschrift = settings.CheckBoxGutschrift;
    strCheckBoxLastschrift = settings.CheckBoxLastschrift;
    strEDIFACT = settings.EDIFACT;
    strCSV = settings.CSV;
    strKeineArtikelrechnung = settings.KEINEARTIKELRECHNUNG;
    strBezeichnungStattNameVorname = settings.BezeichnungStattNameVorname;
    strSkontoRechnungsKopf = settings.SKONTO_RECHNUNGS_KOPF;

    if (!tidyTransferMarksAtStart(*SQLConn, &error))
        return failStartup(error);

    const DateRange range = DateRange::defaultFor(today);
    dtpVon->setDate(range.from);
    dtpBis->setDate(range.to);
    SSTab1->setCurrentIndex(0);
    bAdressAenderung = false;
    optBelegDate->setChecked(true);
    optFaelligkeit->setVisible(!panel->txtDatumFaelligkeit->text().isEmpty());
    panel->setConnection(SQLConn.get(), m_prompter);
    bFLoadOK = true;
    return StartResult::Ready;
}

OwnSettings MainWindow::currentSettings() const {
    OwnSettings s;
    s.ExportPfad = strExportPfad;
    s.firma = panel->values();
    s.EDIFACT = strEDIFACT;
    s.CSV = strCSV;
    s.KEINEARTIKELRECHNUNG = strKeineArtikelrechnung;
    s.SKONTO_RECHNUNGS_KOPF = strSkontoRechnungsKopf;
    s.CheckBoxGutschrift = strCheckBoxGutschrift;
    s.CheckBoxLastschrift = strCheckBoxLastschrift;
    s.BezeichnungStattNameVorname = strBezeichnungStattNameVorname;
    return s;
}

bool MainWindow::SaveSettings() {
    if (!bFLoadOK || !bAdressAenderung)
        return true;
    if (!m_prompter->askYesNo(QStringLiteral("Wollen Sie die Änderungen der Firmendaten speichern?")))
        return true;
    QString error;
    if (currentSettings().save(m_paths.ownIni(), &error))
        return true;
    m_prompter->message(
        error + QStringLiteral("\nDas Fenster bleibt geöffnet, damit keine Eingabe verloren geht."),
        Prompter::Icon::Critical);
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (SaveSettings())
        event->accept();
    else
        event->ignore();
}
