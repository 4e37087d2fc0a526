#include "app/MainWindow.h"

#include "app/CreditorPanel.h"
#include "app/DatePicker.h"
#include "app/IniFile.h"
#include "app/NodeTree.h"
#include "app/SelectionLine.h"
#include "app/Startup.h"
#include "app/StatusLine.h"
#include "app/WidgetPrompter.h"
#include "base/GermanFormat.h"
#include "base/NodeKey.h"
#include "export/ExportRun.h"
#include "export/RunRecovery.h"
#include "hostdb/LockWait.h"
#include "output/UebersichtReport.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/InvoiceTree.h"
#include "selection/PlausibilityCheck.h"
#include "selection/ReleaseInvoices.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
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
      m_prompter(prompter ? prompter : m_ownPrompter.get()), m_instance(paths.programDir),
      m_openInvoices(new InvoiceListModel(this)), m_transferred(new InvoiceListModel(this)) {
    setObjectName(QStringLiteral("frmMain"));
    buildLayout();
    lvAbrechnungen->setModel(m_openInvoices);
    lvUebersicht->setModel(m_transferred);
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
    connect(btnAktualisieren, &QPushButton::clicked, this, &MainWindow::Refresh);
    // A double click on a tab reloads as well: the tab bar reports its second
    // click again.
    connect(SSTab1->tabBar(), &QTabBar::tabBarClicked, this, &MainWindow::tabClicked);
    // The word on the last run belongs to the list it was given beside.
    connect(SSTab1, &QTabWidget::currentChanged, lblStatus, &QLabel::clear);
    connect(cmdStart, &QPushButton::clicked, this, &MainWindow::cmdStart_Click);
    connect(btnUERefreigeben, &QPushButton::clicked, this, &MainWindow::btnUERefreigeben_Click);
    connect(btnUEDrucken, &QPushButton::clicked, this, &MainWindow::btnUEDrucken_Click);
    for (auto [view, model, line] : {std::tuple{lvAbrechnungen, m_openInvoices, lblAuswahl},
                                     std::tuple{lvUebersicht, m_transferred, lblAuswahlUebersicht}}) {
        const auto count = [this, view = view, model = model, line = line] {
            showSelection(view, *model, line);
        };
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, count);
        connect(model, &QAbstractItemModel::modelReset, this, count);
        QHeaderView* header = view->horizontalHeader();
        connect(header, &QHeaderView::sectionClicked, this, [header, model = model](int column) {
            model->sortByClick(column);
            header->setSortIndicatorShown(true);
            header->setSortIndicator(model->sortColumn(), model->sortOrder());
        });
        connect(model, &QAbstractItemModel::modelReset, this,
                [this, view = view, model = model] { applyColumnWidths(view, *model); });
    }
}

MainWindow::~MainWindow() {
    // Deleting the child widgets moves the focus, and a field that loses it
    // reports a change; by then the window is no longer whole.
    panel->disconnect(this);
}

QString MainWindow::versionText() {
    return QStringLiteral("BRV32-SEPA-Überweisung") + QStringLiteral("    Version: ") +
           QString::number(BRV_VERSION_MAJOR) + QLatin1Char('.') + QString::number(BRV_VERSION_MINOR);
}

QString MainWindow::caption() {
    return versionText() + QStringLiteral("    Datenbank: ") + QStringLiteral("    Parameter: ");
}

void MainWindow::buildLayout() {
    setWindowTitle(caption());
    panel = new CreditorPanel;
    cmdBeenden = named(new QPushButton(QStringLiteral("&Beenden")), "cmdBeenden");

    auto* right = new QVBoxLayout;
    right->addWidget(panel);
    right->addWidget(buildTabs(), 1);
    lblStatus = named(new QLabel, "lblStatus");
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(cmdBeenden);
    right->addLayout(bottom);

    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildLeftColumn());
    columns->addLayout(right, 1);
}

void MainWindow::openWithinScreen() {
    const QRect available = screen()->availableGeometry();
    // Room for the window manager's frame and title bar, which are not known
    // before the window is shown.
    const QSize frame(8, 48);
    const QSize size = QSize(1180, 820).boundedTo(available.size() - frame).expandedTo(minimumSizeHint());
    resize(size);
    const QSize outer = size + frame;
    move(available.left() + qMax(0, (available.width() - outer.width()) / 2),
         available.top() + qMax(0, (available.height() - outer.height()) / 2));
}

QWidget* MainWindow::buildLeftColumn() {
    tvAbrechnungen = named(new NodeTree([this](QTreeWidgetItem* item) {
                               // Start-up chooses a node without loading a list.
                               if (bFLoadOK)
                                   nodeClicked(item->data(0, Qt::UserRole).toString());
                           }),
                           "tvAbrechnungen");
    tvAbrechnungen->setHeaderHidden(true);
    tvAbrechnungen->setRootIsDecorated(true);

    optBelegDate = named(new QRadioButton(QStringLiteral("Belegdatum")), "optBelegDate");
    optFaelligkeit = named(new QRadioButton(QStringLiteral("Fälligkeitsdatum")), "optFaelligkeit");
    dtpVon = named(new DatePicker, "dtpVon");
    dtpBis = named(new DatePicker, "dtpBis");
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
    // As narrow as the settings allow, so that the creditor panel and the
    // list keep the width for a whole IBAN and every column.
    column->setFixedWidth(settings->sizeHint().width());
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
    lblAuswahl = named(new QLabel, "lblAuswahl");
    openFrameLayout->addWidget(lblAuswahl);
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
    lblAuswahlUebersicht = named(new QLabel, "lblAuswahlUebersicht");
    overviewFrameLayout->addWidget(lblAuswahlUebersicht);
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

    // Read first for the lock wait of the window's connection; a value the
    // export run refuses leaves the lists at the default wait.
    const OwnSettings settings = OwnSettings::load(m_paths.ownIni());
    QString error, refusal;
    SQLConn =
        HostDb::open(strConnectionString, &error,
                     LockWait::secondsOf(settings.Sperrzeit, &refusal).value_or(LockWait::kDefaultSeconds));
    if (!SQLConn)
        return failStartup(error);

    const InvoiceTree::Tree tree = InvoiceTree::LoadTreeView(*SQLConn);
    if (!tree.error.isEmpty())
        return failStartup(tree.error);
    LoadTreeView(tree);

    strExportPfad = settings.ExportPfad;
    panel->setValues(settings.firma);
    strCheckBoxGutschrift = settings.CheckBoxGutschrift;
    strCheckBoxLastschrift = settings.CheckBoxLastschrift;
    strEDIFACT = settings.EDIFACT;
    strCSV = settings.CSV;
    strKeineArtikelrechnung = settings.KEINEARTIKELRECHNUNG;
    strBezeichnungStattNameVorname = settings.BezeichnungStattNameVorname;
    strSkontoRechnungsKopf = settings.SKONTO_RECHNUNGS_KOPF;
    strSEPAVersion = settings.SEPAVersion;
    strEchtzeit = settings.Echtzeit;
    strEmpfaengerpruefung = settings.Empfaengerpruefung;
    strSperrzeit = settings.Sperrzeit;

    if (!tidyTransferMarksAtStart(*SQLConn, &error))
        return failStartup(error);
    recoverInterruptedRuns(*SQLConn, strExportPfad, *m_prompter);

    const DateRange range = DateRange::defaultFor(today);
    dtpVon->setDate(range.from);
    dtpBis->setDate(range.to);
    SSTab1->setCurrentIndex(0);
    bAdressAenderung = false;
    optBelegDate->setChecked(true);
    optFaelligkeit->setVisible(!panel->txtDatumFaelligkeit->text().isEmpty());
    panel->setConnection(SQLConn.get(), m_prompter);
    openWithinScreen();
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
    s.SEPAVersion = strSEPAVersion;
    s.Echtzeit = strEchtzeit;
    s.Empfaengerpruefung = strEmpfaengerpruefung;
    s.Sperrzeit = strSperrzeit;
    return s;
}

bool MainWindow::SaveSettings() {
    panel->countFocusedBoxAsLeft();
    if (!bFLoadOK || !bAdressAenderung)
        return true;
    if (!m_prompter->askYesNo(QStringLiteral("Wollen Sie die Änderungen der Firmendaten speichern?")))
        return true;
    QString error;
    bool lossy = false;
    if (currentSettings().save(m_paths.ownIni(), &error, &lossy)) {
        if (lossy)
            m_prompter->message(
                QStringLiteral("Einige Zeichen der Firmendaten gibt es im Zeichensatz der INI-Datei "
                               "nicht; sie wurden als „?“ gespeichert."),
                Prompter::Icon::Warning);
        return true;
    }
    m_prompter->message(
        error + QStringLiteral("\nDie eingegebenen Firmendaten sind nicht gespeichert. Das Fenster bleibt "
                               "geöffnet, damit keine Eingabe verloren geht."),
        Prompter::Icon::Critical);
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (SaveSettings())
        event->accept();
    else
        event->ignore();
}

void MainWindow::LoadTreeView(const InvoiceTree::Tree& tree) {
    tvAbrechnungen->clear();
    QHash<QString, QTreeWidgetItem*> items;
    for (const InvoiceTree::TreeNode& node : tree.nodes) {
        QTreeWidgetItem* parent = items.value(node.parentKey);
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvAbrechnungen);
        item->setText(0, node.text);
        item->setData(0, Qt::UserRole, node.key);
        items.insert(node.key, item);
    }
    if (QTreeWidgetItem* selected = items.value(tree.selectedKey))
        tvAbrechnungen->setCurrentItem(selected);
    strVer_Type = tree.selectedKey;
    if (QTreeWidgetItem* last = items.value(tree.scrolledKey))
        tvAbrechnungen->scrollToItem(last);
    // A long node text widens the left column, up to a limit that leaves the
    // list its room; beyond it the text is cut short.
    int nodes = 0;
    const QFontMetrics metrics(tvAbrechnungen->font());
    for (QTreeWidgetItemIterator it(tvAbrechnungen); *it; ++it) {
        int depth = 1; // the roots' own branch mark
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        nodes =
            qMax(nodes, depth * tvAbrechnungen->indentation() + metrics.horizontalAdvance((*it)->text(0)));
    }
    QWidget* column = tvAbrechnungen->parentWidget();
    column->setFixedWidth(
        qMax(column->minimumWidth(), qMin(nodes + 2 * tvAbrechnungen->frameWidth() + 12, 250)));
}

QString MainWindow::selectedNodeKey() const {
    const QTreeWidgetItem* item = tvAbrechnungen->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

QString MainWindow::selectedNodeText() const {
    const QTreeWidgetItem* item = tvAbrechnungen->currentItem();
    return item ? item->text(0) : QString();
}

void MainWindow::nodeClicked(const QString& key) {
    lblStatus->clear();
    m_openInvoices->clear();
    m_transferred->clear();
    strVer_Type = key;
    if (selectedNodeText() != InvoiceTree::kGroupText)
        Refresh();
}

bool MainWindow::chooseNode(const QString& key) {
    for (QTreeWidgetItemIterator it(tvAbrechnungen); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() != key)
            continue;
        // Choosing another node acts through the change of the current item;
        // choosing the current one again is a plain click.
        if (tvAbrechnungen->currentItem() != *it)
            tvAbrechnungen->setCurrentItem(*it);
        else
            nodeClicked(key);
        return true;
    }
    return false;
}

ListInput MainWindow::listInput() const {
    ListInput input;
    input.strCheckBox = strCheckBox;
    input.txtDatumFaelligkeit = panel->txtDatumFaelligkeit->text();
    input.optFaelligkeit = optFaelligkeit->isChecked();
    input.dtpVon = dtpVon->date();
    input.dtpBis = dtpBis->date();
    input.strKeineArtikelrechnung = strKeineArtikelrechnung;
    return input;
}

bool MainWindow::loadOpenInvoices() {
    return GetData(*SQLConn, strVer_Type, listInput(), *m_openInvoices, *m_prompter);
}

void MainWindow::Refresh() {
    strCheckBox =
        InvoiceTree::flagColumnFor(selectedNodeKey(), strCheckBoxLastschrift, strCheckBoxGutschrift);
    if (selectedNodeText() == InvoiceTree::kGroupText)
        return;
    // A range that ends before it starts holds nothing, and the clerk is
    // told why rather than only that it is empty.
    const QString reversed =
        dtpVon->date() > dtpBis->date()
            ? QStringLiteral("\rDas Datum „Von:“ (%1) liegt nach dem Datum „Bis:“ (%2).")
                  .arg(GermanFormat::date(dtpVon->date()), GermanFormat::date(dtpBis->date()))
            : QString();
    if (SSTab1->currentIndex() == 0) {
        if (loadOpenInvoices())
            m_prompter->message(QStringLiteral("Keine Daten für die ausgewählten Eingrenzungen vorhanden!") +
                                    reversed,
                                Prompter::Icon::Information);
        else
            CheckInvoices(*SQLConn, strVer_Type, dtpVon->date(), dtpBis->date(), *m_prompter);
    } else if (GetDataUebersicht(*SQLConn, strVer_Type, listInput(), *m_transferred, *m_prompter)) {
        m_prompter->message(QStringLiteral("Keine Daten für diesen Zeitraum vorhanden!") + reversed,
                            Prompter::Icon::Information);
    }
}

void MainWindow::tabClicked(int index) {
    if (index < 0)
        return;
    SSTab1->setCurrentIndex(index);
    Refresh();
}

void MainWindow::applyColumnWidths(QTableView* view, const InvoiceListModel& model) {
    // The widths were made for a smaller font: a column is never narrower
    // than its caption or than a whole date.
    const double pixelsPerTwip = view->logicalDpiX() / 1440.0;
    const QFontMetrics cells(view->font());
    const QFontMetrics captions(view->horizontalHeader()->font());
    for (int c = 0; c < model.columnCount(); ++c) {
        const InvoiceListModel::Column& column = model.column(c);
        int width =
            qMax(qRound(column.widthTwips * pixelsPerTwip), captions.horizontalAdvance(column.caption) + 28);
        if (column.kind == InvoiceListModel::Kind::Date)
            width = qMax(width, cells.horizontalAdvance(QStringLiteral("00.00.0000")) + 16);
        if (column.kind == InvoiceListModel::Kind::DateTime)
            width = qMax(width, cells.horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 16);
        view->setColumnWidth(c, width);
    }
    view->horizontalHeader()->setSortIndicatorShown(model.isSorted());
    view->horizontalHeader()->setSortIndicator(model.sortColumn(), model.sortOrder());
}

QList<int> MainWindow::selectedRows(const QTableView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

qint64 MainWindow::sumOf(const QList<int>& rows, const InvoiceListModel& model) {
    qint64 cents = 0;
    for (int row : rows)
        cents += model.amountCents(row);
    return cents;
}

void MainWindow::showSelection(const QTableView* view, const InvoiceListModel& model, QLabel* line) {
    const QList<int> rows = selectedRows(view);
    line->setText(SelectionLine::text(rows.size(), model.rowCount(), sumOf(rows, model)));
}

QStringList MainWindow::namesOf(const QList<int>& rows, const InvoiceListModel& model) {
    QStringList names;
    names.reserve(rows.size());
    for (int row : rows)
        names << model.invoiceName(row);
    return names;
}

void MainWindow::cmdStart_Click() {
    const Firmendaten firma = panel->values();
    if (!checkCreditorPanel(firma, *m_prompter))
        return;
    ExportSettings settings;
    settings.strConnectionString = strConnectionString;
    settings.strVer_Type = strVer_Type;
    settings.strCheckBox = strCheckBox;
    settings.strExportPfad = strExportPfad;
    settings.firma = firma;
    settings.sortByCustomer = rbSort[1]->isChecked();
    settings.strCSV = strCSV;
    settings.strBezeichnungStattNameVorname = strBezeichnungStattNameVorname;
    settings.strSkontoRechnungsKopf = strSkontoRechnungsKopf;
    settings.strSEPAVersion = strSEPAVersion;
    settings.strEchtzeit = strEchtzeit;
    settings.strEmpfaengerpruefung = strEmpfaengerpruefung;
    settings.strSperrzeit = strSperrzeit;
    settings.logFile = m_paths.logFile();
    settings.now = QDateTime::currentDateTime();
    const QList<int> rows = selectedRows(lvAbrechnungen);
    settings.confirmFirst = true;
    settings.nodeText = selectedNodeText();
    settings.listedSumCents = sumOf(rows, *m_openInvoices);
    const ExportOutcome outcome =
        ExportSEPA(settings, namesOf(rows, *m_openInvoices), *m_prompter, [this] { loadOpenInvoices(); });
    lblStatus->setText(StatusLine::exportRun(outcome, NodeKey::isDirectDebit(strVer_Type)));
}

void MainWindow::btnUERefreigeben_Click() {
    const QStringList names = namesOf(selectedRows(lvUebersicht), *m_transferred);
    // Released invoices can be paid or collected a second time.
    if (!names.isEmpty() &&
        !m_prompter->askYesNo(
            QStringLiteral("%1 übergeleitete %2 wieder freigeben?\rSie können danach erneut überwiesen oder "
                           "eingezogen werden.")
                .arg(GermanFormat::count(names.size()),
                     names.size() == 1 ? QStringLiteral("Rechnung") : QStringLiteral("Rechnungen")),
            {}, Prompter::Default::No))
        return;
    QString error;
    if (releaseInvoices(*SQLConn, strVer_Type, names, &error)) {
        lblStatus->setText(StatusLine::release(int(names.size())));
    } else {
        lblStatus->clear();
        m_prompter->message(releaseFailedMessage(error), Prompter::Icon::Critical);
    }
    GetDataUebersicht(*SQLConn, strVer_Type, listInput(), *m_transferred, *m_prompter);
}

void MainWindow::btnUEDrucken_Click() {
    QList<QStringList> rows;
    rows.reserve(m_transferred->rowCount());
    for (int row = 0; row < m_transferred->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < m_transferred->columnCount(); ++c)
            cells << m_transferred->text(row, c);
        rows << cells;
    }
    PrintUebersicht(rows, QDate::currentDate(), *m_prompter);
}
