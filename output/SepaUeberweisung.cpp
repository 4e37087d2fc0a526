#include "output/SepaUeberweisung.h"

#include "output/GermanFormat.h"

namespace {

void writeBlockHeader(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                      const Buchung& opening) {
    xml.value(9, "PmtInfId", block.id);
    xml.value(9, "PmtMtd", u"TRF");
    xml.open(9, "PmtTpInf");
    xml.open(13, "SvcLvl");
    xml.value(17, "Cd", u"SEPA");
    xml.close(13, "SvcLvl");
    xml.close(9, "PmtTpInf");
    xml.value(9, "ReqdExctnDt", sepaDate(opening.Faelligkeit));
    xml.open(9, "Dbtr");
    xml.value(13, "Nm", doc.company.name);
    xml.close(9, "Dbtr");
    xml.open(9, "DbtrAcct");
    xml.open(13, "Id");
    xml.value(17, "IBAN", doc.company.iban);
    xml.close(13, "Id");
    xml.close(9, "DbtrAcct");
    xml.open(9, "DbtrAgt");
    xml.open(13, "FinInstnId");
    xml.value(17, "BIC", doc.company.bic);
    xml.close(13, "FinInstnId");
    xml.close(9, "DbtrAgt");
}

void writeTransaction(XmlLines& xml, const SepaDocument&, const Buchung& b) {
    xml.open(9, "CdtTrfTxInf");
    xml.open(27, "PmtId");
    xml.value(32, "EndToEndId", u"NOTPROVIDED");
    xml.close(28, "PmtId");
    xml.open(28, "Amt");
    xml.value(33, R"(InstdAmt Ccy="EUR")", "InstdAmt", GermanFormat::amountXml(b.Betrag));
    xml.close(28, "Amt");
    writeCounterparty(xml, "CdtrAgt", "Cdtr", "CdtrAcct", counterpartyName(b.Name, b.Vorname, b), b);
    xml.close(9, "CdtTrfTxInf");
}

const SepaLayout kCreditTransfer{
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
    .writeBlockHeader = writeBlockHeader,
    .writeTransaction = writeTransaction,
};

} // namespace

SepaResult WriteSEPAUeberweisung(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                 const QDateTime& now, Prompter& prompter) {
    return writeSepaFile(kCreditTransfer, exportFolder, bookings, firma, now, prompter);
}
