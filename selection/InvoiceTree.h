#pragma once

#include <QList>
#include <QString>

class HostDb;

// The document-type tree of the window as plain data: the window adds the
// nodes in this order, selects one and scrolls another into view.
namespace InvoiceTree {

// Text of the group node "A" of the settlement types.
inline const QString kGroupText = QStringLiteral("SEPA-Überweisung");

struct TreeNode {
    QString key;
    QString text;
    QString parentKey; // empty for a root node
};

struct Tree {
    QList<TreeNode> nodes; // in the order of adding
    QString selectedKey;   // becomes strVer_Type
    QString scrolledKey;   // the node added last; showing it opens "A"
    QString error;         // a refused statement; start-up cannot go on
};

// Root "R0" with host text 642, root "A", then "A1" to "A8" for the enabled
// settlement types. Selects the first settlement type, or "R0" when none is
// enabled.
Tree LoadTreeView(const HostDb& SQLConn);

// The flag column in force for a node: the direct-debit one for a key with
// "R", the credit-transfer one otherwise.
QString flagColumnFor(const QString& nodeKey, const QString& strCheckBoxLastschrift,
                      const QString& strCheckBoxGutschrift);

} // namespace InvoiceTree
