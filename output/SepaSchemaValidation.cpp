#include "output/SepaSchemaValidation.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr qint64 kReadChunkSize = 1 << 20;

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

// Leaves out the blank text that stands between two elements (the files'
// indentation): the validators would only confirm that it is blank, a tenth
// of the check's work. Such blanks follow an end tag, or follow a start tag
// and precede the next start tag. An element with a child element either
// takes blanks between its children or fails on the child anyway, so the
// verdict stays the same; every other text reaches the validators as it
// came, in its order.
class IndentFilter {
public:
    // Puts the filter in front of the handler chain.
    void wrap(xmlSAXHandlerPtr* handler, void** userData) {
        m_inner = **handler;
        m_innerData = *userData;
        m_outer = m_inner;
        m_outer.characters = m_outer.ignorableWhitespace = characters;
        m_outer.startElementNs = startElement;
        m_outer.endElementNs = endElement;
        m_outer.cdataBlock = cdata;
        m_outer.reference = reference;
        *handler = &m_outer;
        *userData = this;
    }

private:
    // Indentation is a line break and a run of spaces, so spaces are
    // skipped eight at a time.
    static bool blank(const xmlChar* text, int length) {
        constexpr std::uint64_t kEightSpaces = 0x2020202020202020;
        const xmlChar* const end = text + length;
        for (const xmlChar* c = text; c != end;) {
            std::uint64_t eight = 0;
            if (end - c >= 8 && (std::memcpy(&eight, c, 8), eight == kEightSpaces)) {
                c += 8;
                continue;
            }
            if (*c != ' ' && *c != '\r' && *c != '\n' && *c != '\t')
                return false;
            ++c;
        }
        return true;
    }

    // Blanks held after a start tag go on when no start tag follows.
    void release() {
        if (m_held.isEmpty())
            return;
        m_inner.characters(m_innerData, reinterpret_cast<const xmlChar*>(m_held.constData()),
                           int(m_held.size()));
        m_held.truncate(0);
    }

    static void characters(void* context, const xmlChar* text, int length) {
        auto* f = static_cast<IndentFilter*>(context);
        if (blank(text, length)) {
            if (!f->m_afterEndTag)
                f->m_held.append(reinterpret_cast<const char*>(text), length);
            return;
        }
        f->release();
        f->m_afterEndTag = false;
        f->m_inner.characters(f->m_innerData, text, length);
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes) {
        auto* f = static_cast<IndentFilter*>(context);
        f->m_held.truncate(0);
        f->m_afterEndTag = false;
        f->m_inner.startElementNs(f->m_innerData, localName, prefix, uri, namespaceCount, namespaces,
                                  attributeCount, defaultedCount, attributes);
    }

    static void endElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                           const xmlChar* uri) {
        auto* f = static_cast<IndentFilter*>(context);
        f->release();
        f->m_inner.endElementNs(f->m_innerData, localName, prefix, uri);
        f->m_afterEndTag = true;
    }

    static void cdata(void* context, const xmlChar* text, int length) {
        auto* f = static_cast<IndentFilter*>(context);
        f->release();
        f->m_afterEndTag = false;
        f->m_inner.cdataBlock(f->m_innerData, text, length);
    }

    static void reference(void* context, const xmlChar* name) {
        auto* f = static_cast<IndentFilter*>(context);
        f->release();
        f->m_afterEndTag = false;
        f->m_inner.reference(f->m_innerData, name);
    }

    xmlSAXHandler m_inner;
    xmlSAXHandler m_outer;
    void* m_innerData = nullptr;
    QByteArray m_held;
    bool m_afterEndTag = false;
};

// How far the writer has got, shared by the writer and the check's thread.
struct Progress {
    std::mutex mutex;
    std::condition_variable changed;
    qint64 written = 0;
    bool complete = false;
    bool stopped = false;
};

// One parse of the file with one schema's validator plugged into it, reading
// the file as the parser asks for input.
class Pass {
public:
    Pass(Progress& progress, const QString& localPath, const SepaSchemas& schemas, const char* schemaFile)
        : m_progress(progress), m_file(localPath), m_schemas(schemas), m_schemaFile(schemaFile) {}

    void run() {
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            unreadable = m_file.errorString();
            return;
        }
        // A handler without callbacks of its own: the validators see every
        // element, and no tree is built.
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        xmlSAXHandlerPtr handler = &sax;
        void* userData = nullptr;
        xmlSchemaValidCtxtPtr validator = nullptr;
        xmlSchemaSAXPlugPtr plug = nullptr;
        if (const xmlSchemaPtr schema = shippedSchema(m_schemaFile)) {
            validator = xmlSchemaNewValidCtxt(schema);
            xmlSchemaSetValidStructuredErrors(validator, keepFirst, &first);
            xmlSchemaValidateSetLocator(validator, parserLine, &first);
            plug = xmlSchemaSAXPlug(validator, &handler, &userData);
        } else {
            failedSchema = m_schemaFile;
        }
        IndentFilter indentFilter;
        if (!failedSchema) {
            indentFilter.wrap(&handler, &userData);
            // The pull parser takes the file as it comes, without the push
            // parser's scans ahead for complete tags.
            first.parser =
                xmlCreateIOParserCtxt(handler, userData, input, nullptr, this, XML_CHAR_ENCODING_NONE);
            xmlCtxtUseOptions(first.parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
            xmlParseDocument(first.parser);
            wellFormed = first.parser->wellFormed;
            if (!wellFormed && first.text.isEmpty()) {
                first.text = QString::fromUtf8(first.parser->lastError.message).trimmed();
                first.line = first.parser->lastError.line;
            }
            xmlFreeParserCtxt(first.parser);
            first.parser = nullptr;
        }
        if (plug)
            xmlSchemaSAXUnplug(plug);
        if (validator)
            xmlSchemaFreeValidCtxt(validator);
        m_file.close(); // before the verdict, so that the file may go or be published everywhere
    }

    // Written by the thread, read after it has been joined.
    FirstComplaint first;
    bool wellFormed = true;
    const char* failedSchema = nullptr;
    QString unreadable;

private:
    // The parser's input: what the buffer holds, refilled from the file. The
    // first complaint is all the message names, so the parse ends there.
    static int input(void* context, char* out, int length) {
        auto* pass = static_cast<Pass*>(context);
        if (!pass->first.text.isEmpty())
            return 0;
        if (pass->m_used == pass->m_buffer.size() && !pass->fill())
            return pass->unreadable.isEmpty() ? 0 : -1;
        const int n = int(std::min<qsizetype>(length, pass->m_buffer.size() - pass->m_used));
        std::memcpy(out, pass->m_buffer.constData() + pass->m_used, size_t(n));
        pass->m_used += n;
        return n;
    }

    // The next piece of the file that the writer has written, waiting for it;
    // once the file is complete, on to its end. False at the end, when the
    // check was stopped, or when the file cannot be read.
    bool fill() {
        for (;;) {
            qint64 limit = kReadChunkSize;
            bool complete = false;
            {
                std::unique_lock lock(m_progress.mutex);
                m_progress.changed.wait(lock, [&] {
                    return m_progress.stopped || m_progress.complete || m_progress.written > m_read;
                });
                if (m_progress.stopped)
                    return false;
                complete = m_progress.complete;
                if (!complete)
                    limit = std::min(limit, m_progress.written - m_read);
            }
            m_buffer.resize(limit);
            const qint64 n = m_file.read(m_buffer.data(), limit);
            if (n < 0) {
                unreadable = m_file.errorString();
                return false;
            }
            m_buffer.truncate(n);
            m_used = 0;
            m_read += n;
            if (n > 0) {
                if (m_atStart && m_schemas.ownNamespace) // the start tag stands in the first lines
                    m_buffer.replace(QByteArray("xmlns=\"") + m_schemas.ownNamespace + '"',
                                     QByteArray("xmlns=\"") + m_schemas.isoNamespace + '"');
                m_atStart = false;
                return true;
            }
            if (complete)
                return false;
            // Less on disk than the writer said: the rest shows once it is complete.
            std::unique_lock lock(m_progress.mutex);
            m_progress.changed.wait(lock, [&] { return m_progress.stopped || m_progress.complete; });
        }
    }

    Progress& m_progress;
    QFile m_file;
    const SepaSchemas m_schemas;
    const char* const m_schemaFile;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_read = 0;
    bool m_atStart = true;
};

} // namespace

// A file for two schemas is parsed twice, on two threads: the parse is the
// smaller part of the work, and while the posting waits for the verdict the
// second core would otherwise be idle.
struct PendingSchemaCheck::State {
    State(const QString& localPath, const QString& fileName, const SepaSchemas& schemas) : name(fileName) {
        for (const char* schemaFile : schemas.files) {
            if (schemaFile)
                passes.push_back(std::make_unique<Pass>(progress, localPath, schemas, schemaFile));
        }
    }

    ~State() { stop(); } // also when a thread could not be started

    QString name;
    Progress progress;
    std::vector<std::unique_ptr<Pass>> passes;
    std::vector<std::thread> threads;

    void join() {
        for (std::thread& thread : threads) {
            if (thread.joinable())
                thread.join();
        }
    }

    void stop() {
        {
            const std::lock_guard lock(progress.mutex);
            progress.stopped = true;
        }
        progress.changed.notify_all();
        join();
    }
};

PendingSchemaCheck::PendingSchemaCheck(const QString& localPath, const QString& name,
                                       const SepaSchemas& schemas)
    : m_state(std::make_unique<State>(localPath, name, schemas)) {
    xmlInitParser(); // once, before any thread of libxml2's own uses it
    for (const std::unique_ptr<Pass>& pass : m_state->passes)
        m_state->threads.emplace_back([pass = pass.get()] { pass->run(); });
}

PendingSchemaCheck::PendingSchemaCheck(const PendingFile& file, const SepaSchemas& schemas)
    : PendingSchemaCheck(file.tempPath, file.name, schemas) {
    complete();
}

PendingSchemaCheck::~PendingSchemaCheck() = default;

void PendingSchemaCheck::written(qint64 size) {
    Progress& p = m_state->progress;
    {
        const std::lock_guard lock(p.mutex);
        p.written = std::max(p.written, size);
    }
    p.changed.notify_all();
}

void PendingSchemaCheck::complete() {
    Progress& p = m_state->progress;
    {
        const std::lock_guard lock(p.mutex);
        p.complete = true;
    }
    p.changed.notify_all();
}

bool PendingSchemaCheck::passes(QString* complaint) {
    State& s = *m_state;
    s.join();
    // The complaint that comes first in the file; of two on one line, the
    // first schema's.
    const Pass* failed = nullptr;
    for (const std::unique_ptr<Pass>& pass : s.passes) {
        if (pass->failedSchema) {
            *complaint = refusal(s.name, QStringLiteral("Das Schema %1 kann nicht gelesen werden.")
                                             .arg(QLatin1String(pass->failedSchema)));
            return false;
        }
        if (!pass->unreadable.isEmpty()) {
            *complaint =
                refusal(s.name, QStringLiteral("Sie kann nicht gelesen werden: ") + pass->unreadable);
            return false;
        }
        const bool fails = !pass->first.text.isEmpty() || !pass->wellFormed;
        if (fails && (!failed || pass->first.line < failed->first.line))
            failed = pass.get();
    }
    if (s.passes.empty()) {
        *complaint = refusal(s.name, QStringLiteral("Es ist kein Schema für sie bekannt."));
        return false;
    }
    if (!failed) {
        complaint->clear();
        return true;
    }
    *complaint =
        refusal(s.name, QStringLiteral("Zeile %1: %2").arg(failed->first.line).arg(failed->first.text));
    return false;
}
