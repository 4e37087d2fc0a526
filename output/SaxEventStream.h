#pragma once

#include <libxml/parser.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The SAX events of one parse, recorded on the parsing thread and replayed
// to several handlers on threads of their own: a file checked against two
// schemas is parsed once. Names are kept as the parser's dictionary holds
// them, so the dictionary (the parser context) must outlive every replay;
// texts and attribute values are copied. Memory stays flat: the parsing
// thread waits while a reader lags behind by more than a few chunks.
class SaxEventStream {
public:
    explicit SaxEventStream(int readers);

    // The handler to give the parser; its user data is the stream. The
    // parser's dictionary is known from the first event on.
    void attachTo(xmlSAXHandler* handler);
    void setParser(xmlParserCtxtPtr parser) { m_parser = parser; }
    // Hands the rest over and tells the readers that nothing more comes.
    void finish();
    // Ends the stream at once for every side (the check was stopped).
    void stop();

    // A reader that wants nothing more (its first complaint is made, or it
    // could not start) no longer holds the parser back.
    void leave(int reader);
    // True when every reader has left: the parse may end.
    bool deserted() const { return m_present.load() == 0; }

    // Replays the events to handler with userData on the calling thread, in
    // their order, until the stream ends or the reader leaves. *line is set
    // to the parser's line at each event, for the handler's locator.
    void replay(int reader, const xmlSAXHandler& handler, void* userData, unsigned long* line);

private:
    // Bytes written in place, not zeroed first: a chunk is filled once.
    struct Chunk {
        std::unique_ptr<unsigned char[]> bytes;
        size_t size = 0;
        size_t capacity = 0;
    };
    struct Reader {
        std::deque<std::shared_ptr<const Chunk>> chunks;
        bool present = true;
    };

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes);
    static void endElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                           const xmlChar* uri);
    static void characters(void* context, const xmlChar* text, int length);
    static void cdata(void* context, const xmlChar* text, int length);
    static void reference(void* context, const xmlChar* name);

    static Chunk newChunk(size_t capacity);
    void begin(unsigned char type);
    void grow(size_t size);
    unsigned char* room(size_t size);
    void putName(const xmlChar* name);
    void putText(const xmlChar* text, int length);
    template <typename T> void put(const T& value);
    void handOver();

    xmlParserCtxtPtr m_parser = nullptr;
    Chunk m_open;
    // Names lately found in the parser's dictionary, by their address.
    std::array<const xmlChar*, 64> m_ownedNames{};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Reader> m_readers;
    std::atomic<int> m_present;
    bool m_finished = false;
    bool m_stopped = false;
};
