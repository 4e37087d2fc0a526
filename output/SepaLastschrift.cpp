#include "output/SepaLastschrift.h"

#include "output/GermanFormat.h"

namespace {

void writeBlockHeader(XmlLines& xml, const SepaDocument& doc, const PaymentBlock& block,
                      const Buchung& opening) {
    xml.value(9, "PmtInfId", block.id);
    xml.value(9, "PmtMtd", u"DD");
    xml.value(9, "BtchBookg", u"true");
    xml.value(9, "NbOfTxs", QString::number(block.count));
    xml.value(9, "CtrlSum", GermanFormat::amountXml(block.sumCents));
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
    xml.open(9, "Cdtr");
    xml.value(13, "Nm", doc.company.name);
    xml.close(9, "Cdtr");
    xml.open(9, "CdtrAcct");
    xml.open(13, "Id");
    xml.value(17, "IBAN", doc.company.iban);
    xml.close(13, "Id");
    xml.close(9, "CdtrAcct");
    xml.open(9, "CdtrAgt");
    xml.open(13, "FinInstnId");
    xml.value(17, "BIC", doc.company.bic);
    xml.close(13, "FinInstnId");
    xml.close(9, "CdtrAgt");
}

void writeTransaction(XmlLines& xml, const SepaDocument& doc, const Buchung& b) {
    xml.open(9, "DrctDbtTxInf");
    xml.open(27, "PmtId");
    xml.value(32, "EndToEndId", b.Mandatsnummer);
    xml.close(28, "PmtId");
    xml.value(28, R"(InstdAmt Ccy="EUR")", "InstdAmt", GermanFormat::amountXml(b.Betrag));
    xml.open(28, "DrctDbtTx");
    xml.open(32, "MndtRltdInf");
    xml.value(36, "MndtId", b.Mandatsnummer);
    xml.value(36, "DtOfSgntr", doc.runDate);
    xml.close(32, "MndtRltdInf");
    xml.open(32, "CdtrSchmeId");
    xml.open(36, "Id");
    xml.open(40, "PrvtId");
    xml.open(44, "Othr");
    xml.value(48, "Id", doc.company.creditorId);
    xml.open(48, "SchmeNm");
    xml.value(53, "Prtry", u"SEPA");
    xml.close(48, "SchmeNm");
    xml.close(44, "Othr");
    xml.close(40, "PrvtId");
    xml.close(36, "Id");
    xml.close(32, "CdtrSchmeId");
    xml.close(28, "DrctDbtTx");
    writeCounterparty(xml, "DbtrAgt", "Dbtr", "DbtrAcct", counterpartyName(b.Vorname, b.Name, b), b);
    xml.close(9, "DrctDbtTxInf");
}

const SepaLayout kDirectDebit{
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
    .writeBlockHeader = writeBlockHeader,
    .writeTransaction = writeTransaction,
};

} // namespace

SepaResult WriteSEPALastschrift(const QString& exportFolder, BookingList& bookings, const Firmendaten& firma,
                                const QDateTime& now, Prompter& prompter) {
    return writeSepaFile(kDirectDebit, exportFolder, bookings, firma, now, prompter);
}
