#pragma once

#include "base/Prompter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>

// The fuzzer's bytes cut into fields at each \x01, so that one input carries
// several texts and numbers; missing fields are empty.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : m_fields(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\x01')) {}

    QByteArray bytes() { return m_next < m_fields.size() ? m_fields[m_next++] : QByteArray(); }
    QString text() { return QString::fromUtf8(bytes()); }
    // The field's text, or fallback when it is empty.
    QString textOr(const QString& fallback) {
        const QString t = text();
        return t.isEmpty() ? fallback : t;
    }
    // The field's first eight bytes as a number.
    qint64 number() {
        const QByteArray b = bytes();
        quint64 n = 0;
        for (qsizetype i = 0; i < b.size() && i < 8; ++i)
            n = n << 8 | quint8(b[i]);
        return qint64(n);
    }
    // A day between 1990 and 2060, midnight or a time of day; invalid for an empty field.
    QDateTime dateTime() {
        const QByteArray b = bytes();
        if (b.isEmpty())
            return {};
        quint32 n = 0;
        for (qsizetype i = 0; i < b.size() && i < 4; ++i)
            n = n << 8 | quint8(b[i]);
        return QDateTime(QDate(1990, 1, 1).addDays(n % 25567),
                         b.size() > 4 ? QTime(0, 0).addSecs(n % 86400) : QTime(0, 0));
    }

private:
    QList<QByteArray> m_fields;
    qsizetype m_next = 0;
};

// Answers every question Yes and keeps nothing.
class SilentPrompter : public QuietPrompter {
public:
    SilentPrompter() : QuietPrompter(true) {}
};

// Ends the run with the finding, so libFuzzer keeps the input.
[[noreturn]] void fuzzFailure(const QString& what, const QByteArray& detail = {});
