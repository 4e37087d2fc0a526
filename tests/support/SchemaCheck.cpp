#include "SchemaCheck.h"

#include <QHash>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

namespace {

void collect(void* sink, const xmlError* error) {
    auto* text = static_cast<QString*>(sink);
    *text += QStringLiteral("line %1: %2").arg(error->line).arg(QString::fromUtf8(error->message).trimmed()) +
             QLatin1Char('\n');
}

// Parsed schemas live for the whole test program; parsing takes longer than
// most validations.
xmlSchemaPtr schema(const QString& schemaFile) {
    static QHash<QString, xmlSchemaPtr>& parsed = *new QHash<QString, xmlSchemaPtr>; // never freed
    if (!parsed.contains(schemaFile)) {
        const QByteArray path = QStringLiteral(BRV_SCHEMA_DIR "/%1").arg(schemaFile).toLocal8Bit();
        xmlSchemaParserCtxtPtr context = xmlSchemaNewParserCtxt(path.constData());
        parsed.insert(schemaFile, xmlSchemaParse(context));
        xmlSchemaFreeParserCtxt(context);
    }
    return parsed.value(schemaFile);
}

} // namespace

QString schemaErrors(const QByteArray& xml, const QString& schemaFile) {
    const xmlSchemaPtr parsedSchema = schema(schemaFile);
    if (!parsedSchema)
        return QStringLiteral("schema %1 cannot be read").arg(schemaFile);

    QString errors;
    xmlDocPtr doc = xmlReadMemory(xml.constData(), int(xml.size()), "document.xml", nullptr, XML_PARSE_NONET);
    if (!doc)
        return QStringLiteral("not well-formed XML");
    xmlSchemaValidCtxtPtr validation = xmlSchemaNewValidCtxt(parsedSchema);
    xmlSchemaSetValidStructuredErrors(validation, reinterpret_cast<xmlStructuredErrorFunc>(collect), &errors);
    const int result = xmlSchemaValidateDoc(validation, doc);
    xmlSchemaFreeValidCtxt(validation);
    xmlFreeDoc(doc);
    if (result != 0 && errors.isEmpty())
        errors = QStringLiteral("invalid (code %1)").arg(result);
    return errors;
}

QByteArray withStandardNamespace(QByteArray xml) {
    xml.replace(R"(xmlns="ISO:pain.001.001.03:APC:STUZZA:payments:003")",
                R"(xmlns="urn:iso:std:iso:20022:tech:xsd:pain.001.001.03")");
    xml.replace(R"(xmlns="APC:STUZZA:payments:ISO:pain:008:001:01:austrian:002")",
                R"(xmlns="urn:iso:std:iso:20022:tech:xsd:pain.008.001.02")");
    return xml;
}

QStringList bankSchemasOf(bool directDebit, SepaVersion version, bool austrian) {
    if (version == SepaVersion::Iso2009)
        return {directDebit ? "pain.008.001.02.xsd" : "pain.001.001.03.xsd"};
    if (!directDebit)
        return {"pain.001.001.09.xsd",
                austrian ? "pain.001.001.09.at.005.xsd" : "pain.001.001.09_GBIC_5.xsd"};
    return {"pain.008.001.08.xsd", austrian ? "pain.008.001.08.at.004.xsd" : "pain.008.001.08_GBIC_5.xsd",
            "pain.008.001.08_GBIC_4.xsd"};
}

QString bankSchemaErrors(const QByteArray& xml, bool directDebit, SepaVersion version, bool austrian) {
    QString all;
    for (const QString& schema : bankSchemasOf(directDebit, version, austrian)) {
        const QString errors = schemaErrors(withStandardNamespace(xml), schema);
        if (!errors.isEmpty())
            all += schema + QStringLiteral(": ") + errors;
    }
    return all;
}
