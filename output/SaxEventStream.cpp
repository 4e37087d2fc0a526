#include "output/SaxEventStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kChunkSize = 256 * 1024;
constexpr size_t kChunkSlack = 4096; // an event begun below kChunkSize fits as a rule
constexpr size_t kChunksAhead = 8;   // per reader, about 2 MB

enum Event : unsigned char { StartElement, EndElement, Characters, CData, Reference };

// Reads what put() wrote, in its order; the bytes need no alignment.
class EventReader {
public:
    EventReader(const unsigned char* at, const unsigned char* end) : m_at(at), m_end(end) {}
    bool atEnd() const { return m_at == m_end; }
    template <typename T> T get() {
        T value;
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    const xmlChar* name() { return get<const xmlChar*>(); }
    // A text's length and where its bytes stand; the reader moves past them.
    const xmlChar* text(int* length) {
        *length = get<int>();
        const auto* text = reinterpret_cast<const xmlChar*>(m_at);
        m_at += *length;
        return text;
    }

private:
    const unsigned char* m_at;
    const unsigned char* const m_end;
};

} // namespace

SaxEventStream::Chunk SaxEventStream::newChunk(size_t capacity) {
    return {std::make_unique_for_overwrite<unsigned char[]>(capacity), 0, capacity};
}

SaxEventStream::SaxEventStream(int readers)
    : m_open(newChunk(kChunkSize + kChunkSlack)), m_readers(size_t(readers)), m_present(readers) {}

void SaxEventStream::attachTo(xmlSAXHandler* handler) {
    handler->startElementNs = startElement;
    handler->endElementNs = endElement;
    handler->characters = handler->ignorableWhitespace = characters;
    handler->cdataBlock = cdata;
    handler->reference = reference;
}

// A text longer than the slack makes the chunk grow.
void SaxEventStream::grow(size_t size) {
    Chunk& c = m_open;
    Chunk larger = newChunk(std::max(2 * c.capacity, c.size + size));
    std::memcpy(larger.bytes.get(), c.bytes.get(), c.size);
    larger.size = c.size;
    c = std::move(larger);
}

// The next size bytes of the open chunk.
inline unsigned char* SaxEventStream::room(size_t size) {
    Chunk& c = m_open;
    if (c.size + size > c.capacity) [[unlikely]]
        grow(size);
    unsigned char* at = c.bytes.get() + c.size;
    c.size += size;
    return at;
}

template <typename T> void SaxEventStream::put(const T& value) {
    std::memcpy(room(sizeof value), &value, sizeof value);
}

void SaxEventStream::begin(unsigned char type) {
    if (m_open.size >= kChunkSize)
        handOver();
    put(type);
    put(static_cast<unsigned long>(xmlSAX2GetLineNumber(m_parser)));
}

// The parser's dictionary keeps its names until the parser goes; a name it
// does not own is taken into it.
void SaxEventStream::putName(const xmlChar* name) {
    if (name) {
        const xmlChar*& seen =
            m_ownedNames[(reinterpret_cast<std::uintptr_t>(name) >> 3) % m_ownedNames.size()];
        if (seen != name) {
            if (xmlDictOwns(m_parser->dict, name) != 1)
                name = xmlDictLookup(m_parser->dict, name, -1);
            seen = name;
        }
    }
    put(name);
}

void SaxEventStream::putText(const xmlChar* text, int length) {
    put(length);
    std::memcpy(room(size_t(length)), text, size_t(length));
}

void SaxEventStream::startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                                  const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                                  int attributeCount, int defaultedCount, const xmlChar** attributes) {
    auto* s = static_cast<SaxEventStream*>(context);
    s->begin(StartElement);
    s->putName(localName);
    s->putName(prefix);
    s->putName(uri);
    s->put(namespaceCount);
    for (int i = 0; i < 2 * namespaceCount; ++i)
        s->putName(namespaces[i]);
    s->put(attributeCount);
    s->put(defaultedCount);
    // Each attribute: local name, prefix, URI, value start and end.
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar** a = attributes + 5 * i;
        s->putName(a[0]);
        s->putName(a[1]);
        s->putName(a[2]);
        s->putText(a[3], int(a[4] - a[3]));
    }
}

void SaxEventStream::endElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                                const xmlChar* uri) {
    auto* s = static_cast<SaxEventStream*>(context);
    s->begin(EndElement);
    s->putName(localName);
    s->putName(prefix);
    s->putName(uri);
}

void SaxEventStream::characters(void* context, const xmlChar* text, int length) {
    auto* s = static_cast<SaxEventStream*>(context);
    s->begin(Characters);
    s->putText(text, length);
}

void SaxEventStream::cdata(void* context, const xmlChar* text, int length) {
    auto* s = static_cast<SaxEventStream*>(context);
    s->begin(CData);
    s->putText(text, length);
}

void SaxEventStream::reference(void* context, const xmlChar* name) {
    auto* s = static_cast<SaxEventStream*>(context);
    s->begin(Reference);
    s->putName(name);
}

void SaxEventStream::handOver() {
    auto chunk = std::make_shared<const Chunk>(std::move(m_open));
    m_open = newChunk(kChunkSize + kChunkSlack);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        if (m_stopped)
            return true;
        for (const Reader& r : m_readers) {
            if (r.present && r.chunks.size() >= kChunksAhead)
                return false;
        }
        return true;
    });
    for (Reader& r : m_readers) {
        if (r.present)
            r.chunks.push_back(chunk);
    }
    lock.unlock();
    m_changed.notify_all();
}

void SaxEventStream::finish() {
    if (m_open.size > 0)
        handOver();
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

void SaxEventStream::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

void SaxEventStream::leave(int reader) {
    {
        const std::lock_guard lock(m_mutex);
        Reader& r = m_readers[size_t(reader)];
        if (!r.present)
            return;
        r.present = false;
        r.chunks.clear();
        --m_present;
    }
    m_changed.notify_all();
}

void SaxEventStream::replay(int reader, const xmlSAXHandler& handler, void* userData, unsigned long* line) {
    Reader& r = m_readers[size_t(reader)];
    std::vector<const xmlChar*> pointers;
    for (;;) {
        std::shared_ptr<const Chunk> chunk;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopped || !r.present || !r.chunks.empty() || m_finished; });
            if (m_stopped || !r.present || r.chunks.empty())
                return;
            chunk = std::move(r.chunks.front());
            r.chunks.pop_front();
        }
        m_changed.notify_all(); // the parser may wait for room
        EventReader events(chunk->bytes.get(), chunk->bytes.get() + chunk->size);
        while (!events.atEnd()) {
            const auto type = events.get<unsigned char>();
            *line = events.get<unsigned long>();
            switch (type) {
            case StartElement: {
                const xmlChar* localName = events.name();
                const xmlChar* prefix = events.name();
                const xmlChar* uri = events.name();
                const int namespaceCount = events.get<int>();
                pointers.clear();
                for (int i = 0; i < 2 * namespaceCount; ++i)
                    pointers.push_back(events.name());
                const int attributeCount = events.get<int>();
                const int defaultedCount = events.get<int>();
                for (int i = 0; i < attributeCount; ++i) {
                    pointers.push_back(events.name());
                    pointers.push_back(events.name());
                    pointers.push_back(events.name());
                    int length = 0;
                    const xmlChar* value = events.text(&length);
                    pointers.push_back(value);
                    pointers.push_back(value + length);
                }
                handler.startElementNs(userData, localName, prefix, uri, namespaceCount, pointers.data(),
                                       attributeCount, defaultedCount, pointers.data() + 2 * namespaceCount);
                break;
            }
            case EndElement: {
                const xmlChar* localName = events.name();
                const xmlChar* prefix = events.name();
                const xmlChar* uri = events.name();
                handler.endElementNs(userData, localName, prefix, uri);
                break;
            }
            case Characters:
            case CData: {
                int length = 0;
                const xmlChar* text = events.text(&length);
                (type == Characters ? handler.characters : handler.cdataBlock)(userData, text, length);
                break;
            }
            case Reference:
                handler.reference(userData, events.name());
                break;
            }
            if (!r.present) // left from within the handler: its first complaint is made
                return;
        }
    }
}
