#include "output/SepaLastschrift.h"
#include "output/SepaUeberweisung.h"

#include "SchemaCheck.h"
#include "SepaSamples.h"
#include "WriterFixture.h"

#include <gtest/gtest.h>

namespace {

using SepaSamples::booking;
using SepaSamples::due;

// Every kind of run both writers meet, in both variants, checked against the
// ISO schema of its message.
struct Run {
    const char* name;
    BookingList (*bookings)();
};

BookingList oneBooking() {
    BookingList list;
    list.append(booking(1007, 1250));
    return list;
}

BookingList dueDatesOutOfOrder() {
    BookingList list;
    list.append(booking(1, 100, due(10)));
    list.append(booking(2, 200, due(10)));
    list.append(booking(3, 300, due(17)));
    list.append(booking(4, 400, due(10)));
    list.append(booking(5, 500, due(3)));
    return list;
}

BookingList specialCharacters() {
    BookingList list;
    Buchung b = booking(-5, 99999999999);
    b.Name = QStringLiteral("Müller <Bau> & Söhne \"Nord\" 'Süd'");
    b.Vorname = QStringLiteral("José Nuñez ø \x01\t");
    b.Ort = QStringLiteral("Łódź 𝄞");
    b.Strasse = QString(100, QChar(0x00E9));
    b.Rechnung = QStringLiteral("R&<>\"'1 ") + QString(200, QLatin1Char('x'));
    b.Mandatsnummer = QStringLiteral("M<&>\"'");
    list.append(b);
    return list;
}

BookingList fortyThousand() {
    BookingList list = SepaSamples::manyBookings(40000);
    for (qsizetype i = 0; i < list.count(); i += 1000)
        list[i].Faelligkeit = due(20);
    return list;
}

struct Case {
    Run run;
    bool directDebit;
    bool austrian;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << (c.directDebit ? "LS " : "UW ") << c.run.name << (c.austrian ? " AT" : "");
}

class WrittenFilesAreSchemaValid : public testing::TestWithParam<Case>, public WriterFixture {};

TEST_P(WrittenFilesAreSchemaValid, AgainstTheIsoSchema) {
    const Case& c = GetParam();
    Firmendaten firma = SepaSamples::firma();
    if (c.austrian)
        firma.Kontonummer = QStringLiteral("AT61 1904 3002 3457 3201");
    BookingList list = c.run.bookings();
    const qsizetype count = list.count();
    const SepaResult result =
        c.directDebit ? WriteSEPALastschrift(exportFolder(), list, firma, SepaSamples::runTime(), prompter)
                      : WriteSEPAUeberweisung(exportFolder(), list, firma, SepaSamples::runTime(), prompter);
    ASSERT_TRUE(result.written) << prompter.allText().toStdString();
    EXPECT_EQ(result.count, count);

    const QByteArray bytes = TempFolder::read(result.file.tempPath);
    const QByteArray austrianNamespace = c.directDebit ? "APC:STUZZA" : "ISO:pain.001.001.03:APC:STUZZA";
    EXPECT_EQ(bytes.contains(austrianNamespace), c.austrian);
    EXPECT_EQ(bytes.contains("xsi:schemaLocation"), !c.austrian);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n')) << "every line ends with CR LF";
    const QString schema =
        c.directDebit ? QStringLiteral("pain.008.001.02.xsd") : QStringLiteral("pain.001.001.03.xsd");
    EXPECT_EQ(schemaErrors(withStandardNamespace(bytes), schema).toStdString(), "");
}

std::vector<Case> allCases() {
    const Run runs[] = {{"OneBooking", oneBooking},
                        {"DueDatesOutOfOrder", dueDatesOutOfOrder},
                        {"SpecialCharacters", specialCharacters},
                        {"FortyThousand", fortyThousand}};
    std::vector<Case> cases;
    for (const Run& run : runs) {
        for (bool directDebit : {false, true}) {
            for (bool austrian : {false, true})
                cases.push_back({run, directDebit, austrian});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BothWriters, WrittenFilesAreSchemaValid, testing::ValuesIn(allCases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.directDebit ? "LS_" : "UW_") +
                                    info.param.run.name + (info.param.austrian ? "_AT" : "_Standard");
                         });

} // namespace
