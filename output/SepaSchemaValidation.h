#pragma once

#include "output/PendingFile.h"

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

// Validates a staged payment file against each schema on a thread of its
// own while the file is still being written: the thread reads the file from
// disk as far as the writer says it has written, waits for more, and once
// the writer says the file is complete it reads on to the file's end. So
// checking overlaps the writing, the writer never waits for it, memory stays
// flat whatever the file's size, and the verdict covers the very bytes the
// file holds.
class PendingSchemaCheck {
public:
    // Follows the file at localPath (written and complete tell how far it is
    // written); name is the file as the user sees it in messages.
    PendingSchemaCheck(const QString& localPath, const QString& name, const SepaSchemas& schemas);
    // A file staged and complete already.
    PendingSchemaCheck(const PendingFile& file, const SepaSchemas& schemas);
    ~PendingSchemaCheck(); // stops an unfinished check, waiting for its thread
    PendingSchemaCheck(const PendingSchemaCheck&) = delete;
    PendingSchemaCheck& operator=(const PendingSchemaCheck&) = delete;

    // The file holds at least size bytes now, written through to the system.
    void written(qint64 size);
    // Nothing more will be written: the check reads on to the end of the file.
    void complete();
    // Waits for the verdict (complete() must have been said): false with the
    // German message naming the first complaint and its line when the file
    // fails or cannot be read.
    bool passes(QString* complaint);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
