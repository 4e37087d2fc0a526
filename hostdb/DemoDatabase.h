#pragma once

#include <QDate>
#include <QString>

// Writes an embedded host database with plausible German data: clients and
// customers with valid IBANs, open invoices of type R and of the enabled
// settlement types, a few data gaps for the plausibility check and a few
// transferred invoices for the overview.
namespace DemoDatabase {

struct Options {
    int invoicesPerType = 300; // open invoices of R and of each enabled settlement type
    QDate today = QDate::currentDate();
};

// Settlement types switched on in the demo's form settings.
inline constexpr int kEnabledTypes[] = {1, 2, 3, 5};

bool write(const QString& file, const Options& options, QString* error);

// An IBAN from its country code and national account text, with the check digits
// computed (ISO 13616 mod 97).
QString iban(const QString& country, const QString& bban);

} // namespace DemoDatabase
