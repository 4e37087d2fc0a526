#pragma once

#include "output/ReportEngine.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <memory>

class QIODevice;

// A report canvas that writes a PDF straight into a device: one content
// stream per page, texts in the standard fonts Helvetica and Helvetica-Bold
// (Windows-1252 encoding), their widths taken from the fonts the report was
// laid out with, so that every text sits and ends where the layout put it.
class PdfCanvas : public ReportCanvas {
public:
    struct Font {
        bool bold = false;
        double pointSize = 10;
        // Advances of the codes 32 to 255, in thousandths of the font size.
        std::array<double, 224> widths{};
    };
    struct Page {
        double width = 0; // points
        double height = 0;
        QPointF origin;  // top left corner of the printable area, points from the top left
        double unit = 1; // points per unit of the renderer
    };

    PdfCanvas(QIODevice& out, const QList<Font>& fonts, const Page& page, const QString& title,
              const QString& creator);
    ~PdfCanvas() override;

    // The character of the fonts' encoding, or 0 for one it lacks. Asked
    // for every character of a report, mostly printable ASCII.
    static unsigned char code(QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 && u < 0x7F ? static_cast<unsigned char>(u) : codeBeyondAscii(u);
    }
    // The character a code stands for; the null character for an unused code.
    static QChar character(unsigned char code);

    bool newPage() override;
    void drawText(int font, const QPointF& baseline, const QString& text) override;
    void drawLine(const QPointF& from, const QPointF& to) override;
    bool finish() override;

private:
    class Deflater;
    static unsigned char codeBeyondAscii(char16_t u);
    int startObject();
    void write(const QByteArray& bytes);
    void endPage();
    void endText();
    // Writes the point in the page's coordinates to out; returns its end.
    char* point(char* out, const QPointF& p);
    // Writes the number at two decimals, from m_numbers where it is there.
    char* number(char* out, double value);
    // Room for bytes more at the end of the page's content, to be filled
    // and closed by filledTo.
    char* room(qsizetype bytes);
    void filledTo(const char* end);

    QIODevice& m_out;
    QList<Font> m_fonts;
    Page m_page;
    QString m_title;
    QString m_creator;
    QList<qint64> m_offsets; // of every object, by number (0 unused)
    QList<int> m_pageObjects;
    // Texts of recent coordinates, by a hash of their bits: a list's columns
    // and the baseline of its row repeat, and finding a number's text again
    // is cheaper than writing it.
    struct NumberText {
        quint64 bits = 0;
        quint8 length = 0; // 0 while unused
        char text[32];
    };
    std::array<NumberText, 32> m_numbers{};
    QByteArray m_fontResources;
    QByteArray m_content; // of the page being drawn: its first m_filled bytes
    qsizetype m_filled = 0;
    QByteArray m_stream; // m_content compressed, kept for its room
    std::unique_ptr<Deflater> m_deflater;
    qint64 m_written = 0;
    bool m_failed = false;
    bool m_inPage = false;
    bool m_inText = false;
    int m_font = -1;
};
