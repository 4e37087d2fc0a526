#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class HostDb;

// What the database says about itself, for the database check: the indexes
// of a table, and how it hands back a bound date-time.
namespace CatalogStatements {

struct Index {
    QString name;
    QStringList keyColumns; // in key order, included columns left out
};

// The usable indexes of a table. Returns false and the database's message.
bool indexes(const HostDb& db, const QString& table, QList<Index>* result, QString* error);

// Binds a date-time as the posting does and reads back what the server made
// of it.
bool dateTimeRoundTrip(const HostDb& db, const QDateTime& sent, QDateTime* received, QString* error);

} // namespace CatalogStatements
