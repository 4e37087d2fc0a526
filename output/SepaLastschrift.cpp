#include "output/SepaLastschrift.h"

#include "output/BankIdentifiers.h"
#include "output/Sepa2019Parts.h"

namespace {

void writeBlockHeaderStart(XmlLines& xml, const PaymentBlock& block, const Buchung& opening) {
    xml.value(9, "PmtInfId", block.id);
    xml.value(9, "PmtMtd", u"DD");
    xml.value(9, "BtchBookg", u"true");
    xml.value(9, "NbOfTxs", QString::number(block.count));
    xml.amount(9, "CtrlSum", "CtrlSum", block.sumCents);
    xml.open(9, "PmtTpInf");
    xml.open(13, "SvcLvl");
    xml.value(17, "Cd", u"SEPA");
    xml.close(13, "SvcLvl");
    xml.open(13, "LclInstrm");
    xml.value(17, "Cd", u"CORE");
    xml.close(13, "LclInstrm");
    xml.value(13, "SeqTp", u"RCUR");
    xml.close(9, "PmtTpInf");
    xml.value(9, "ReqdColltnDt", sepaDate(opening.Faelligkeit));
}

void writeCreditorAccount(XmlLines& xml, const SepaDocument& doc) {
    xml.open(9, "CdtrAcct");
    xml.open(13, "Id");
    xml.value(17, "IBAN", doc.company.iban);
    xml.close(13, "Id");
    xml.close(9, "CdtrAcct");
}

void writeBlockHeader(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                      const Buchung& opening) {
    writeBlockHeaderStart(xml, block, opening);
    xml.open(9, "Cdtr");
    xml.value(13, "Nm", doc.company.name);
    xml.close(9, "Cdtr");
    writeCreditorAccount(xml, doc);
    xml.open(9, "CdtrAgt");
    xml.open(13, "FinInstnId");
    xml.value(17, "BIC", doc.company.bic);
    xml.close(13, "FinInstnId");
    xml.close(9, "CdtrAgt");
}

void writeBlockHeader2019(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                          const Buchung& opening) {
    writeBlockHeaderStart(xml, block, opening);
    Sepa2019::writeParty(xml, 13, "Cdtr", doc.company.name, doc.company.address);
    writeCreditorAccount(xml, doc);
    Sepa2019::writeAgent(xml, 9, "CdtrAgt", doc.company.bic);
}

// Everything of a transaction up to the debtor's bank; creditorId as the
// version writes it.
void writeMandate(XmlLines& xml, const SepaDocument& doc, const Buchung& b, const QString& creditorId) {
    xml.open(9, "DrctDbtTxInf");
    xml.open(27, "PmtId");
    xml.value(32, "EndToEndId", b.Mandatsnummer);
    xml.close(28, "PmtId");
    xml.amount(28, R"(InstdAmt Ccy="EUR")", "InstdAmt", b.Betrag);
    xml.open(28, "DrctDbtTx");
    xml.open(32, "MndtRltdInf");
    xml.value(36, "MndtId", b.Mandatsnummer);
    xml.value(36, "DtOfSgntr", doc.runDate);
    xml.close(32, "MndtRltdInf");
    xml.open(32, "CdtrSchmeId");
    xml.open(36, "Id");
    xml.open(40, "PrvtId");
    xml.open(44, "Othr");
    xml.value(48, "Id", creditorId);
    xml.open(48, "SchmeNm");
    xml.value(53, "Prtry", u"SEPA");
    xml.close(48, "SchmeNm");
    xml.close(44, "Othr");
    xml.close(40, "PrvtId");
    xml.close(36, "Id");
    xml.close(32, "CdtrSchmeId");
    xml.close(28, "DrctDbtTx");
}

void writeTransaction(XmlLines& xml, const SepaDocument& doc, const Buchung& b) {
    writeMandate(xml, doc, b, doc.company.creditorId);
    writeCounterparty(xml, "DbtrAgt", "Dbtr", "DbtrAcct", counterpartyName(b.Vorname, b.Name, b), b);
    xml.close(9, "DrctDbtTxInf");
}

void writeTransaction2019(XmlLines& xml, const SepaDocument& doc, const Buchung& b) {
    writeMandate(xml, doc, b, BankIdentifiers::normalized(doc.company.creditorId));
    Sepa2019::writeCounterparty(xml, "DbtrAgt", "Dbtr", "DbtrAcct",
                                Sepa2019::counterpartyName(b.Vorname, b.Name), b, true);
    xml.close(9, "DrctDbtTxInf");
}

const SepaLayout kDirectDebit2009{
    .version = SepaVersion::Iso2009,
    .filePrefix = "LS_",
    .blockIdPrefix = "EZ00",
    .rootTag = "CstmrDrctDbtInitn",
    .standardDocumentTag =
        R"(<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.008.001.02" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="urn:iso:std:iso:20022:tech:xsd:pain.008.001.02 pain.008.001.02.xsd">)",
    .austrianDocumentTag =
        R"(<Document xmlns="APC:STUZZA:payments:ISO:pain:008:001:01:austrian:002" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)",
    .initiatorNameIndent = 15,
    .blankLineAfterHeader = false,
    .blankLineAtEnd = true,
    .directDebit = true,
    .schemas = {{"pain.008.001.02.xsd", nullptr},
                "urn:iso:std:iso:20022:tech:xsd:pain.008.001.02",
                "APC:STUZZA:payments:ISO:pain:008:001:01:austrian:002"},
    .austrianSchemas = {{"pain.008.001.02.xsd", nullptr},
                        "urn:iso:std:iso:20022:tech:xsd:pain.008.001.02",
                        "APC:STUZZA:payments:ISO:pain:008:001:01:austrian:002"},
    .createdAt = creationTime2009,
    .companyName = companyName2009,
    .messageId = [](const QString& numbers, const QDateTime&) { return numbers; },
    .blockId =
        [](const char* prefix, const QString& messageId, qsizetype number, qsizetype blockCount) {
            return paymentBlockId(QLatin1String(prefix) + messageId, number, blockCount);
        },
    .writeBlockHeader = writeBlockHeader,
    .writeTransaction = writeTransaction,
};

const char kDocument2019[] =
    R"(<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.008.001.08" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="urn:iso:std:iso:20022:tech:xsd:pain.008.001.08 pain.008.001.08.xsd">)";

// The banks' own schemas are stricter than ISO's; a file must pass both.
const SepaLayout kDirectDebit2019{
    .version = SepaVersion::Iso2019,
    .filePrefix = "LS_",
    .blockIdPrefix = "EZ00",
    .rootTag = "CstmrDrctDbtInitn",
    .standardDocumentTag = kDocument2019,
    .austrianDocumentTag = kDocument2019,
    .initiatorNameIndent = 15,
    .blankLineAfterHeader = false,
    .blankLineAtEnd = true,
    .directDebit = true,
    .schemas = {{"pain.008.001.08.xsd", "pain.008.001.08_GBIC_5.xsd"},
                "urn:iso:std:iso:20022:tech:xsd:pain.008.001.08",
                nullptr},
    .austrianSchemas = {{"pain.008.001.08.xsd", "pain.008.001.08.at.004.xsd"},
                        "urn:iso:std:iso:20022:tech:xsd:pain.008.001.08",
                        nullptr},
    .createdAt = Sepa2019::creationTime,
    .companyName = Sepa2019::companyName,
    .messageId = Sepa2019::messageId,
    .blockId = Sepa2019::blockId,
    .writeBlockHeader = writeBlockHeader2019,
    .writeTransaction = writeTransaction2019,
};

} // namespace

SepaResult WriteSEPALastschrift(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                const QDateTime& now, Prompter& prompter, const SepaOptions& options,
                                SchemaCheckTiming timing) {
    return writeSepaFile(options.version == SepaVersion::Iso2019 ? kDirectDebit2019 : kDirectDebit2009,
                         exportFolder, bookings, firma, now, prompter, options, timing);
}
