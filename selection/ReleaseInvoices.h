#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Releases transferred invoices again: their transfer marks of the node's kind
// are deleted and their headers of the node's document type lose payment date
// and lock, both in one transaction. Nothing to do for no names. On failure
// the database is as it was; returns false and the database's description.
bool releaseInvoices(const HostDb& SQLConn, const QString& nodeKey, const QStringList& names, QString* error);

// What the window shows when a release failed.
QString releaseFailedMessage(const QString& error);
