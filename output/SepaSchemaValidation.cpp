#include "output/SepaSchemaValidation.h"

#include "output/SaxEventStream.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
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

// The shipped schemas are read through a scheme of their own, so that a
// schema's includes and redefines (the Austrian schemas take the ISO schema
// beside them and a codelist) find their neighbours inside the program.
constexpr char kSchemeOfShipped[] = "brv32-schema:/";

int isShipped(const char* uri) {
    return uri && std::strncmp(uri, kSchemeOfShipped, sizeof kSchemeOfShipped - 1) == 0;
}

struct ShippedInput {
    QByteArray text;
    qsizetype used = 0;
};

void* openShipped(const char* uri) {
    QFile file(QStringLiteral(":/schemas/") + QString::fromUtf8(uri + sizeof kSchemeOfShipped - 1));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return new ShippedInput{file.readAll()};
}

int readShipped(void* context, char* buffer, int length) {
    auto* input = static_cast<ShippedInput*>(context);
    const int n = int(std::min<qsizetype>(length, input->text.size() - input->used));
    std::memcpy(buffer, input->text.constData() + input->used, size_t(n));
    input->used += n;
    return n;
}

int closeShipped(void* context) {
    delete static_cast<ShippedInput*>(context);
    return 0;
}

// Parsed once per process: parsing a schema costs more than validating a
// small file. The schemas stay reachable until the process ends, so a leak
// check at exit does not count them.
xmlSchemaPtr shippedSchema(const char* fileName) {
    static QMutex mutex;
    static QHash<QString, xmlSchemaPtr>& parsed = *new QHash<QString, xmlSchemaPtr>; // never freed
    const QMutexLocker lock(&mutex);
    const QString name = QLatin1String(fileName);
    if (!parsed.contains(name)) {
        const QByteArray uri = QByteArray(kSchemeOfShipped) + fileName;
        xmlSchemaParserCtxtPtr context = xmlSchemaNewParserCtxt(uri.constData());
        xmlSchemaSetParserStructuredErrors(
            context, [](void*, xmlErrorPtr) {}, nullptr);
        parsed.insert(name, xmlSchemaParse(context));
        xmlSchemaFreeParserCtxt(context);
    }
    return parsed.value(name);
}

// A validator's first complaint; the validator leaves the event stream with
// it, as the message names no other.
struct FirstComplaint {
    SaxEventStream* stream = nullptr;
    int reader = 0;
    unsigned long at = 0; // the line of the event being replayed
    QString text;
    long line = 0;
};

void keepFirst(void* sink, xmlErrorPtr error) {
    auto* first = static_cast<FirstComplaint*>(sink);
    if (first->text.isEmpty()) {
        first->text = QString::fromUtf8(error->message).trimmed();
        first->line = error->line;
        first->stream->leave(first->reader);
    }
}

// The validator asks where it stands for the line of a complaint.
int eventLine(void* sink, const char** file, unsigned long* line) {
    auto* first = static_cast<FirstComplaint*>(sink);
    if (file)
        *file = nullptr;
    if (line)
        *line = first->at;
    return 0;
}

QString refusal(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank und wurde nicht erstellt. %2")
        .arg(fileName, reason);
}

// The complaint of one schema, naming it: the bank's schema tells the admin
// which rule the file broke.
QString refusal(const QString& fileName, const char* schemaFile, long line, const QString& text) {
    return QStringLiteral("Die Datei %1 entspricht nicht dem Schema %2 der Bank und wurde nicht erstellt. "
                          "Zeile %3: %4")
        .arg(fileName, QLatin1String(schemaFile))
        .arg(line)
        .arg(text);
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

// One schema's validator. It takes the parse's events replayed from the
// event stream on a thread of its own.
class Validation {
public:
    Validation(SaxEventStream& stream, int reader, const char* schemaFile)
        : m_stream(stream), m_reader(reader), m_schemaFile(schemaFile) {
        first.stream = &stream;
        first.reader = reader;
    }
    ~Validation() { unplug(); }

    // The validator's thread: replays the stream into it.
    void run() {
        xmlSAXHandler sax = noCallbacks();
        xmlSAXHandlerPtr handler = &sax;
        void* userData = nullptr;
        if (plug(&handler, &userData))
            m_stream.replay(m_reader, *handler, userData, &first.at);
        unplug();
    }

    // A handler without callbacks of its own: no tree is built.
    static xmlSAXHandler noCallbacks() {
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        return sax;
    }

    const char* schemaFile() const { return m_schemaFile; }

    // Written by the thread, read after it has been joined.
    FirstComplaint first;
    const char* failedSchema = nullptr;

private:
    // Puts the validator at the end of the handler chain; false, having left
    // the stream, when its schema cannot be had.
    bool plug(xmlSAXHandlerPtr* handler, void** userData) {
        if (const xmlSchemaPtr schema = shippedSchema(m_schemaFile)) {
            m_validator = xmlSchemaNewValidCtxt(schema);
            xmlSchemaSetValidStructuredErrors(m_validator, keepFirst, &first);
            xmlSchemaValidateSetLocator(m_validator, eventLine, &first);
            m_plug = xmlSchemaSAXPlug(m_validator, handler, userData);
        }
        if (!m_plug) {
            failedSchema = m_schemaFile;
            m_stream.leave(m_reader);
        }
        return m_plug != nullptr;
    }

    // Ends the validation (its last checks run here) and frees the validator.
    void unplug() {
        if (m_plug)
            xmlSchemaSAXUnplug(m_plug);
        if (m_validator)
            xmlSchemaFreeValidCtxt(m_validator);
        m_plug = nullptr;
        m_validator = nullptr;
    }

    SaxEventStream& m_stream;
    const int m_reader;
    const char* const m_schemaFile;
    xmlSchemaValidCtxtPtr m_validator = nullptr;
    xmlSchemaSAXPlugPtr m_plug = nullptr;
};

// The one parse of the file, reading it as the parser asks for input. Its
// events go into the event stream for the validators: even a file of one
// schema is checked on two threads, as validating costs more than parsing
// and the check would otherwise keep the posting waiting on one core.
class Parse {
public:
    Parse(Progress& progress, const QString& localPath, const SepaSchemas& schemas, SaxEventStream& stream)
        : m_progress(progress), m_file(localPath), m_schemas(schemas), m_stream(stream) {}
    ~Parse() { xmlFreeParserCtxt(m_parser); } // after the validators: they hold its names

    void run() {
        xmlSAXHandler sax = Validation::noCallbacks();
        xmlSAXHandlerPtr handler = &sax;
        m_stream.attachTo(&sax);
        void* userData = &m_stream;
        if (m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            IndentFilter indentFilter;
            indentFilter.wrap(&handler, &userData);
            // The pull parser takes the file as it comes, without the push
            // parser's scans ahead for complete tags.
            m_parser = xmlCreateIOParserCtxt(handler, userData, input, nullptr, this, XML_CHAR_ENCODING_NONE);
            xmlCtxtUseOptions(m_parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
            m_stream.setParser(m_parser);
            xmlParseDocument(m_parser);
            wellFormed = m_parser->wellFormed;
            if (!wellFormed) {
                error = QString::fromUtf8(m_parser->lastError.message).trimmed();
                errorLine = m_parser->lastError.line;
            }
            m_file.close(); // before the verdict, so that the file may go or be published everywhere
        } else {
            unreadable = m_file.errorString();
        }
        m_stream.finish();
    }

    // Written by the thread, read after it has been joined.
    bool wellFormed = true;
    QString error;
    long errorLine = 0;
    QString unreadable;

private:
    // The parser's input: what the buffer holds, refilled from the file. A
    // validator stops at its first complaint; with all of them stopped, so
    // does the parse.
    static int input(void* context, char* out, int length) {
        auto* parse = static_cast<Parse*>(context);
        if (parse->m_stream.deserted())
            return 0;
        if (parse->m_used == parse->m_buffer.size() && !parse->fill())
            return parse->unreadable.isEmpty() ? 0 : -1;
        const int n = int(std::min<qsizetype>(length, parse->m_buffer.size() - parse->m_used));
        std::memcpy(out, parse->m_buffer.constData() + parse->m_used, size_t(n));
        parse->m_used += n;
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
    SaxEventStream& m_stream;
    xmlParserCtxtPtr m_parser = nullptr;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_read = 0;
    bool m_atStart = true;
};

} // namespace

// The file is parsed once, on a thread of its own, and each schema's
// validator replays the parse on another: validating is the larger part of
// the work, so parse and validators share the cores while the posting waits
// for the verdict, and a file of two schemas is not parsed twice.
struct PendingSchemaCheck::State {
    State(const QString& localPath, const QString& fileName, const SepaSchemas& schemas)
        : name(fileName), stream(int(std::count_if(std::begin(schemas.files), std::end(schemas.files),
                                                   [](const char* f) { return f != nullptr; }))),
          parse(progress, localPath, schemas, stream) {
        for (const char* schemaFile : schemas.files) {
            if (schemaFile)
                validations.push_back(
                    std::make_unique<Validation>(stream, int(validations.size()), schemaFile));
        }
    }

    ~State() { stop(); } // also when a thread could not be started

    QString name;
    Progress progress;
    SaxEventStream stream;
    Parse parse; // its parser holds the names the validators saw; it goes after the threads
    std::vector<std::unique_ptr<Validation>> validations;
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
        stream.stop();
        join();
    }
};

PendingSchemaCheck::PendingSchemaCheck(const QString& localPath, const QString& name,
                                       const SepaSchemas& schemas)
    : m_state(std::make_unique<State>(localPath, name, schemas)) {
    // Once, before any thread of libxml2's own uses it. Without the callbacks
    // no shipped schema can be read, and every file is refused.
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlRegisterInputCallbacks(isShipped, openShipped, readShipped, closeShipped);
    });
    if (m_state->validations.empty())
        return;
    State& s = *m_state;
    s.threads.emplace_back([&s] { s.parse.run(); });
    for (const std::unique_ptr<Validation>& validation : s.validations)
        s.threads.emplace_back([validation = validation.get()] { validation->run(); });
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
    if (s.validations.empty()) {
        *complaint = refusal(s.name, QStringLiteral("Es ist kein Schema für sie bekannt."));
        return false;
    }
    for (const std::unique_ptr<Validation>& validation : s.validations) {
        if (validation->failedSchema) {
            *complaint = refusal(s.name, QStringLiteral("Das Schema %1 kann nicht gelesen werden.")
                                             .arg(QLatin1String(validation->failedSchema)));
            return false;
        }
    }
    if (!s.parse.unreadable.isEmpty()) {
        *complaint = refusal(s.name, QStringLiteral("Sie kann nicht gelesen werden: ") + s.parse.unreadable);
        return false;
    }
    // The complaint that comes first in the file; of two on one line, the
    // first schema's. A validator without one fails where the parse failed.
    const FirstComplaint* failed = nullptr;
    const char* failedSchema = nullptr;
    FirstComplaint parseError;
    parseError.text = s.parse.error;
    parseError.line = s.parse.errorLine;
    for (const std::unique_ptr<Validation>& validation : s.validations) {
        const FirstComplaint* own = &validation->first;
        if (own->text.isEmpty())
            own = s.parse.wellFormed ? nullptr : &parseError;
        if (own && (!failed || own->line < failed->line)) {
            failed = own;
            failedSchema = validation->schemaFile();
        }
    }
    if (!failed) {
        complaint->clear();
        return true;
    }
    *complaint = refusal(s.name, failedSchema, failed->line, failed->text);
    return false;
}
