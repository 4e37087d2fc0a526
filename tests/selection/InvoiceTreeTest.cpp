#include "selection/InvoiceTree.h"
#include "base/NodeKey.h"

#include "TestHostDb.h"

#include <gtest/gtest.h>

namespace {

// The enabled settlement types of the form settings become nodes under
// "SEPA-Überweisung"; the first of them is selected, the last scrolled to.
// Host texts name the nodes, the custom text before the German one.
TEST(InvoiceTree, AddsEnabledTypesAndSelectsTheFirst) {
    const struct {
        const char* name;
        QList<QPair<int, QVariant>> flags; // settlement type, NUMBER_VALUE
        QStringList keys;
        const char *selected, *scrolled;
        QStringList texts = {}; // unchecked when empty
    } cases[] = {
        {"NoneEnabled", {}, {"R0", "A"}, "R0", "A"},
        {"OnlyOneCounts", {{1, 2}, {2, 0}, {4, QVariant()}, {8, 1}}, {"R0", "A", "A8"}, "A8", "A8"},
        {"All",
         {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}},
         {"R0", "A", "A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"},
         "A1",
         "A8",
         {"Rechnungen", "SEPA-Überweisung", "Provision", "Gutschriften an Partner", "Honorar", "Lizenz",
          "Bonus", "Miete", "Prämie", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHostDb host;
        host.exec("INSERT INTO STRINGS VALUES (642, 'Rechnungen', NULL), (646, 'Provision', NULL), "
                  "(649, 'Gutschriften', 'Gutschriften an Partner'), (652, 'Honorar', NULL), "
                  "(655, 'Lizenz', NULL), (629, 'Bonus', NULL), (632, 'Miete', NULL), (635, NULL, 'Prämie')");
        for (const auto& [type, value] : c.flags)
            host.exec("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', ?, ?)",
                      {QStringLiteral("CHKABRECHNUNG%1").arg(type), value});
        const InvoiceTree::Tree tree = InvoiceTree::LoadTreeView(host.db());
        EXPECT_TRUE(tree.error.isEmpty());
        QStringList keys, texts, parents;
        for (const auto& node : tree.nodes) {
            keys << node.key;
            texts << node.text;
            parents << node.parentKey;
        }
        EXPECT_EQ(keys, c.keys);
        if (!c.texts.isEmpty()) {
            EXPECT_EQ(texts, c.texts);
        }
        EXPECT_EQ(tree.selectedKey, c.selected);
        EXPECT_EQ(tree.scrolledKey, c.scrolled);
        EXPECT_EQ(parents, QStringList({"", ""}) + QStringList(keys.size() - 2, "A"));
    }

    TestHostDb host;
    host.exec("DROP TABLE FORMS_CONFIG");
    const InvoiceTree::Tree tree = InvoiceTree::LoadTreeView(host.db());
    EXPECT_FALSE(tree.error.isEmpty()) << "a refused statement is reported";
    EXPECT_TRUE(tree.nodes.isEmpty());
}

// The node key names document type and transfer kind; "R" anywhere means
// invoices by direct debit, whose customers carry the direct debit flag.
TEST(InvoiceTreeHelpers, NodeKeysAndFlagColumns) {
    const struct {
        const char *key, *normalised, *type;
        int kind; // -1: unchecked
        bool directDebit;
    } cases[] = {{"xRy", "R0", "R", 0, true},
                 {"A8", "A8", "A8", 8, false},
                 {"r3", "r3", "r3", 3, false},
                 {"A", "A", "A", -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(NodeKey::normalised(c.key), c.normalised);
        EXPECT_EQ(NodeKey::documentType(c.key), c.type);
        if (c.kind >= 0) {
            EXPECT_EQ(NodeKey::transferKind(c.key), c.kind);
        }
        EXPECT_EQ(InvoiceTree::flagColumnFor(c.key, "LS", "GU"), c.directDebit ? "LS" : "GU");
    }
    EXPECT_EQ(InvoiceTree::flagColumnFor("A3", "LS", QString()), QString());
}

} // namespace
