#pragma once

#include <QString>

// The key of a tree node, held by the window in strVer_Type: "R0" for the
// host's invoices (direct debit), "A1" to "A8" for the settlement types
// (credit transfer), "A" for the group node.
namespace NodeKey {

// A key with a capital "R" anywhere means direct debit.
bool isDirectDebit(const QString& key);
// The key the lists leave behind: "R0" for every direct-debit key.
QString normalised(const QString& key);
// VER_TYPE of the documents: "R" for direct debit, else the key itself.
QString documentType(const QString& key);
// SUBNUM of the transfer marks: 0 for direct debit, else the key's last digit.
int transferKind(const QString& key);
// The INI key of the flag column in force for a node.
QString flagSetting(const QString& key);

} // namespace NodeKey
