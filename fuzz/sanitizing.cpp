// The replacement table for bank text and the cut to an element's length.
#include "output/Sanitizing.h"
#include "FuzzInput.h"
#include "output/SepaFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const QString text = in.text();
    const QString clean = ReplaceSpecialChars(text);
    if (ReplaceSpecialChars(clean) != clean)
        fuzzFailure(QStringLiteral("sanitizing twice changes the text"), text.toUtf8());
    const qsizetype maxLength = qsizetype(quint64(in.number()) % 200);
    const QString element = sepaText(clean, maxLength);
    if (element.size() > maxLength)
        fuzzFailure(QStringLiteral("element text too long"), text.toUtf8());
    for (const QChar c : element) {
        if (c == QLatin1Char('&') || c.unicode() < 0x20)
            fuzzFailure(QStringLiteral("\"&\" or a control character left"), text.toUtf8());
    }
    if (!element.isEmpty() && element.back().isHighSurrogate())
        fuzzFailure(QStringLiteral("half a character at the end"), text.toUtf8());
    return 0;
}
