#include "output/PdfCanvas.h"

#include "base/Windows1252.h"
#include "output/FullWrite.h"

#include <QIODevice>

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// The fonts' encoding above 0x7F: characters of the bytes 0x80..0x9F.
struct HighCodes {
    char16_t characters[32] = {};
    HighCodes() {
        for (int b = 0x80; b < 0xA0; ++b) {
            const QChar c = Windows1252::decode(QByteArray(1, char(b))).at(0);
            // The unused bytes decode to their own control characters.
            characters[b - 0x80] = c.unicode() >= 0x100 ? c.unicode() : 0;
        }
    }
};

const HighCodes& highCodes() {
    static const HighCodes codes;
    return codes;
}

// Page content is small and compressed quickly; the fastest level keeps most
// of the gain.
const int compressionLevel = 1;

// The value at two decimals without trailing zeros ("12.5", "-3", "0"),
// written to out (32 bytes); returns its end.
char* putNumber(char* out, double value) {
    // Hundredths that are not close to a tie round as their exact decimal
    // value does; they are formatted by integers, which is several times
    // cheaper, and every number of a page goes through here.
    const double hundredths = value * 100;
    if (std::fabs(hundredths) < 1e9) {
        const double whole = std::floor(hundredths);
        const double fraction = hundredths - whole;
        if (std::fabs(fraction - 0.5) > 1e-6) {
            const long long rounded = static_cast<long long>(whole) + (fraction > 0.5 ? 1 : 0);
            // A negative value keeps its sign also where it rounds to zero ("-0").
            if (std::signbit(value))
                *out++ = '-';
            const long long magnitude = rounded < 0 ? -rounded : rounded;
            out = std::to_chars(out, out + 16, magnitude / 100).ptr;
            const int cents = int(magnitude % 100);
            if (cents != 0) {
                *out++ = '.';
                *out++ = char('0' + cents / 10);
                if (cents % 10 != 0)
                    *out++ = char('0' + cents % 10);
            }
            return out;
        }
    }
    char* const start = out;
    auto [end, error] = std::to_chars(out, out + 32, value, std::chars_format::fixed, 2);
    if (error != std::errc())
        end = start;
    while (end > start && end[-1] == '0')
        --end;
    if (end > start && end[-1] == '.')
        --end;
    if (end == start || (end == start + 1 && start[0] == '-')) {
        *start = '0';
        return start + 1;
    }
    return end;
}

void appendNumber(QByteArray& out, double value) {
    char buffer[32];
    out.append(buffer, putNumber(buffer, value) - buffer);
}

template <qsizetype N> char* put(char* out, const char (&text)[N]) {
    return std::copy(text, text + N - 1, out);
}

// A text string of the document information, in UTF-16 with its mark.
QByteArray infoText(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

} // namespace

// Compresses page after page into zlib streams, byte for byte as qCompress
// at the same level, but sets its tables up once: that costs about as much
// as compressing a page.
class PdfCanvas::Deflater {
public:
    Deflater() { m_ready = deflateInit(&m_stream, compressionLevel) == Z_OK; }
    ~Deflater() {
        if (m_ready)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The zlib stream of data into out; false when zlib failed.
    bool compress(const char* data, qsizetype size, QByteArray& out) {
        // zlib counts in 32 bits; half of that leaves room for the bound.
        if (!m_ready || size > qsizetype(UINT_MAX / 2) || deflateReset(&m_stream) != Z_OK)
            return false;
        // Room for the worst case lets one call finish the stream.
        out.resize(qsizetype(deflateBound(&m_stream, uLong(size))));
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        m_stream.avail_in = uInt(size);
        m_stream.next_out = reinterpret_cast<Bytef*>(out.data());
        m_stream.avail_out = uInt(out.size());
        const bool finished = deflate(&m_stream, Z_FINISH) == Z_STREAM_END;
        out.truncate(out.size() - m_stream.avail_out);
        return finished;
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

PdfCanvas::~PdfCanvas() = default;

unsigned char PdfCanvas::codeBeyondAscii(char16_t u) {
    if (u >= 0xA0 && u <= 0xFF)
        return static_cast<unsigned char>(u);
    if (u >= 0x100) {
        const HighCodes& high = highCodes();
        for (int i = 0; i < 32; ++i) {
            if (high.characters[i] == u)
                return static_cast<unsigned char>(0x80 + i);
        }
    }
    return 0;
}

QChar PdfCanvas::character(unsigned char code) {
    if (code >= 0x80 && code < 0xA0)
        return QChar(highCodes().characters[code - 0x80]);
    return code >= 0x20 && code != 0x7F ? QChar(code) : QChar();
}

PdfCanvas::PdfCanvas(QIODevice& out, const QList<Font>& fonts, const Page& page, const QString& title,
                     const QString& creator)
    : m_out(out), m_fonts(fonts), m_page(page), m_title(title), m_creator(creator),
      m_deflater(std::make_unique<Deflater>()) {
    // Objects 1 to 3: catalogue, page tree and document information, written
    // last; the fonts follow, then each page's content and page object.
    m_offsets.resize(4);
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    m_fontResources = "<< /Font <<";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const int object = startObject();
        QByteArray font = "<< /Type /Font /Subtype /Type1 /BaseFont /";
        font += m_fonts[i].bold ? "Helvetica-Bold" : "Helvetica";
        font += " /Encoding /WinAnsiEncoding /FirstChar 32 /LastChar 255 /Widths [";
        for (const double width : m_fonts[i].widths) {
            appendNumber(font, width);
            font += ' ';
        }
        font += "] >>\nendobj\n";
        write(font);
        m_fontResources += " /F" + QByteArray::number(i) + ' ' + QByteArray::number(object) + " 0 R";
    }
    m_fontResources += " >> /ProcSet [/PDF /Text] >>";
    m_content.resize(1 << 16);
}

int PdfCanvas::startObject() {
    const int object = int(m_offsets.size());
    m_offsets.append(m_written);
    write(QByteArray::number(object) + " 0 obj\n");
    return object;
}

void PdfCanvas::write(const QByteArray& bytes) {
    if (m_failed)
        return;
    if (!writeAll(m_out, bytes)) {
        m_failed = true;
        return;
    }
    m_written += bytes.size();
}

void PdfCanvas::endText() {
    if (m_inText)
        filledTo(put(room(3), "ET\n"));
    m_inText = false;
}

void PdfCanvas::endPage() {
    if (!m_inPage)
        return;
    endText();
    if (!m_deflater->compress(m_content.constData(), m_filled, m_stream))
        m_failed = true;
    const int content = startObject();
    write("<< /Length " + QByteArray::number(m_stream.size()) + " /Filter /FlateDecode >>\nstream\n");
    write(m_stream);
    write("\nendstream\nendobj\n");
    m_pageObjects.append(startObject());
    QByteArray pageObject = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
    appendNumber(pageObject, m_page.width);
    pageObject += ' ';
    appendNumber(pageObject, m_page.height);
    pageObject +=
        "] /Resources " + m_fontResources + " /Contents " + QByteArray::number(content) + " 0 R >>\nendobj\n";
    write(pageObject);
    m_filled = 0;
    m_inPage = false;
}

bool PdfCanvas::newPage() {
    endPage();
    m_inPage = true;
    m_font = -1;
    filledTo(put(room(7), "0.75 w\n"));
    return !m_failed;
}

char* PdfCanvas::point(char* out, const QPointF& p) {
    out = number(out, m_page.origin.x() + p.x() * m_page.unit);
    *out++ = ' ';
    return number(out, m_page.height - m_page.origin.y() - p.y() * m_page.unit);
}

char* PdfCanvas::number(char* out, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    NumberText& known = m_numbers[(bits * 0x9E3779B97F4A7C15ull) >> 59];
    if (known.length == 0 || known.bits != bits) {
        known.bits = bits;
        known.length = quint8(putNumber(known.text, value) - known.text);
    }
    return std::copy_n(known.text, known.length, out);
}

char* PdfCanvas::room(qsizetype bytes) {
    if (m_filled + bytes > m_content.size())
        m_content.resize(std::max(2 * m_content.size(), m_filled + bytes));
    return m_content.data() + m_filled;
}

void PdfCanvas::filledTo(const char* end) {
    m_filled = end - m_content.constData();
}

void PdfCanvas::drawText(int font, const QPointF& baseline, const QString& text) {
    if (!m_inText)
        filledTo(put(room(3), "BT\n"));
    m_inText = true;
    if (font != m_font) {
        char* out = put(room(64), "/F");
        out = std::to_chars(out, out + 12, font).ptr;
        *out++ = ' ';
        out = putNumber(out, m_fonts[font].pointSize);
        filledTo(put(out, " Tf\n"));
        m_font = font;
    }
    // Each character at most escaped; the operators and two numbers.
    char* out = room(2 * text.size() + 96);
    out = put(out, "1 0 0 1 ");
    out = point(out, baseline);
    out = put(out, " Tm (");
    for (const QChar c : text) {
        const char byte = char(code(c));
        if (byte == '(' || byte == ')' || byte == '\\')
            *out++ = '\\';
        *out++ = byte;
    }
    filledTo(put(out, ") Tj\n"));
}

void PdfCanvas::drawLine(const QPointF& from, const QPointF& to) {
    endText();
    char* out = room(2 * 65 + 8); // two points of two numbers each, the operators
    out = point(out, from);
    out = put(out, " m ");
    out = point(out, to);
    filledTo(put(out, " l S\n"));
}

bool PdfCanvas::finish() {
    endPage();
    m_offsets[2] = m_written;
    QByteArray pages =
        "2 0 obj\n<< /Type /Pages /Count " + QByteArray::number(m_pageObjects.size()) + " /Kids [";
    for (const int object : m_pageObjects)
        pages += QByteArray::number(object) + " 0 R ";
    write(pages + "] >>\nendobj\n");
    m_offsets[1] = m_written;
    write("1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    m_offsets[3] = m_written;
    write("3 0 obj\n<< /Title " + infoText(m_title) + " /Creator " + infoText(m_creator) + " >>\nendobj\n");
    const qint64 xref = m_written;
    QByteArray table = "xref\n0 " + QByteArray::number(m_offsets.size()) + "\n0000000000 65535 f \n";
    for (qsizetype i = 1; i < m_offsets.size(); ++i)
        table += QByteArray::number(m_offsets[i]).rightJustified(10, '0') + " 00000 n \n";
    table += "trailer\n<< /Size " + QByteArray::number(m_offsets.size()) +
             " /Root 1 0 R /Info 3 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    write(table);
    return !m_failed;
}
