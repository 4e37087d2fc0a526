#pragma once

#include "base/ExportSettings.h"
#include "base/Prompter.h"
#include "output/SepaOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// What an export run left behind.
struct ExportOutcome {
    bool published = false; // the payment file is complete under its name
    bool posted = false;    // and its invoices are marked as transferred
    QString paymentFile;
    QString csvFile;
    qint32 count = 0;           // payments in the payment file
    qint64 controlSumCents = 0; // their sum
    int skipped = 0;            // selected invoices exported elsewhere since the list was loaded
    SepaOptions options;        // instant and verification of payee as the file carries them
    // Reports, the log or the CSV file that could not be written once the
    // posting was committed; the posting stands.
    QList<MissingFile> missing;
    // The bookings of a finished run and what was built from them, of no
    // more use: batch mode leaves them to the operating system at its exit,
    // which is quicker than freeing 100,000 bookings one by one.
    std::shared_ptr<const void> leftovers;
};

// Closes the message of a run that stopped before it wrote or posted anything.
inline const QString kNothingExported = QStringLiteral("\rEs wurde nichts exportiert oder gebucht.");

// The start button's checks of the creditor panel: IBAN, company name and
// bank must be filled. Shows the message of the first empty one.
bool checkCreditorPanel(const Firmendaten& firma, Prompter& prompter);

// One export run: reads the selected invoices, builds and checks the
// bookings, stages the CSV and SEPA files, claims and posts the invoices in
// one transaction, publishes the files, then shows the two reports and
// reloads the open-invoice list (reloadOpenInvoices). No payment file is
// ever visible for invoices that are not posted, and an invoice another run
// claimed first makes the whole run take nothing. paymentFilePublished, when
// set, learns the payment file's path before the reports are shown (batch
// mode names its PDF files after it).
ExportOutcome ExportSEPA(const ExportSettings& settings, const QStringList& selectedNames, Prompter& prompter,
                         const std::function<void()>& reloadOpenInvoices,
                         const std::function<void(const QString&)>& paymentFilePublished = {});
