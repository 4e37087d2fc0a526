#include "output/Sepa2019Parts.h"

#include "output/BankIdentifiers.h"
#include "output/Sanitizing.h"
#include "output/SepaCountries.h"

namespace {

constexpr qsizetype kMaxIdLength = 35;
constexpr qsizetype kMaxNameLength = 70;
constexpr qsizetype kMaxRemittanceLength = 140;
constexpr qsizetype kMaxStreetLength = 70;
constexpr qsizetype kMaxPostcodeLength = 16;
constexpr qsizetype kMaxTownLength = 35;

const QString kNotProvided = QStringLiteral("NOTPROVIDED");

} // namespace

namespace Sepa2019 {

QString companyName(const QString& firmenName) {
    return ToSepaCharacterSet(firmenName, kMaxNameLength);
}

QString creationTime(const QDateTime& now) {
    const int offset = now.offsetFromUtc() / 60;
    const int minutes = offset < 0 ? -offset : offset;
    return now.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString messageId(const QString& numbers, const QDateTime& now) {
    return (numbers + QLatin1Char('-') + now.toString(QStringLiteral("yyyyMMddHHmmss"))).right(kMaxIdLength);
}

QString blockId(const char* prefix, const QString& messageId, qsizetype number, qsizetype) {
    const QString head = QLatin1String(prefix);
    const QString tail = number > 1 ? QLatin1Char('-') + QString::number(number) : QString();
    return head + messageId.right(kMaxIdLength - head.size() - tail.size()) + tail;
}

QString counterpartyName(const QString& first, const QString& second) {
    return ToSepaCharacterSet(first + QLatin1Char(' ') + second, kMaxNameLength);
}

void writeParty(XmlLines& xml, int indent, std::string_view partyTag, const QString& name,
                const SepaAddress& address) {
    xml.open(indent - 4, partyTag);
    xml.value(indent, "Nm", name);
    if (!address.town.isEmpty() && !address.country.isEmpty()) {
        xml.open(indent, "PstlAdr");
        if (!address.street.isEmpty())
            xml.value(indent + 4, "StrtNm", address.street);
        if (!address.postcode.isEmpty())
            xml.value(indent + 4, "PstCd", address.postcode);
        xml.value(indent + 4, "TwnNm", address.town);
        xml.value(indent + 4, "Ctry", address.country);
        xml.close(indent, "PstlAdr");
    }
    xml.close(indent - 4, partyTag);
}

void writeAgent(XmlLines& xml, int indent, std::string_view agentTag, const QString& bic) {
    xml.open(indent, agentTag);
    xml.open(indent + 4, "FinInstnId");
    if (bic == kNotProvided) {
        xml.open(indent + 8, "Othr");
        xml.value(indent + 12, "Id", kNotProvided);
        xml.close(indent + 8, "Othr");
    } else {
        xml.value(indent + 8, "BICFI", bic);
    }
    xml.close(indent + 4, "FinInstnId");
    xml.close(indent, agentTag);
}

SepaAddress address(const QString& street, const QString& postcode, const QString& town,
                    const QString& country) {
    return SepaAddress{ToSepaCharacterSet(street, kMaxStreetLength),
                       ToSepaCharacterSet(postcode, kMaxPostcodeLength),
                       ToSepaCharacterSet(town, kMaxTownLength), country};
}

void writeCounterparty(XmlLines& xml, std::string_view agentTag, std::string_view partyTag,
                       std::string_view accountTag, const QString& name, const Buchung& b,
                       bool agentRequired) {
    const QString bic = BankIdentifiers::bicOrNotProvided(b.BIC);
    if (agentRequired || bic != kNotProvided)
        writeAgent(xml, 28, agentTag, bic);
    const QString iban = BankIdentifiers::normalized(b.IBAN);
    writeParty(xml, 32, partyTag, name,
               address(b.Strasse, b.PLZ, b.Ort, SepaCountries::countryOf(b.Nation, b.IBAN)));
    xml.open(28, accountTag);
    xml.open(32, "Id");
    xml.value(36, "IBAN", iban);
    xml.close(32, "Id");
    xml.close(28, accountTag);
    xml.open(28, "RmtInf");
    xml.value(32, "Ustrd", ToSepaCharacterSet(b.Rechnung, kMaxRemittanceLength));
    xml.close(28, "RmtInf");
}

} // namespace Sepa2019
