#include "output/FullWrite.h"

bool writeAll(QIODevice& device, const char* data, qint64 size) {
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    return writeAll(device, bytes.constData(), bytes.size());
}

bool flushAll(QFileDevice& file) {
    return file.flush() || file.flush();
}
