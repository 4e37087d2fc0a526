#include "output/PdfCanvas.h"

#include "output/Windows1252.h"

#include <QIODevice>

#include <charconv>

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

void appendNumber(QByteArray& out, double value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (error != std::errc())
        end = buffer;
    while (end > buffer && end[-1] == '0')
        --end;
    if (end > buffer && end[-1] == '.')
        --end;
    if (end == buffer || (end == buffer + 1 && buffer[0] == '-'))
        out.append('0');
    else
        out.append(buffer, end - buffer);
}

// A text string of the document information, in UTF-16 with its mark.
QByteArray infoText(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

} // namespace

unsigned char PdfCanvas::code(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF))
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
    : m_out(out), m_fonts(fonts), m_page(page), m_title(title), m_creator(creator) {
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
    m_content.reserve(1 << 16);
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
    if (m_out.write(bytes) != bytes.size()) {
        m_failed = true;
        return;
    }
    m_written += bytes.size();
}

void PdfCanvas::endText() {
    if (m_inText)
        m_content += "ET\n";
    m_inText = false;
}

void PdfCanvas::endPage() {
    if (!m_inPage)
        return;
    endText();
    const QByteArray compressed = qCompress(m_content, compressionLevel);
    // qCompress puts the length in front of the zlib stream.
    const QByteArray stream = compressed.mid(4);
    const int content = startObject();
    write("<< /Length " + QByteArray::number(stream.size()) + " /Filter /FlateDecode >>\nstream\n");
    write(stream);
    write("\nendstream\nendobj\n");
    m_pageObjects.append(startObject());
    QByteArray pageObject = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
    appendNumber(pageObject, m_page.width);
    pageObject += ' ';
    appendNumber(pageObject, m_page.height);
    pageObject +=
        "] /Resources " + m_fontResources + " /Contents " + QByteArray::number(content) + " 0 R >>\nendobj\n";
    write(pageObject);
    m_content.clear();
    m_inPage = false;
}

bool PdfCanvas::newPage() {
    endPage();
    m_inPage = true;
    m_font = -1;
    m_content += "0.75 w\n";
    return !m_failed;
}

void PdfCanvas::point(const QPointF& p) {
    appendNumber(m_content, m_page.origin.x() + p.x() * m_page.unit);
    m_content += ' ';
    appendNumber(m_content, m_page.height - m_page.origin.y() - p.y() * m_page.unit);
}

void PdfCanvas::drawText(int font, const QPointF& baseline, const QString& text) {
    if (!m_inText)
        m_content += "BT\n";
    m_inText = true;
    if (font != m_font) {
        m_content += "/F" + QByteArray::number(font) + ' ';
        appendNumber(m_content, m_fonts[font].pointSize);
        m_content += " Tf\n";
        m_font = font;
    }
    m_content += "1 0 0 1 ";
    point(baseline);
    m_content += " Tm (";
    for (const QChar c : text) {
        const char byte = char(code(c));
        if (byte == '(' || byte == ')' || byte == '\\')
            m_content += '\\';
        m_content += byte;
    }
    m_content += ") Tj\n";
}

void PdfCanvas::drawLine(const QPointF& from, const QPointF& to) {
    endText();
    point(from);
    m_content += " m ";
    point(to);
    m_content += " l S\n";
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
