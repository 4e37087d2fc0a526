#include "output/SepaFile.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(PaymentBlockId, LaterBlocksGetTheirNumber) {
    EXPECT_EQ(paymentBlockId(QStringLiteral("D0010072311"), 1, 3), "D0010072311");
    EXPECT_EQ(paymentBlockId(QStringLiteral("D0010072311"), 2, 3), "D0010072311-2");
    EXPECT_EQ(paymentBlockId(QStringLiteral("EZ00-2147483648-2147483648"), 12, 12),
              "EZ00-2147483648-2147483648-12");
}

TEST(PaymentBlockId, StaysWithinThirtyFiveCharactersAndUnique) {
    const QString base = QStringLiteral("EZ00") + QString(31, QLatin1Char('9')); // 35 characters
    QSet<QString> ids;
    const int blocks = 1200;
    for (int n = 1; n <= blocks; ++n) {
        const QString id = paymentBlockId(base, n, blocks);
        EXPECT_LE(id.size(), 35) << id.toStdString();
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), blocks);
    EXPECT_EQ(paymentBlockId(base, 1, blocks), base);
}

} // namespace
