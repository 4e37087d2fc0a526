#pragma once

#include "output/SepaOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Validates XML against one of the shipped ISO 20022 schemas (file name in
// BRV_SCHEMA_DIR, e.g. "pain.001.001.03.xsd"). Returns the validator's
// complaints, empty when the document is valid.
QString schemaErrors(const QByteArray& xml, const QString& schemaFile);

// The Austrian variants differ from the ISO documents only in their
// namespace; this puts the ISO namespace in so the schema can check the rest.
QByteArray withStandardNamespace(QByteArray xml);

// The schemas a payment file must pass before it goes to a bank: ISO's and
// the German or the Austrian banks' own, and for a 2019 direct debit also
// the German GBIC_4 that banks still take.
QStringList bankSchemasOf(bool directDebit, SepaVersion version, bool austrian);

// The complaints of every schema of bankSchemasOf, each line naming its
// schema; empty when the file passes them all.
QString bankSchemaErrors(const QByteArray& xml, bool directDebit, SepaVersion version, bool austrian);
