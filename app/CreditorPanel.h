#pragma once

#include "base/Firmendaten.h"

#include <QGroupBox>

class HostDb;
class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;

// The group box "Firmendaten": the company's own data as creditor or debtor,
// edited by hand or taken over from a client record of the host database.
class CreditorPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CreditorPanel(QWidget* parent = nullptr);

    void setConnection(const HostDb* db, Prompter* prompter);

    // The texts as they stand now; the export run reads them at its start.
    Firmendaten values() const;
    // Puts texts in, each cut to its box's maximum length.
    void setValues(const Firmendaten& values);

    QCheckBox* chkMandantAusDB;
    QComboBox* cmbMandant;
    QLineEdit* txtFirmenName;
    QLineEdit* txtAdresse;
    QLineEdit* txtPLZ;
    QLineEdit* txtOrt;
    QLineEdit* txtTelefon;
    QLineEdit* txtTelefax;
    QLineEdit* txtBank;
    QLineEdit* txtBankleitzahl;
    QLineEdit* txtKontonummer;
    QLineEdit* txtGlaubigerID;
    QLineEdit* txtVerwendungszweck;
    QLineEdit* txtReferenznummer;
    QLineEdit* txtExtBelegnummer;
    QLineEdit* txtDatumFaelligkeit;

    // The box that has the focus when the window closes counts as left, so a
    // change typed into it is not lost.
    void countFocusedBoxAsLeft();

    void LoadMandantenListe();
    void LoadMandantAdresse();

signals:
    // A box was left or a client was loaded: the company data count as changed.
    void companyDataChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addBox(const char* name, int maxLength);

    const HostDb* m_db = nullptr;
    Prompter* m_prompter = nullptr;
};
