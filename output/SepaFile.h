#pragma once

#include "base/Buchung.h"
#include "base/Firmendaten.h"
#include "base/Prompter.h"
#include "output/PendingFile.h"
#include "output/SepaOptions.h"
#include "output/SepaSchemaValidation.h"
#include "output/XmlLines.h"

#include <QDateTime>
#include <QString>

#include <memory>

// When a payment file is checked against its schemas: the check follows the
// file from disk while it is written in either case; WhileWriting waits for
// the verdict before the writer returns (a failing file is refused there),
// Behind leaves it to the run (SepaResult::check holds the verdict to wait
// for).
enum class SchemaCheckTiming { WhileWriting, Behind };

// What a SEPA writer hands back to the export run: the file staged under its
// temporary name, for the run to publish once the posting is committed. The
// count is set only when the file was staged; the control sum in every
// outcome.
struct SepaResult {
    bool written = false;
    qint32 count = 0;
    qint64 controlSumCents = 0;
    QString path; // folder + file name, as formed from the export folder
    PendingFile file;
    std::shared_ptr<PendingSchemaCheck> check; // only when checked behind the writing
    // The options the file carries: instant and a verification of payee only
    // where its kind and variant take them.
    SepaOptions carried;
};

// A structured postal address of a 2019 file, its texts in the SEPA set.
struct SepaAddress {
    QString street;
    QString postcode;
    QString town;
    QString country; // empty when none is known: then no address is written
};

// The company as the files carry it.
struct SepaCompany {
    QString name;        // as the layout's companyName makes it
    QString iban;        // upper case, no blanks
    QString bic;         // upper case, no blanks; "NOTPROVIDED" when empty
    QString creditorId;  // as typed; direct debits only
    SepaAddress address; // from the creditor panel, country from the IBAN
};

// Bookings at positions [first, end) of the list sharing one due date.
struct PaymentBlock {
    qsizetype first = 0;
    qsizetype end = 0;
    qint32 count = 0;
    qint64 sumCents = 0;
    QString id;
};

// Everything a layout may put into the document besides the booking itself.
struct SepaDocument {
    SepaCompany company;
    QString messageId;
    QString runDate;     // yyyy-mm-dd of the run
    SepaOptions options; // as this file carries them
};

// What differs between the credit transfer and the direct debit file. The
// common core writes the declaration, the group header, the block frames,
// the closing and the empty lines; the layout fills in the rest.
struct SepaLayout {
    SepaVersion version;
    const char* filePrefix;          // "UW_"
    const char* blockIdPrefix;       // "D00"
    const char* rootTag;             // "CstmrCdtTrfInitn"
    const char* standardDocumentTag; // <Document ...> of the standard variant
    const char* austrianDocumentTag; // <Document ...> of the Austrian variant
    int initiatorNameIndent;         // blanks before the Nm of InitgPty
    bool blankLineAfterHeader;
    bool blankLineAtEnd;
    bool directDebit;            // mandate and creditor identifier checks
    SepaSchemas schemas;         // of the standard variant
    SepaSchemas austrianSchemas; // of the Austrian variant
    // CreDtTm of the run's date-time.
    QString (*createdAt)(const QDateTime& now);
    QString (*companyName)(const QString& firmenName);
    // MsgId from the first and last customer number and the run's time.
    QString (*messageId)(const QString& numbers, const QDateTime& now);
    // PmtInfId of block number (1-based) of blockCount blocks.
    QString (*blockId)(const char* prefix, const QString& messageId, qsizetype number, qsizetype blockCount);
    void (*writeBlockHeader)(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                             const Buchung& opening);
    void (*writeTransaction)(XmlLines& xml, const SepaDocument& doc, const Buchung& b);
};

// The common core of both writers: checks the company values and writes the
// document of the bookings (checked by CheckBookings before) under a
// temporary name. now is the run's date-time for the file name, CreDtTm and
// the mandate signature date. Instant payment and the verification of payee
// go only into the 2019 credit transfer file, the latter only in its
// Austrian variant; an Austrian 2019 file carries no company address.
SepaResult writeSepaFile(const SepaLayout& layout, const QString& exportFolder, BookingList& bookings,
                         const Firmendaten& firma, const QDateTime& now, Prompter& prompter,
                         const SepaOptions& options, SchemaCheckTiming timing);

// CreDtTm of the 2009 files: the local date and time as they stand.
QString creationTime2009(const QDateTime& now);

// The company name of the 2009 files: sanitized, cut to 70 characters, no "&".
QString companyName2009(const QString& firmenName);

// Text for a name or remittance element: cut to maxLength characters, "&"
// and line breaks and other control characters replaced by a blank.
QString sepaText(const QString& text, qsizetype maxLength);

// "Name Vorname, PLZ Ort, Strasse" with the two name parts in the order
// given, as bank text of at most 70 characters.
QString counterpartyName(const QString& first, const QString& second, const Buchung& b);

// The sanitized invoice number as remittance text of at most 140 characters.
QString remittanceText(const Buchung& b);

// The other side of a transaction: its bank (agentTag, with the BIC), the
// party (partyTag, with name), its account (accountTag, with the IBAN) and
// the remittance text, as both layouts indent them.
void writeCounterparty(XmlLines& xml, std::string_view agentTag, std::string_view partyTag,
                       std::string_view accountTag, const QString& name, const Buchung& b);

// yyyy-mm-dd
QString sepaDate(const QDateTime& dt);

// The id of payment block number (1-based) of blockCount blocks. The first
// keeps the base; later ones get "-" and their number, with the base cut so
// that every id stays within the 35 characters the schema allows.
QString paymentBlockId(const QString& base, qsizetype number, qsizetype blockCount);
