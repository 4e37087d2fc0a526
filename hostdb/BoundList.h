#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

// Runs a statement once per chunk of names bound into an IN list, so a long
// selection stays below SQL Server's limit of 2100 parameters; on SQLite a
// long list can also go as one JSON text for json_each.
namespace BoundList {

inline constexpr qsizetype kChunk = 2000;

// "(?,?,?)" for count names.
QString placeholders(qsizetype count);

// Calls run with the placeholders and the names of each chunk; stops at the
// first false.
bool forEachChunk(const QStringList& names,
                  const std::function<bool(const QString& placeholders, const QVariantList& names)>& run);

// Appends text as a JSON string literal.
void appendJsonString(QString& json, const QString& text);

} // namespace BoundList
