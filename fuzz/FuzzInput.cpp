#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const QString& what, const QByteArray& detail) {
    std::fprintf(stderr, "FUZZ FINDING: %s\n%s\n", what.toUtf8().constData(), detail.constData());
    std::abort();
}
