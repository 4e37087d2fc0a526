#pragma once

#include <QByteArray>
#include <QString>

// Validates XML against one of the shipped ISO 20022 schemas (file name in
// BRV_SCHEMA_DIR, e.g. "pain.001.001.03.xsd"). Returns the validator's
// complaints, empty when the document is valid.
QString schemaErrors(const QByteArray& xml, const QString& schemaFile);

// The Austrian variants differ from the ISO documents only in their
// namespace; this puts the ISO namespace in so the schema can check the rest.
QByteArray withStandardNamespace(QByteArray xml);
