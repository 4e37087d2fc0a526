#include "selection/NodeKey.h"

#include <gtest/gtest.h>

namespace {

TEST(NodeKeyMapping, DocumentTypeAndTransferKind) {
    const struct {
        const char* key;
        const char* normalised;
        const char* type;
        int kind;
    } cases[] = {{"R0", "R0", "R", 0},  {"R", "R0", "R", 0},   {"xRy", "R0", "R", 0},
                 {"A1", "A1", "A1", 1}, {"A8", "A8", "A8", 8}, {"r3", "r3", "r3", 3}};
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(NodeKey::normalised(key), QString::fromLatin1(c.normalised)) << c.key;
        EXPECT_EQ(NodeKey::documentType(key), QString::fromLatin1(c.type)) << c.key;
        EXPECT_EQ(NodeKey::transferKind(key), c.kind) << c.key;
    }
}

} // namespace
