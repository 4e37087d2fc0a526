#pragma once

#include "output/PendingFile.h"

#include <QString>

#include <initializer_list>

// The schemas a payment file must satisfy before it may leave the program,
// shipped inside it. A file in a namespace of its own (the Austrian 2009
// files) is read with ownNamespace replaced by isoNamespace, as it differs
// from the ISO document in nothing else.
struct SepaSchemas {
    const char* files[2]; // file names of the shipped schemas; the second may be nullptr
    const char* isoNamespace;
    const char* ownNamespace; // nullptr when the file uses the ISO one
};

// Validates the staged file against every schema in one streaming pass, so
// memory stays flat whatever the file's size. False with the German message
// naming the first complaint and its line when the file fails or cannot be
// read.
bool validateStagedFile(const PendingFile& file, const SepaSchemas& schemas, QString* complaint);
