#include "output/XmlLines.h"

namespace {

const char kLineEnd[] = "\r\n";
constexpr qsizetype kChunkSize = 1 << 20;
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

} // namespace

XmlLines::XmlLines(QIODevice& device) : m_device(device) {
    m_bytes.reserve(kChunkSize + 4096);
}

void XmlLines::appendIndent(int indent) {
    Q_ASSERT(indent < int(sizeof kBlanks));
    m_bytes.append(kBlanks, indent);
}

void XmlLines::endLine() {
    m_bytes.append(kLineEnd);
    if (m_bytes.size() >= kChunkSize) {
        m_ok = m_ok && m_device.write(m_bytes) == m_bytes.size();
        m_bytes.resize(0); // keeps the capacity for the next chunk
    }
}

bool XmlLines::finish() {
    m_ok = m_ok && m_device.write(m_bytes) == m_bytes.size();
    m_bytes.clear();
    return m_ok;
}

void XmlLines::open(int indent, const char* tag) {
    appendIndent(indent);
    m_bytes.append('<').append(tag).append('>');
    endLine();
}

void XmlLines::close(int indent, const char* tag) {
    appendIndent(indent);
    m_bytes.append("</").append(tag).append('>');
    endLine();
}

void XmlLines::value(int indent, const char* tag, QStringView text) {
    value(indent, tag, tag, text);
}

void XmlLines::value(int indent, const char* startTag, const char* tag, QStringView text) {
    appendIndent(indent);
    m_bytes.append('<').append(startTag).append('>');
    appendEscaped(text);
    m_bytes.append("</").append(tag).append('>');
    endLine();
}

void XmlLines::raw(int indent, const char* line) {
    appendIndent(indent);
    m_bytes.append(line);
    endLine();
}

void XmlLines::blank() {
    endLine();
}

void XmlLines::appendEscaped(QStringView text) {
    qsizetype i = 0;
    while (i < text.size()) {
        // Plain ASCII, by far the most of any file, is copied in runs.
        qsizetype end = i;
        while (end < text.size() && plainAscii(text[end].unicode()))
            ++end;
        if (end > i) {
            const qsizetype at = m_bytes.size();
            m_bytes.resize(at + (end - i));
            char* out = m_bytes.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *out++ = char(text[k].unicode());
            i = end;
            continue;
        }
        const char16_t c = text[i].unicode();
        if (c >= 0x80 && !forbiddenInXml(c)) {
            // A run of non-ASCII characters at once; the UTF-8 encoder turns
            // a lone surrogate into the replacement character.
            end = i + 1;
            while (end < text.size() && text[end].unicode() >= 0x80 && !forbiddenInXml(text[end].unicode()))
                ++end;
            m_bytes.append(text.mid(i, end - i).toUtf8());
            i = end;
            continue;
        }
        switch (c) {
        case '&':
            m_bytes.append("&amp;");
            break;
        case '<':
            m_bytes.append("&lt;");
            break;
        case '>':
            m_bytes.append("&gt;");
            break;
        default:
            m_bytes.append(forbiddenInXml(c) ? ' ' : char(c));
        }
        ++i;
    }
}
