#include "output/SepaSchemaValidation.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstring>
#include <vector>

namespace {

constexpr qint64 kChunkSize = 1 << 18;

// Parsed once per process: parsing a schema costs more than validating a
// small file. The schemas stay reachable until the process ends, so a leak
// check at exit does not count them.
xmlSchemaPtr shippedSchema(const char* fileName) {
    static QMutex mutex;
    static QHash<QString, xmlSchemaPtr>& parsed = *new QHash<QString, xmlSchemaPtr>; // never freed
    const QMutexLocker lock(&mutex);
    const QString name = QLatin1String(fileName);
    if (!parsed.contains(name)) {
        QFile file(QStringLiteral(":/schemas/") + name);
        xmlSchemaPtr schema = nullptr;
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            xmlSchemaParserCtxtPtr context = xmlSchemaNewMemParserCtxt(text.constData(), int(text.size()));
            xmlSchemaSetParserStructuredErrors(
                context, [](void*, xmlErrorPtr) {}, nullptr);
            schema = xmlSchemaParse(context);
            xmlSchemaFreeParserCtxt(context);
        }
        parsed.insert(name, schema);
    }
    return parsed.value(name);
}

struct FirstComplaint {
    xmlParserCtxtPtr parser = nullptr;
    QString text;
    long line = 0;
};

void keepFirst(void* sink, xmlErrorPtr error) {
    auto* first = static_cast<FirstComplaint*>(sink);
    if (first->text.isEmpty()) {
        first->text = QString::fromUtf8(error->message).trimmed();
        first->line = error->line;
    }
}

// The validator asks the parser where it stands for the line of a complaint.
int parserLine(void* sink, const char** file, unsigned long* line) {
    auto* first = static_cast<FirstComplaint*>(sink);
    if (file)
        *file = nullptr;
    if (line)
        *line = first->parser ? xmlSAX2GetLineNumber(first->parser) : 0;
    return 0;
}

} // namespace

bool validateStagedFile(const PendingFile& pending, const SepaSchemas& schemas, QString* complaint) {
    auto refuse = [&](const QString& reason) {
        *complaint = QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank und wurde nicht "
                                    "erstellt. %2")
                         .arg(pending.name, reason);
        return false;
    };
    QFile file(pending.tempPath);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Sie kann nicht gelesen werden: ") + file.errorString());

    FirstComplaint first;
    // A handler without callbacks of its own: the validators see every
    // element, and no tree is built.
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    xmlSAXHandlerPtr handler = &sax;
    void* userData = nullptr;
    std::vector<xmlSchemaValidCtxtPtr> validators;
    std::vector<xmlSchemaSAXPlugPtr> plugs;
    const char* failedSchema = nullptr;
    for (const char* schemaFile : schemas.files) {
        if (!schemaFile)
            continue;
        const xmlSchemaPtr schema = shippedSchema(schemaFile);
        if (!schema) {
            failedSchema = schemaFile;
            break;
        }
        xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
        xmlSchemaSetValidStructuredErrors(validator, keepFirst, &first);
        xmlSchemaValidateSetLocator(validator, parserLine, &first);
        validators.push_back(validator);
        plugs.push_back(xmlSchemaSAXPlug(validator, &handler, &userData));
    }

    bool wellFormed = true;
    if (!failedSchema) {
        QByteArray chunk = file.read(kChunkSize);
        if (schemas.ownNamespace) // the start tag stands in the first lines
            chunk.replace(QByteArray("xmlns=\"") + schemas.ownNamespace + '"',
                          QByteArray("xmlns=\"") + schemas.isoNamespace + '"');
        first.parser = xmlCreatePushParserCtxt(handler, userData, nullptr, 0, nullptr);
        xmlCtxtUseOptions(first.parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        // The first complaint is all the message names; the rest is not read.
        while (!chunk.isEmpty() && first.text.isEmpty() &&
               xmlParseChunk(first.parser, chunk.constData(), int(chunk.size()), 0) == 0)
            chunk = file.read(kChunkSize);
        xmlParseChunk(first.parser, nullptr, 0, 1);
        wellFormed = first.parser->wellFormed;
        if (!wellFormed && first.text.isEmpty()) {
            first.text = QString::fromUtf8(first.parser->lastError.message).trimmed();
            first.line = first.parser->lastError.line;
        }
        xmlFreeParserCtxt(first.parser);
    }
    for (qsizetype i = qsizetype(plugs.size()) - 1; i >= 0; --i)
        xmlSchemaSAXUnplug(plugs[i]);
    for (xmlSchemaValidCtxtPtr validator : validators)
        xmlSchemaFreeValidCtxt(validator);

    if (failedSchema)
        return refuse(
            QStringLiteral("Das Schema %1 kann nicht gelesen werden.").arg(QLatin1String(failedSchema)));
    if (first.text.isEmpty() && wellFormed)
        return true;
    return refuse(QStringLiteral("Zeile %1: %2").arg(first.line).arg(first.text));
}
