#pragma once

#include "output/SepaFile.h"

// What the 2019 layouts of both messages share: names and texts in the SEPA
// set, identifiers unique over time, structured addresses, and agents that
// carry "NOTPROVIDED" as Othr where no BIC is known.
namespace Sepa2019 {

QString companyName(const QString& firmenName);
// CreDtTm: the run's local date and time with its offset from UTC at that
// moment, "2026-12-08T14:05:09+01:00"; banks refuse a time without one.
QString creationTime(const QDateTime& now);
// The 2009 message id, "-" and the run's yyyymmddhhmmss, cut at its front to
// 35 characters.
QString messageId(const QString& numbers, const QDateTime& now);
// prefix + messageId (+ "-" + number from the second block), the message id
// cut at its front so the whole stays within 35 characters.
QString blockId(const char* prefix, const QString& messageId, qsizetype number, qsizetype blockCount);
// The two name parts in the order given, in the SEPA set, at most 70.
QString counterpartyName(const QString& first, const QString& second);

// A postal address from the texts as stored: the SEPA set, each cut to the
// length its element allows.
SepaAddress address(const QString& street, const QString& postcode, const QString& town,
                    const QString& country);
// A party: its Nm and, when its town and country are known, its PstlAdr.
void writeParty(XmlLines& xml, int indent, std::string_view partyTag, const QString& name,
                const SepaAddress& address);
// A bank: BICFI, or Othr/NOTPROVIDED when the BIC is unknown.
void writeAgent(XmlLines& xml, int indent, std::string_view agentTag, const QString& bic);
// The other side of a transaction as in the 2009 files, with the 2019
// agent (left out for an unknown BIC unless agentRequired), party and text.
void writeCounterparty(XmlLines& xml, std::string_view agentTag, std::string_view partyTag,
                       std::string_view accountTag, const QString& name, const Buchung& b,
                       bool agentRequired);

} // namespace Sepa2019
