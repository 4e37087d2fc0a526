#include "app/CreditorPanel.h"

#include "app/IniFile.h"
#include "export/Prompter.h"
#include "hostdb/ClientStatements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

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

    auto* left = new QFormLayout;
    left->addRow(chkMandantAusDB);
    left->addRow(cmbMandant);
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
    right->addRow(QStringLiteral("Einstellung Fälligkeitsdatum:"), txtDatumFaelligkeit);

    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 1);
    columns->addSpacing(16);
    columns->addLayout(right, 1);

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
