#pragma once

#include "output/PendingFile.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The schemas a payment file must satisfy before it may leave the program,
// shipped inside it. A file in a namespace of its own (the Austrian 2009
// files) is read with ownNamespace replaced by isoNamespace, as it differs
// from the ISO document in nothing else.
struct SepaSchemas {
    const char* files[2]; // file names of the shipped schemas; the second may be nullptr
    const char* isoNamespace;
    const char* ownNamespace; // nullptr when the file uses the ISO one
};

// Validates a document against every schema in one streaming pass while it
// is being written: the writer hands over each chunk exactly as it goes to
// the file, and a thread of its own parses it, so writing and checking share
// the two cores. Only a few chunks wait at any time, so memory stays flat
// whatever the file's size.
class StreamingSchemaCheck {
public:
    explicit StreamingSchemaCheck(const SepaSchemas& schemas);
    ~StreamingSchemaCheck(); // ends an unfinished check, waiting for its thread
    StreamingSchemaCheck(const StreamingSchemaCheck&) = delete;
    StreamingSchemaCheck& operator=(const StreamingSchemaCheck&) = delete;

    // The next bytes of the document; waits while the check is behind.
    void add(QByteArray chunk);
    // Ends the document and waits for the verdict: false with the German
    // message naming the first complaint and its line (fileName as the user
    // sees it) when the document fails.
    bool finish(const QString& fileName, QString* complaint);

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

// The same check of a file already staged, read back in chunks.
bool validateStagedFile(const PendingFile& file, const SepaSchemas& schemas, QString* complaint);
