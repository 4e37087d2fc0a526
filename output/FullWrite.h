#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>

// Writes that keep the system's reason when they fail. A write or flush the
// system cuts short (a full disk, a file size limit) reports the bytes it
// got out and no reason, so a message would say "Unknown error"; only the
// next attempt meets the system's refusal, and the device names it.

// Writes all size bytes of data, again after each partial write. False when
// the device refused; its errorString() then holds why.
bool writeAll(QIODevice& device, const char* data, qint64 size);
bool writeAll(QIODevice& device, const QByteArray& bytes);

// Flushes the file's buffer, once more after a flush that got out only part
// of it. False as with writeAll.
bool flushAll(QFileDevice& file);
