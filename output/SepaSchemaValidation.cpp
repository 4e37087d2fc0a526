#include "output/SepaSchemaValidation.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr qint64 kReadChunkSize = 1 << 20;
// Chunks handed over but not yet parsed; the writer waits beyond that.
constexpr size_t kMaxWaitingChunks = 4;

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

QString refusal(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank und wurde nicht erstellt. %2")
        .arg(fileName, reason);
}

} // namespace

struct StreamingSchemaCheck::Worker {
    SepaSchemas schemas;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> waiting;
    bool ended = false;
    // Written by the thread, read after it has been joined.
    FirstComplaint first;
    bool wellFormed = true;
    const char* failedSchema = nullptr;
    std::thread thread;

    // The next chunk, or false once the document has ended.
    bool take(QByteArray* chunk) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return ended || !waiting.empty(); });
        if (waiting.empty())
            return false;
        *chunk = std::move(waiting.front());
        waiting.pop_front();
        changed.notify_all();
        return true;
    }

    void run() {
        // A handler without callbacks of its own: the validators see every
        // element, and no tree is built.
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        xmlSAXHandlerPtr handler = &sax;
        void* userData = nullptr;
        std::vector<xmlSchemaValidCtxtPtr> validators;
        std::vector<xmlSchemaSAXPlugPtr> plugs;
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
        if (!failedSchema) {
            first.parser = xmlCreatePushParserCtxt(handler, userData, nullptr, 0, nullptr);
            xmlCtxtUseOptions(first.parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        }
        QByteArray chunk;
        bool atStart = true;
        bool parsing = !failedSchema;
        // The first complaint is all the message names; the rest is taken
        // but not read, so the writer never waits for nothing.
        while (take(&chunk)) {
            if (atStart && schemas.ownNamespace) // the start tag stands in the first lines
                chunk.replace(QByteArray("xmlns=\"") + schemas.ownNamespace + '"',
                              QByteArray("xmlns=\"") + schemas.isoNamespace + '"');
            atStart = false;
            parsing = parsing && first.text.isEmpty() &&
                      xmlParseChunk(first.parser, chunk.constData(), int(chunk.size()), 0) == 0;
        }
        if (first.parser) {
            xmlParseChunk(first.parser, nullptr, 0, 1);
            wellFormed = first.parser->wellFormed;
            if (!wellFormed && first.text.isEmpty()) {
                first.text = QString::fromUtf8(first.parser->lastError.message).trimmed();
                first.line = first.parser->lastError.line;
            }
            xmlFreeParserCtxt(first.parser);
            first.parser = nullptr;
        }
        for (qsizetype i = qsizetype(plugs.size()) - 1; i >= 0; --i)
            xmlSchemaSAXUnplug(plugs[i]);
        for (xmlSchemaValidCtxtPtr validator : validators)
            xmlSchemaFreeValidCtxt(validator);
    }

    void end() {
        if (!thread.joinable())
            return;
        {
            const std::lock_guard lock(mutex);
            ended = true;
        }
        changed.notify_all();
        thread.join();
    }
};

StreamingSchemaCheck::StreamingSchemaCheck(const SepaSchemas& schemas)
    : m_worker(std::make_unique<Worker>()) {
    xmlInitParser(); // once, before any thread of libxml2's own uses it
    m_worker->schemas = schemas;
    m_worker->thread = std::thread([worker = m_worker.get()] { worker->run(); });
}

StreamingSchemaCheck::~StreamingSchemaCheck() {
    m_worker->end();
}

void StreamingSchemaCheck::add(QByteArray chunk) {
    Worker& w = *m_worker;
    std::unique_lock lock(w.mutex);
    w.changed.wait(lock, [&] { return w.waiting.size() < kMaxWaitingChunks; });
    w.waiting.push_back(std::move(chunk));
    w.changed.notify_all();
}

bool StreamingSchemaCheck::finish(const QString& fileName, QString* complaint) {
    Worker& w = *m_worker;
    w.end();
    if (w.failedSchema) {
        *complaint = refusal(
            fileName,
            QStringLiteral("Das Schema %1 kann nicht gelesen werden.").arg(QLatin1String(w.failedSchema)));
        return false;
    }
    if (w.first.text.isEmpty() && w.wellFormed)
        return true;
    *complaint = refusal(fileName, QStringLiteral("Zeile %1: %2").arg(w.first.line).arg(w.first.text));
    return false;
}

bool validateStagedFile(const PendingFile& pending, const SepaSchemas& schemas, QString* complaint) {
    QFile file(pending.tempPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *complaint =
            refusal(pending.name, QStringLiteral("Sie kann nicht gelesen werden: ") + file.errorString());
        return false;
    }
    StreamingSchemaCheck check(schemas);
    for (QByteArray chunk = file.read(kReadChunkSize); !chunk.isEmpty(); chunk = file.read(kReadChunkSize))
        check.add(std::move(chunk));
    return check.finish(pending.name, complaint);
}
