#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the INI files, the CSV bank file and the error
// log. Qt has no codec for it (Latin-1 differs in 0x80..0x9F: € Š „ …).
namespace Windows1252 {

QString decode(const QByteArray& bytes);

// Characters the code page cannot hold become "?"; lossy (if given) is set
// when that happened.
QByteArray encode(const QString& text, bool* lossy = nullptr);

// The same written to out, which has room for text.size() bytes; returns the
// end of what was written and sets lossy (never cleared) when a character
// became "?". For writers that put the text straight into their buffer.
char* encodeInto(QStringView text, char* out, bool* lossy);

} // namespace Windows1252
