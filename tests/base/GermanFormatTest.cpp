#include "base/GermanFormat.h"
#include "base/Windows1252.h"

#include <gtest/gtest.h>

namespace {

// The common amounts and dates are read back from the lists, the CSV file,
// the payment files and the reports; these are the ones none of them carries.
TEST(GermanFormat, AmountsAndDatesNoFileCarries) {
    EXPECT_EQ(GermanFormat::amount(-7), "-0,07");
    EXPECT_EQ(GermanFormat::amountShort(123450), "1234,5");
    EXPECT_EQ(GermanFormat::amountXml(-310), "-3.1");
    EXPECT_EQ(GermanFormat::longDate(QDate(2026, 3, 1)), "Sonntag, 1. März 2026");
}

TEST(GermanFormat, RoundsHalfAwayFromZeroOnTheDecimalText) {
    EXPECT_EQ(GermanFormat::roundToCents(1.005), 101);
    EXPECT_EQ(GermanFormat::roundToCents(0.1 + 0.2), 30);
    EXPECT_EQ(GermanFormat::roundToCents(1234.564999), 123456);
    EXPECT_EQ(GermanFormat::roundToCents(0.004), 0);
    EXPECT_EQ(GermanFormat::roundToCents(12345678.905), 1234567891);
    // Every stored amount keeps its cents and every half cent goes up, up to
    // the largest amount a payment carries.
    for (const qint64 start : {qint64(0), qint64(123456789), qint64(99999999999) - 20000}) {
        for (qint64 cents = start; cents < start + 20000; ++cents) {
            ASSERT_EQ(GermanFormat::roundToCents(double(cents) / 100), cents);
            ASSERT_EQ(GermanFormat::roundToCents(-(double(cents) + 0.5) / 100), -(cents + 1));
        }
    }
}

TEST(Windows1252, RoundTripsUmlautsAndTheEuroSign) {
    const QString text = "Müller & Söhne – 5 € Straße „Ä“";
    bool lossy = true;
    const QByteArray bytes = Windows1252::encode(text, &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(text.indexOf(QChar(0x20AC)))), 0x80);
    EXPECT_EQ(Windows1252::decode(bytes), text);
}

} // namespace
