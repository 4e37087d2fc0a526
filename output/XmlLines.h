#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <functional>
#include <string_view>

// Writes the UTF-8 text of a SEPA file line by line to a device: every line
// opens with its own number of blanks and ends with CR LF. Values are escaped
// for element content, and characters XML 1.0 cannot carry become blanks, so
// whatever the database holds the file stays well-formed. The text is built
// straight into a buffer of about a megabyte that goes out whole, so a file
// of 100,000 bookings never sits in memory whole. After each buffer the
// device took, chunkWritten hears how many bytes it holds in all (a schema
// check reading the file behind the writer).
class XmlLines {
public:
    explicit XmlLines(QIODevice& device, std::function<void(qint64 written)> chunkWritten = {});

    // Tags are views, so that a literal's length is known where it is
    // written: a file of 100,000 bookings has millions of lines.

    // "<tag>"
    void open(int indent, std::string_view tag);
    // "</tag>"
    void close(int indent, std::string_view tag);
    // "<tag>value</tag>"
    void value(int indent, std::string_view tag, QStringView text);
    // "<startTag>value</tag>", for a start tag with fixed attributes
    void value(int indent, std::string_view startTag, std::string_view tag, QStringView text);
    // "<startTag>amount</tag>", the amount of cents as GermanFormat::amountXml
    void amount(int indent, std::string_view startTag, std::string_view tag, qint64 cents);
    // A line taken as it is (declaration, document start tag).
    void raw(int indent, std::string_view line);
    // An empty line.
    void blank();

    // Writes what is left; false when any write to the device failed.
    bool finish();

private:
    // Room for at least size more bytes: a line is measured once, then
    // written without further checks.
    char* reserve(qsizetype size);
    // Ends the line written up to end.
    void endLine(char* end);
    void handOver();

    QIODevice& m_device;
    std::function<void(qint64)> m_chunkWritten;
    QByteArray m_bytes; // its size is the capacity; m_used bytes hold the text
    qsizetype m_used = 0;
    qint64 m_written = 0;
    bool m_ok = true;
};
