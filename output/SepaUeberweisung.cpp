#include "output/SepaUeberweisung.h"

#include "output/Sepa2019Parts.h"

namespace {

void writePaymentType(XmlLines& xml, bool instant) {
    xml.open(9, "PmtTpInf");
    xml.open(13, "SvcLvl");
    xml.value(17, "Cd", u"SEPA");
    xml.close(13, "SvcLvl");
    if (instant) {
        xml.open(13, "LclInstrm");
        xml.value(17, "Cd", u"INST");
        xml.close(13, "LclInstrm");
    }
    xml.close(9, "PmtTpInf");
}

void writeDebtorAccount(XmlLines& xml, const SepaDocument& doc) {
    xml.open(9, "DbtrAcct");
    xml.open(13, "Id");
    xml.value(17, "IBAN", doc.company.iban);
    xml.close(13, "Id");
    xml.close(9, "DbtrAcct");
}

void writeBlockHeader(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                      const Buchung& opening) {
    xml.value(9, "PmtInfId", block.id);
    xml.value(9, "PmtMtd", u"TRF");
    writePaymentType(xml, false);
    xml.value(9, "ReqdExctnDt", sepaDate(opening.Faelligkeit));
    xml.open(9, "Dbtr");
    xml.value(13, "Nm", doc.company.name);
    xml.close(9, "Dbtr");
    writeDebtorAccount(xml, doc);
    xml.open(9, "DbtrAgt");
    xml.open(13, "FinInstnId");
    xml.value(17, "BIC", doc.company.bic);
    xml.close(13, "FinInstnId");
    xml.close(9, "DbtrAgt");
}

void writeTransactionStart(XmlLines& xml, const Buchung& b) {
    xml.open(9, "CdtTrfTxInf");
    xml.open(27, "PmtId");
    xml.value(32, "EndToEndId", u"NOTPROVIDED");
    xml.close(28, "PmtId");
    xml.open(28, "Amt");
    xml.amount(33, R"(InstdAmt Ccy="EUR")", "InstdAmt", b.Betrag);
    xml.close(28, "Amt");
}

void writeTransaction(XmlLines& xml, const SepaDocument&, const Buchung& b) {
    writeTransactionStart(xml, b);
    writeCounterparty(xml, "CdtrAgt", "Cdtr", "CdtrAcct", counterpartyName(b.Name, b.Vorname, b), b);
    xml.close(9, "CdtTrfTxInf");
}

// The banks' own schemas want each block's count and sum, as the direct
// debit has them.
void writeBlockHeader2019(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                          const Buchung& opening) {
    xml.value(9, "PmtInfId", block.id);
    xml.value(9, "PmtMtd", u"TRF");
    xml.value(9, "NbOfTxs", QString::number(block.count));
    xml.amount(9, "CtrlSum", "CtrlSum", block.sumCents);
    writePaymentType(xml, doc.options.instant);
    xml.open(9, "ReqdExctnDt");
    xml.value(13, "Dt", sepaDate(opening.Faelligkeit));
    xml.close(9, "ReqdExctnDt");
    Sepa2019::writeParty(xml, 13, "Dbtr", doc.company.name, doc.company.address);
    writeDebtorAccount(xml, doc);
    Sepa2019::writeAgent(xml, 9, "DbtrAgt", doc.company.bic);
    if (!doc.options.verificationOfPayee.isEmpty())
        xml.value(9, "InstrForDbtrAgt", doc.options.verificationOfPayee);
}

// A counterparty without a known BIC is paid by IBAN alone.
void writeTransaction2019(XmlLines& xml, const SepaDocument&, const Buchung& b) {
    writeTransactionStart(xml, b);
    Sepa2019::writeCounterparty(xml, "CdtrAgt", "Cdtr", "CdtrAcct",
                                Sepa2019::counterpartyName(b.Name, b.Vorname), b, false);
    xml.close(9, "CdtTrfTxInf");
}

const SepaLayout kCreditTransfer2009{
    .version = SepaVersion::Iso2009,
    .filePrefix = "UW_",
    .blockIdPrefix = "D00",
    .rootTag = "CstmrCdtTrfInitn",
    .standardDocumentTag =
        R"(<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.001.001.03" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="urn:iso:std:iso:20022:tech:xsd:pain.001.001.03 pain.001.001.03.xsd">)",
    .austrianDocumentTag = R"(<Document xmlns="ISO:pain.001.001.03:APC:STUZZA:payments:003">)",
    .initiatorNameIndent = 13,
    .blankLineAfterHeader = true,
    .blankLineAtEnd = false,
    .directDebit = false,
    .schemas = {{"pain.001.001.03.xsd", nullptr},
                "urn:iso:std:iso:20022:tech:xsd:pain.001.001.03",
                "ISO:pain.001.001.03:APC:STUZZA:payments:003"},
    .austrianSchemas = {{"pain.001.001.03.xsd", nullptr},
                        "urn:iso:std:iso:20022:tech:xsd:pain.001.001.03",
                        "ISO:pain.001.001.03:APC:STUZZA:payments:003"},
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
    R"(<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.001.001.09" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="urn:iso:std:iso:20022:tech:xsd:pain.001.001.09 pain.001.001.09.xsd">)";

const SepaLayout kCreditTransfer2019{
    .version = SepaVersion::Iso2019,
    .filePrefix = "UW_",
    .blockIdPrefix = "D00",
    .rootTag = "CstmrCdtTrfInitn",
    .standardDocumentTag = kDocument2019,
    .austrianDocumentTag = kDocument2019,
    .initiatorNameIndent = 13,
    .blankLineAfterHeader = true,
    .blankLineAtEnd = false,
    .directDebit = false,
    .schemas = {{"pain.001.001.09.xsd", "pain.001.001.09_GBIC_5.xsd"},
                "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09",
                nullptr},
    .austrianSchemas = {{"pain.001.001.09.xsd", "pain.001.001.09.at.005.xsd"},
                        "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09",
                        nullptr},
    .createdAt = Sepa2019::creationTime,
    .companyName = Sepa2019::companyName,
    .messageId = Sepa2019::messageId,
    .blockId = Sepa2019::blockId,
    .writeBlockHeader = writeBlockHeader2019,
    .writeTransaction = writeTransaction2019,
};

} // namespace

SepaResult WriteSEPAUeberweisung(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                 const QDateTime& now, Prompter& prompter, const SepaOptions& options,
                                 SchemaCheckTiming timing) {
    return writeSepaFile(options.version == SepaVersion::Iso2019 ? kCreditTransfer2019 : kCreditTransfer2009,
                         exportFolder, bookings, firma, now, prompter, options, timing);
}
