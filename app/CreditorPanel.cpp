#include "app/CreditorPanel.h"

#include "app/IniFile.h"
#include "base/Prompter.h"
#include "hostdb/ClientStatements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CreditorPanel::CreditorPanel(QWidget* parent) : QGroupBox(QStringLiteral("Firmendaten"), parent) {
    setObjectName(QStringLiteral("fraFirmendaten"));
    chkMandantAusDB = new QCheckBox(QStringLiteral("Überweisungsadresse aus Datenbank laden ..."));
    chkMandantAusDB->setObjectName(QStringLiteral("chkMandantAusDB"));
    cmbMandant = new QComboBox;
    cmbMandant->setObjectName(QStringLiteral("cmbMandant"));
    cmbMandant->setEnabled(false);

    txtFirmenName = addBox("txtFirmenName", CreditorLimits::FirmenName);
    txtAdresse = addBox("txtAdresse", 0);
    txtPLZ = addBox("txtPLZ", CreditorLimits::PLZ);
    txtOrt = addBox("txtOrt", CreditorLimits::Ort);
    txtTelefon = addBox("txtTelefon", 0);
    txtTelefax = addBox("txtTelefax", 0);
    txtBank = addBox("txtBank", 0);
    txtBankleitzahl = addBox("txtBankleitzahl", CreditorLimits::Bankleitzahl);
    txtKontonummer = addBox("txtKontonummer", CreditorLimits::Kontonummer);
    txtGlaubigerID = addBox("txtGlaubigerID", CreditorLimits::GlaubigerID);
    txtVerwendungszweck = addBox("txtVerwendungszweck", CreditorLimits::Verwendungszweck);
    txtReferenznummer = addBox("txtReferenznummer", CreditorLimits::Referenznummer);
    txtExtBelegnummer = addBox("txtExtBelegnummer", 0);
    txtDatumFaelligkeit = addBox("txtDatumFaelligkeit", 0);
    txtPLZ->setMaximumWidth(txtPLZ->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    // The longest IBAN has 34 characters, and the box shows it whole.
    txtKontonummer->setMinimumWidth(txtKontonummer->fontMetrics().horizontalAdvance(
                                        QStringLiteral("LC55HEMM00010001001200120002301500")) +
                                    16);

    // The left column keeps room for the usual company name and address.
    for (QLineEdit* box : {txtFirmenName, txtAdresse, txtTelefon, txtTelefax})
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 24);

    // The client choice spans the panel, so that its long caption does not
    // widen the left column.
    auto* client = new QHBoxLayout;
    client->addWidget(chkMandantAusDB);
    client->addWidget(cmbMandant, 1);

    auto* left = new QFormLayout;
    left->addRow(QStringLiteral("Firmenname:"), txtFirmenName);
    left->addRow(QStringLiteral("Adresse:"), txtAdresse);
    auto* town = new QHBoxLayout;
    town->addWidget(txtPLZ);
    town->addWidget(txtOrt, 1);
    left->addRow(QStringLiteral("Ort:"), town);
    left->addRow(QStringLiteral("Telefon:"), txtTelefon);
    left->addRow(QStringLiteral("Telefax:"), txtTelefax);

    auto* right = new QFormLayout;
    right->addRow(QStringLiteral("Bank:"), txtBank);
    right->addRow(QStringLiteral("BIC:"), txtBankleitzahl);
    right->addRow(QStringLiteral("IBAN:"), txtKontonummer);
    right->addRow(QStringLiteral("Gläubiger ID:"), txtGlaubigerID);
    right->addRow(QStringLiteral("Verwendungszweck:"), txtVerwendungszweck);
    right->addRow(QStringLiteral("Referenznummer:"), txtReferenznummer);
    right->addRow(QStringLiteral("Feld ext. Belegnr.:"), txtExtBelegnummer);
    // The longest caption breaks after its first word rather than narrow
    // every box of the panel.
    auto* dueDateCaption = new QLabel(QStringLiteral("Einstellung Fälligkeitsdatum:"));
    dueDateCaption->setWordWrap(true);
    dueDateCaption->setMaximumWidth(
        dueDateCaption->fontMetrics().horizontalAdvance(QStringLiteral("Verwendungszweck:")) + 8);
    right->addRow(dueDateCaption, txtDatumFaelligkeit);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(16);
    columns->addLayout(right, 2);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(client);
    rows->addLayout(columns);

    connect(chkMandantAusDB, &QCheckBox::toggled, this, [this](bool on) {
        cmbMandant->setEnabled(on);
        if (on)
            LoadMandantenListe();
    });
    connect(cmbMandant, &QComboBox::activated, this, [this] { LoadMandantAdresse(); });
}

QLineEdit* CreditorPanel::addBox(const char* name, int maxLength) {
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->installEventFilter(this);
    return box;
}

bool CreditorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPLZ && event->type() == QEvent::KeyPress) {
        // Typed characters other than digits are dropped; editing and focus
        // keys (Backspace, Delete, Tab, shortcuts) carry control characters or
        // no text and keep working.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        const bool typed = !text.isEmpty() && text.at(0).isPrint();
        if (typed && !(text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9')))
            return true;
    }
    if (event->type() == QEvent::FocusOut && qobject_cast<QLineEdit*>(watched))
        emit companyDataChanged();
    return QGroupBox::eventFilter(watched, event);
}

void CreditorPanel::countFocusedBoxAsLeft() {
    const QWidget* focused = window()->focusWidget();
    if (qobject_cast<const QLineEdit*>(focused) && isAncestorOf(focused))
        emit companyDataChanged();
}

void CreditorPanel::setConnection(const HostDb* db, Prompter* prompter) {
    m_db = db;
    m_prompter = prompter;
}

Firmendaten CreditorPanel::values() const {
    Firmendaten f;
    f.FirmenName = txtFirmenName->text();
    f.Adresse = txtAdresse->text();
    f.PLZ = txtPLZ->text();
    f.Ort = txtOrt->text();
    f.Telefon = txtTelefon->text();
    f.Telefax = txtTelefax->text();
    f.Bank = txtBank->text();
    f.Bankleitzahl = txtBankleitzahl->text();
    f.GlaubigerID = txtGlaubigerID->text();
    f.Kontonummer = txtKontonummer->text();
    f.Verwendungszweck = txtVerwendungszweck->text();
    f.DatumFaelligkeit = txtDatumFaelligkeit->text();
    f.Referenznummer = txtReferenznummer->text();
    f.ExterneBelegnummer = txtExtBelegnummer->text();
    return f;
}

void CreditorPanel::setValues(const Firmendaten& f) {
    txtFirmenName->setText(f.FirmenName);
    txtAdresse->setText(f.Adresse);
    txtPLZ->setText(f.PLZ);
    txtOrt->setText(f.Ort);
    txtTelefon->setText(f.Telefon);
    txtTelefax->setText(f.Telefax);
    txtBank->setText(f.Bank);
    txtBankleitzahl->setText(f.Bankleitzahl);
    txtGlaubigerID->setText(f.GlaubigerID);
    txtKontonummer->setText(f.Kontonummer);
    txtVerwendungszweck->setText(f.Verwendungszweck);
    txtDatumFaelligkeit->setText(f.DatumFaelligkeit);
    txtReferenznummer->setText(f.Referenznummer);
    txtExtBelegnummer->setText(f.ExterneBelegnummer);
}

void CreditorPanel::LoadMandantenListe() {
    cmbMandant->clear();
    if (!m_db)
        return;
    QStringList names;
    QString error;
    if (!ClientStatements::LoadMandantenListe(*m_db, &names, &error)) {
        m_prompter->message(QStringLiteral("Die Mandanten konnten nicht gelesen werden:\r%1").arg(error),
                            Prompter::Icon::Critical);
        return;
    }
    cmbMandant->addItems(names);
    cmbMandant->setCurrentIndex(-1);
}

void CreditorPanel::LoadMandantAdresse() {
    if (!m_db || !m_prompter->askYesNo(
                     QStringLiteral(
                         "Wollen Sie wirklich die Adressdaten und Bankdaten vom gewählten Mandanten laden?"),
                     QStringLiteral("SEPA")))
        return;
    std::optional<ClientStatements::ClientAddress> client;
    QString error;
    if (!ClientStatements::LoadMandantAdresse(*m_db, cmbMandant->currentText(), &client, &error)) {
        m_prompter->message(
            QStringLiteral("Die Mandantenadresse konnte nicht gelesen werden:\r%1").arg(error),
            Prompter::Icon::Critical);
        return;
    }
    if (!client) {
        m_prompter->message(QStringLiteral("Keine Mandantenadresse gefunden!"));
        return;
    }
    txtFirmenName->setText(client->name + QLatin1Char(' ') + client->vorname);
    txtAdresse->setText(client->strasse);
    txtPLZ->setText(client->plz);
    txtOrt->setText(client->ort);
    txtTelefon->setText(client->telefon);
    txtTelefax->setText(client->telefax);
    txtBank->setText(client->BANK);
    txtBankleitzahl->setText(client->BIC);
    txtGlaubigerID->setText(client->GLAUBIGERID);
    txtKontonummer->setText(client->IBAN);
    emit companyDataChanged();
}
