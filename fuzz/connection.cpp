// The translation of connection texts, given and composed from the host INI values.
#include "FuzzInput.h"
#include "hostdb/ConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    ConnectionString::Target target;
    QString error;
    if (ConnectionString::translate(in.text(), &target, &error)) {
        if (target.kind == ConnectionString::Target::Kind::Odbc && target.odbcConnectString.isEmpty())
            fuzzFailure(QStringLiteral("empty ODBC connection text"));
    } else if (error.isEmpty()) {
        fuzzFailure(QStringLiteral("refused without a message"));
    }
    const QString server = in.text();
    const QString database = in.text();
    ConnectionString::translate(ConnectionString::compose(server, database), &target, &error);
    return 0;
}
