#include "output/Begleitzettel.h"

#include "base/Firmendaten.h"
#include "base/GermanFormat.h"
#include "base/Prompter.h"
#include "output/ReportEngine.h"

namespace {

enum Font { Body, Title };

const int width = twipsFromCm(19);
const int lineHeight = twipsFromCm(0.6);
const int left = twipsFromCm(1);
const int right = twipsFromCm(13);

// A caption in the left column and its value in the right one.
void addLine(ReportBand& band, double top, const QString& label, const QString& value) {
    band.addText(left, twipsFromCm(top), right - left, lineHeight, label);
    band.addWrappingText(right, twipsFromCm(top), width - right, lineHeight, value);
}

} // namespace

Report begleitzettelReport(const BegleitzettelRow& row, bool directDebit) {
    auto layout = std::make_shared<ReportLayout>();
    ReportLayout& report = *layout;
    report.width = width;
    report.fonts = {reportFont(10), reportFont(14, true)};

    ReportBand& header = report.pageHeader;
    header.height = twipsFromCm(1.5);
    header.addText(twipsFromCm(3.8), 0, twipsFromCm(11.7), twipsFromCm(0.7),
                   QStringLiteral("D A T E N T R Ä G E R     B E G L E I T Z E T T E L"), Title);
    header.addLine(twipsFromCm(3.9), twipsFromCm(0.8), twipsFromCm(3.9 + 11.6), twipsFromCm(0.8));

    report.rowCount = 1;
    // A direct debit file collects money: a note that speaks of transfers
    // misleads the bank and the signer.
    const QString order = directDebit ? QStringLiteral("Sammel - Lastschriftauftrag")
                                      : QStringLiteral("Sammel - Gutschriftauftrag");
    const QString count =
        directDebit ? QStringLiteral("Anzahl der Lastschriften") : QStringLiteral("Anzahl der Überweisungen");
    report.detail = [row, order, count](qsizetype, ReportBand& body) {
        body.height = twipsFromCm(16.5);
        body.addText(left, twipsFromCm(1), right - left, lineHeight, order);
        body.addText(right, twipsFromCm(1), twipsFromCm(3), lineHeight, QStringLiteral("Volume-Nr.:"));
        body.addText(twipsFromCm(16), twipsFromCm(1), width - twipsFromCm(16), lineHeight, row.Volume);
        addLine(body, 2, QStringLiteral("Erstellungsdatum"), GermanFormat::date(row.Datum));
        addLine(body, 3, count, row.SumDS);
        addLine(body, 4, QStringLiteral("Summe in EUR"), row.SumBetraege);
        addLine(body, 7, QStringLiteral("BIC des Absenders"), row.BLZAbsaender);
        addLine(body, 8, QStringLiteral("IBAN des Absenders"), row.KontoAbsaender);
        addLine(body, 9, QStringLiteral("Name des Absenders"), row.NameAbsaender);
        addLine(body, 10, QStringLiteral("Datenträgerempfänger"), row.DiskEmpfaenger);
        addLine(body, 11, QStringLiteral("Referenznummer"), row.Referenznummer);

        const int signature = twipsFromCm(15);
        body.addLine(twipsFromCm(8), signature, twipsFromCm(18), signature);
        body.addText(twipsFromCm(8), signature + twipsFromCm(0.15), twipsFromCm(4), lineHeight,
                     GermanFormat::date(row.Datum));
        body.addText(twipsFromCm(12), signature + twipsFromCm(0.15), twipsFromCm(6), lineHeight,
                     QStringLiteral("(Unterschrift)"), Body, ReportItem::Align::Center);
    };
    return layout;
}

BegleitzettelRow begleitzettelRow(int count, qint64 controlSumCents, double SumKontoNr, double SumBLZ,
                                  const Firmendaten& firma, const QDate& runDate) {
    BegleitzettelRow row;
    row.Datum = runDate;
    row.SumDS = GermanFormat::count(count);
    row.SumBetraege = GermanFormat::amount(controlSumCents);
    row.SumKontoNr = QString::number(SumKontoNr, 'f', 0);
    row.SumBLZ = QString::number(SumBLZ, 'f', 0);
    row.BLZAbsaender = firma.Bankleitzahl;
    row.KontoAbsaender = firma.Kontonummer;
    row.NameAbsaender = firma.FirmenName;
    row.DiskEmpfaenger = firma.Bank;
    row.Referenznummer = firma.Referenznummer;
    return row;
}

std::optional<MissingFile> PrintBegleitzettel(int count, qint64 controlSumCents, double SumKontoNr,
                                              double SumBLZ, const Firmendaten& firma, const QDate& runDate,
                                              bool directDebit, Prompter& prompter) {
    return prompter.showReport(
        QStringLiteral("Begleitzettel"),
        begleitzettelReport(begleitzettelRow(count, controlSumCents, SumKontoNr, SumBLZ, firma, runDate),
                            directDebit));
}
