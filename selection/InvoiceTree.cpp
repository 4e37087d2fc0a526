#include "selection/InvoiceTree.h"

#include "base/NodeKey.h"
#include "hostdb/HostLookups.h"

#include <array>

namespace InvoiceTree {

namespace {

constexpr int kInvoicesText = 642;
// Host texts of settlement types 1 to 8.
constexpr std::array<int, 8> kSettlementTexts = {646, 649, 652, 655, 629, 632, 635, 638};

} // namespace

Tree LoadTreeView(const HostDb& SQLConn) {
    Tree tree;
    QString error;
    const QString invoices = HostLookups::GetStringText(SQLConn, kInvoicesText, &error);
    if (!error.isEmpty()) {
        tree.error = error;
        return tree;
    }
    tree.nodes.append({QStringLiteral("R0"), invoices, {}});
    tree.nodes.append({QStringLiteral("A"), kGroupText, {}});
    for (int n = 1; n <= 8; ++n) {
        const QString flag = HostLookups::GetAbrechnungFlag(SQLConn, QString::number(n), &error);
        if (error.isEmpty() && HostLookups::isEnabled(flag)) {
            const QString text = HostLookups::GetStringText(SQLConn, kSettlementTexts[n - 1], &error);
            tree.nodes.append({QStringLiteral("A%1").arg(n), text, QStringLiteral("A")});
        }
        if (!error.isEmpty()) {
            tree.error = error;
            tree.nodes.clear();
            return tree;
        }
    }
    // Without an enabled settlement type there is no third node; the invoices
    // are then the one node that can load anything.
    tree.selectedKey = tree.nodes.size() > 2 ? tree.nodes[2].key : tree.nodes[0].key;
    tree.scrolledKey = tree.nodes.back().key;
    return tree;
}

QString flagColumnFor(const QString& nodeKey, const QString& strCheckBoxLastschrift,
                      const QString& strCheckBoxGutschrift) {
    return NodeKey::isDirectDebit(nodeKey) ? strCheckBoxLastschrift : strCheckBoxGutschrift;
}

} // namespace InvoiceTree
