#include "output/SepaFile.h"

#include "output/BankIdentifiers.h"
#include "output/ExportPath.h"
#include "output/PendingFile.h"
#include "output/Sanitizing.h"
#include "output/Sepa2019Parts.h"
#include "output/SepaChecks.h"
#include "output/SepaCountries.h"

#include <QFile>
#include <QList>

#include <optional>

namespace {

constexpr qsizetype kMaxIdLength = 35;
constexpr qsizetype kMaxNameLength = 70;
constexpr qsizetype kMaxRemittanceLength = 140;

bool isAustrian(const SepaCompany& company) {
    return company.iban.startsWith(QLatin1String("AT"));
}

// What of the options a file of this layout and variant carries.
SepaOptions optionsCarried(const SepaLayout& layout, const SepaCompany& company, const SepaOptions& options) {
    SepaOptions carried;
    carried.version = layout.version;
    if (!layout.directDebit && layout.version == SepaVersion::Iso2019) {
        carried.instant = options.instant;
        if (isAustrian(company))
            carried.verificationOfPayee = options.verificationOfPayee;
    }
    return carried;
}

// The company values as the file carries them, or nothing (after telling the
// user) when one of them would make the file invalid.
std::optional<SepaCompany> readCompany(const SepaLayout& layout, const Firmendaten& firma,
                                       Prompter& prompter) {
    const bool directDebit = layout.directDebit;
    SepaCompany company;
    company.name = layout.companyName(firma.FirmenName);
    company.iban = BankIdentifiers::normalized(firma.Kontonummer);
    company.bic = BankIdentifiers::bicOrNotProvided(firma.Bankleitzahl);
    company.creditorId = firma.GlaubigerID;
    // Austrian banks refuse a file that carries the company's address.
    if (!isAustrian(company))
        company.address = Sepa2019::address(firma.Adresse, firma.PLZ, firma.Ort,
                                            SepaCountries::countryOf({}, company.iban));

    QString problem;
    if (company.name.trimmed().isEmpty())
        problem = kNoFirmenName;
    else if (company.iban.isEmpty())
        problem = kNoIban;
    else if (!BankIdentifiers::ibanFitsSchema(company.iban))
        problem = QStringLiteral("Die IBAN der Firma ist ungültig: ") + firma.Kontonummer;
    else if (!BankIdentifiers::ibanCheckDigitsValid(company.iban))
        problem = QStringLiteral("Die IBAN der Firma hat eine ungültige Prüfziffer: ") + firma.Kontonummer;
    else if (!BankIdentifiers::bicFitsSchema(company.bic))
        problem = QStringLiteral("Der BIC der Firma ist ungültig: ") + firma.Bankleitzahl;
    else if (directDebit && !BankIdentifiers::creditorIdValid(company.creditorId))
        problem = QStringLiteral("Für den Einzug muss eine gültige Gläubiger ID eingegeben werden.");
    else if (directDebit && company.creditorId.size() > kMaxIdLength)
        problem =
            QStringLiteral("Die Gläubiger ID darf höchstens 35 Zeichen lang sein: ") + company.creditorId;
    if (problem.isEmpty())
        return company;
    prompter.message(problem, Prompter::Icon::Critical);
    return std::nullopt;
}

// Day and time of day as they stand; comparing the date-times themselves
// would convert both through the time zone for every booking.
bool sameDueDate(const Buchung& a, const Buchung& b) {
    return a.Faelligkeit.date() == b.Faelligkeit.date() && a.Faelligkeit.time() == b.Faelligkeit.time();
}

// Consecutive bookings with the same due date (day and time) share a block.
QList<PaymentBlock> paymentBlocks(const BookingList& bookings, const SepaLayout& layout,
                                  const QString& messageId) {
    QList<PaymentBlock> blocks;
    for (qsizetype i = 0; i < bookings.count(); ++i) {
        if (i == 0 || !sameDueDate(bookings[i], bookings[i - 1]))
            blocks.append(PaymentBlock{i, i, 0, 0, {}});
        PaymentBlock& block = blocks.last();
        block.end = i + 1;
        ++block.count;
        block.sumCents += bookings[i].Betrag;
    }
    for (qsizetype n = 0; n < blocks.size(); ++n)
        blocks[n].id = layout.blockId(layout.blockIdPrefix, messageId, n + 1, blocks.size());
    return blocks;
}

// The first customer number followed directly by the last one (none when
// there is only one booking). Two 32-bit numbers stay within 35 characters.
QString messageIdOf(const BookingList& bookings) {
    QString id = QString::number(bookings[0].Nummer);
    if (bookings.count() > 1)
        id += QString::number(bookings[bookings.count() - 1].Nummer);
    return id;
}

bool writeDocument(QIODevice& device, PendingSchemaCheck& check, const SepaLayout& layout,
                   const BookingList& bookings, const SepaDocument& doc, const SepaCheckSummary& checks,
                   const QDateTime& now) {
    XmlLines xml(device, [&check](qint64 written) { check.written(written); });
    xml.raw(0, R"(<?xml version="1.0" encoding="UTF-8"?>)");
    xml.raw(0, isAustrian(doc.company) ? layout.austrianDocumentTag : layout.standardDocumentTag);
    xml.open(1, layout.rootTag);
    xml.open(5, "GrpHdr");
    xml.value(9, "MsgId", doc.messageId);
    xml.value(9, "CreDtTm", layout.createdAt(now));
    xml.value(9, "NbOfTxs", QString::number(checks.count));
    xml.amount(9, "CtrlSum", "CtrlSum", checks.sumCents);
    xml.open(9, "InitgPty");
    xml.value(layout.initiatorNameIndent, "Nm", doc.company.name);
    xml.close(9, "InitgPty");
    xml.close(5, "GrpHdr");
    if (layout.blankLineAfterHeader)
        xml.blank();

    for (const PaymentBlock& block : paymentBlocks(bookings, layout, doc.messageId)) {
        xml.open(5, "PmtInf");
        layout.writeBlockHeader(xml, doc, block, bookings[block.first]);
        for (qsizetype i = block.first; i < block.end; ++i) {
            layout.writeTransaction(xml, doc, bookings[i]);
            if (i + 1 < block.end)
                xml.blank();
        }
        xml.close(5, "PmtInf");
    }

    xml.close(1, layout.rootTag);
    xml.raw(0, "</Document>");
    if (layout.blankLineAtEnd)
        xml.blank();
    return xml.finish();
}

} // namespace

SepaResult writeSepaFile(const SepaLayout& layout, const QString& exportFolder, BookingList& bookings,
                         const Firmendaten& firma, const QDateTime& now, Prompter& prompter,
                         const SepaOptions& options, SchemaCheckTiming timing) {
    SepaResult result;
    SepaCheckSummary totals;
    for (const Buchung& b : bookings) {
        ++totals.count;
        totals.sumCents += b.Betrag;
    }
    result.controlSumCents = totals.sumCents;
    if (totals.count == 0)
        return result;

    const std::optional<SepaCompany> company = readCompany(layout, firma, prompter);
    if (!company)
        return result;

    const QString fileName = QLatin1String(layout.filePrefix) + firma.Verwendungszweck + QLatin1Char('_') +
                             now.toString(QStringLiteral("ddMMyyyy'T'HHmmss")) + QStringLiteral(".xml");
    result.path = exportFolder + fileName;
    const SepaDocument doc{*company, layout.messageId(messageIdOf(bookings), now), sepaDate(now),
                           optionsCarried(layout, *company, options)};
    const SepaSchemas& schemas = isAustrian(doc.company) ? layout.austrianSchemas : layout.schemas;
    // The check reads the file from disk right behind the writer.
    std::shared_ptr<PendingSchemaCheck> check;
    QString stagedAt;
    result.file = stageFile(exportFolder, fileName, [&](QFile& file) {
        stagedAt = file.fileName();
        check = std::make_shared<PendingSchemaCheck>(stagedAt, result.path, schemas);
        return writeDocument(file, *check, layout, bookings, doc, totals, now);
    });
    if (!result.file.isStaged()) {
        // Only a closed file can be removed everywhere: the half file goes
        // again once the check has let go of it.
        if (check) {
            check.reset();
            QFile::remove(stagedAt);
        }
        prompter.message(QStringLiteral("Fehler beim Schreiben der XML Datei ") + result.path +
                             QStringLiteral(" \r") + result.file.errorString,
                         Prompter::Icon::Critical);
        return result;
    }
    check->complete();
    QString complaint;
    if (timing == SchemaCheckTiming::WhileWriting && !check->passes(&complaint)) {
        result.file.discard();
        prompter.message(complaint, Prompter::Icon::Critical);
        return result;
    }
    if (timing == SchemaCheckTiming::Behind)
        result.check = check;
    result.written = true;
    result.count = totals.count;
    result.carried = doc.options;
    return result;
}

QString creationTime2009(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

QString companyName2009(const QString& firmenName) {
    return sepaText(ReplaceSpecialChars(firmenName), kMaxNameLength);
}

QString sepaText(const QString& text, qsizetype maxLength) {
    QString result = text.left(maxLength);
    if (!result.isEmpty() && result.back().isHighSurrogate())
        result.chop(1);
    for (QChar& c : result) {
        if (c == QLatin1Char('&') || c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return result;
}

QString counterpartyName(const QString& first, const QString& second, const Buchung& b) {
    QString name;
    name.reserve(first.size() + second.size() + b.PLZ.size() + b.Ort.size() + b.Strasse.size() + 6);
    name.append(first).append(QLatin1Char(' ')).append(second).append(QLatin1String(", "));
    name.append(b.PLZ).append(QLatin1Char(' ')).append(b.Ort).append(QLatin1String(", ")).append(b.Strasse);
    return sepaText(name, kMaxNameLength);
}

QString remittanceText(const Buchung& b) {
    return sepaText(ReplaceSpecialChars(b.Rechnung), kMaxRemittanceLength);
}

void writeCounterparty(XmlLines& xml, std::string_view agentTag, std::string_view partyTag,
                       std::string_view accountTag, const QString& name, const Buchung& b) {
    xml.open(28, agentTag);
    xml.open(32, "FinInstnId");
    xml.value(36, "BIC", BankIdentifiers::bicOrNotProvided(b.BIC));
    xml.close(32, "FinInstnId");
    xml.close(28, agentTag);
    xml.open(28, partyTag);
    xml.value(32, "Nm", name);
    xml.close(28, partyTag);
    xml.open(28, accountTag);
    xml.open(32, "Id");
    xml.value(36, "IBAN", BankIdentifiers::normalized(b.IBAN));
    xml.close(32, "Id");
    xml.close(28, accountTag);
    xml.open(28, "RmtInf");
    xml.value(32, "Ustrd", remittanceText(b));
    xml.close(28, "RmtInf");
}

QString sepaDate(const QDateTime& dt) {
    return dt.toString(QStringLiteral("yyyy-MM-dd"));
}

QString paymentBlockId(const QString& base, qsizetype number, qsizetype blockCount) {
    if (number <= 1)
        return base.left(kMaxIdLength);
    const qsizetype room = kMaxIdLength - 1 - QString::number(blockCount).size();
    return base.left(room) + QLatin1Char('-') + QString::number(number);
}
