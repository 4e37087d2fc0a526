#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

// Writes the UTF-8 text of a SEPA file line by line to a device: every line
// opens with its own number of blanks and ends with CR LF. Values are escaped
// for element content, and characters XML 1.0 cannot carry become blanks, so
// whatever the database holds the file stays well-formed. The text goes out
// in chunks of about a megabyte, so a file of 100,000 bookings never sits in
// memory whole.
class XmlLines {
public:
    explicit XmlLines(QIODevice& device);

    // "<tag>"
    void open(int indent, const char* tag);
    // "</tag>"
    void close(int indent, const char* tag);
    // "<tag>value</tag>"
    void value(int indent, const char* tag, QStringView text);
    // "<startTag>value</tag>", for a start tag with fixed attributes
    void value(int indent, const char* startTag, const char* tag, QStringView text);
    // A line taken as it is (declaration, document start tag).
    void raw(int indent, const char* line);
    // An empty line.
    void blank();

    // Writes what is left; false when any write to the device failed.
    bool finish();

private:
    void appendIndent(int indent);
    void appendEscaped(QStringView text);
    void endLine();

    QIODevice& m_device;
    QByteArray m_bytes;
    bool m_ok = true;
};
