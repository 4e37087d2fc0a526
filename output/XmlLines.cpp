#include "output/XmlLines.h"

#include "base/GermanFormat.h"
#include "output/FullWrite.h"

#include <cstring>

namespace {

constexpr qsizetype kChunkSize = 1 << 20;
// Enough for the longest line of either layout but a long value's text.
constexpr qsizetype kLineRoom = 4096;
// Enough blanks for the deepest line of either layout.
const char kBlanks[] = "                                                                ";

// Characters that XML 1.0 forbids in a document (all C0 controls except tab,
// line feed and carriage return, and the two non-characters U+FFFE/U+FFFF).
bool forbiddenInXml(char16_t c) {
    return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF;
}

// Printable ASCII that element content carries as it is.
bool plainAscii(char16_t c) {
    return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>';
}

char* put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* putIndent(char* out, int indent) {
    Q_ASSERT(indent < int(sizeof kBlanks));
    return put(out, std::string_view(kBlanks, size_t(indent)));
}

char* putStartTag(char* out, std::string_view tag) {
    *out++ = '<';
    out = put(out, tag);
    *out++ = '>';
    return out;
}

char* putEndTag(char* out, std::string_view tag) {
    *out++ = '<';
    *out++ = '/';
    out = put(out, tag);
    *out++ = '>';
    return out;
}

// Bytes of a line besides its value: indent, both tags, CR LF.
qsizetype lineRoom(int indent, std::string_view startTag, std::string_view tag) {
    return indent + qsizetype(startTag.size() + tag.size()) + 7;
}

// Element content in UTF-8; out has room for 5 bytes per UTF-16 unit.
char* putEscaped(char* out, QStringView text) {
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    while (c < end) {
        const char16_t u = *c;
        if (plainAscii(u)) {
            *out++ = char(u);
            ++c;
        } else if (u < 0x80 || forbiddenInXml(u)) {
            switch (u) {
            case '&':
                std::memcpy(out, "&amp;", 5), out += 5;
                break;
            case '<':
                std::memcpy(out, "&lt;", 4), out += 4;
                break;
            case '>':
                std::memcpy(out, "&gt;", 4), out += 4;
                break;
            default:
                *out++ = forbiddenInXml(u) ? ' ' : char(u);
            }
            ++c;
        } else if (u < 0x800) {
            *out++ = char(0xC0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3F));
            ++c;
        } else if (u < 0xD800 || u > 0xDFFF) {
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
            ++c;
        } else {
            // Surrogates, rare: Qt's encoder pairs them and turns a lone one
            // into the replacement character.
            const qsizetype length =
                (c + 1 < end && QChar::isHighSurrogate(u) && QChar::isLowSurrogate(c[1])) ? 2 : 1;
            const QByteArray utf8 = QStringView(c, length).toUtf8();
            std::memcpy(out, utf8.constData(), size_t(utf8.size()));
            out += utf8.size();
            c += length;
        }
    }
    return out;
}

} // namespace

XmlLines::XmlLines(QIODevice& device, std::function<void(qint64)> chunkWritten)
    : m_device(device), m_chunkWritten(std::move(chunkWritten)),
      m_bytes(kChunkSize + kLineRoom, Qt::Uninitialized) {}

char* XmlLines::reserve(qsizetype size) {
    if (m_used + size > m_bytes.size())
        m_bytes.resize(m_used + size + kLineRoom); // only for a value longer than any the layouts write
    return m_bytes.data() + m_used;
}

void XmlLines::endLine(char* end) {
    *end++ = '\r';
    *end++ = '\n';
    m_used = end - m_bytes.data();
    if (m_used >= kChunkSize)
        handOver();
}

void XmlLines::handOver() {
    m_ok = m_ok && writeAll(m_device, m_bytes.constData(), m_used);
    m_written += m_used;
    if (m_ok && m_chunkWritten)
        m_chunkWritten(m_written);
    m_used = 0;
}

bool XmlLines::finish() {
    if (m_used > 0)
        handOver();
    return m_ok;
}

void XmlLines::open(int indent, std::string_view tag) {
    endLine(putStartTag(putIndent(reserve(lineRoom(indent, tag, {})), indent), tag));
}

void XmlLines::close(int indent, std::string_view tag) {
    endLine(putEndTag(putIndent(reserve(lineRoom(indent, {}, tag)), indent), tag));
}

void XmlLines::value(int indent, std::string_view tag, QStringView text) {
    value(indent, tag, tag, text);
}

void XmlLines::value(int indent, std::string_view startTag, std::string_view tag, QStringView text) {
    // Each UTF-16 unit gives at most 5 bytes ("&amp;"; UTF-8 takes 3 at most).
    char* out =
        putStartTag(putIndent(reserve(lineRoom(indent, startTag, tag) + text.size() * 5), indent), startTag);
    endLine(putEndTag(putEscaped(out, text), tag));
}

void XmlLines::amount(int indent, std::string_view startTag, std::string_view tag, qint64 cents) {
    char* out = putStartTag(
        putIndent(reserve(lineRoom(indent, startTag, tag) + GermanFormat::kMaxAmountXmlLength), indent),
        startTag);
    out += GermanFormat::amountXmlChars(cents, out);
    endLine(putEndTag(out, tag));
}

void XmlLines::raw(int indent, std::string_view line) {
    endLine(put(putIndent(reserve(indent + qsizetype(line.size()) + 2), indent), line));
}

void XmlLines::blank() {
    endLine(reserve(2));
}
