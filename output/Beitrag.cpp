#include "output/Beitrag.h"

#include "base/GermanFormat.h"
#include "base/Prompter.h"
#include "output/ReportEngine.h"

namespace {

enum Font { Body, Caption, Title, Total, Detail };

// Column starts in twips; the amount ends at the right edge.
const int colNummer = twipsFromCm(0);
const int colName = twipsFromCm(3.3);
const int colVorname = twipsFromCm(5.7);
const int colBic = twipsFromCm(7.7);
const int colIban = twipsFromCm(9.9);
const int colText = twipsFromCm(13.7);
const int colBetrag = twipsFromCm(16.9);
const int rightEdge = twipsFromCm(19);
const int rowHeight = 255;

} // namespace

Report beitragReport(const QList<BeitragRow>& rows, const QDate& printDate) {
    auto layout = std::make_shared<ReportLayout>();
    ReportLayout& report = *layout;
    report.width = rightEdge;
    // 7 pt lets an 11-character BIC and an IBAN written in groups of four
    // (27 characters) fit their columns; longer ones wrap.
    report.fonts = {reportFont(8), reportFont(8, true), reportFont(14, true), reportFont(8, true),
                    reportFont(7)};

    report.reportHeader.height = twipsFromCm(1.3);
    report.reportHeader.addText(0, 0, rightEdge, twipsFromCm(0.8), QStringLiteral("Einzelbuchungen SEPA"),
                                Title, ReportItem::Align::Center);

    ReportBand& header = report.pageHeader;
    header.height = twipsFromCm(0.7);
    const int captionHeight = twipsFromCm(0.45);
    header.addText(colNummer, 0, colName - colNummer, captionHeight, QStringLiteral("RechnungsNr."), Caption);
    header.addText(colName, 0, colVorname - colName, captionHeight, QStringLiteral("Nachname"), Caption);
    header.addText(colVorname, 0, colBic - colVorname, captionHeight, QStringLiteral("Vorname"), Caption);
    header.addText(colBic, 0, colIban - colBic, captionHeight, QStringLiteral("BIC"), Caption);
    header.addText(colIban, 0, colText - colIban, captionHeight, QStringLiteral("IBAN"), Caption);
    header.addText(colText, 0, colBetrag - colText, captionHeight, QStringLiteral("Verwendungszweck"),
                   Caption);
    header.addText(colBetrag, 0, rightEdge - colBetrag, captionHeight, QStringLiteral("Betrag"), Caption,
                   ReportItem::Align::Right);

    report.rowCount = rows.size();
    report.detailRefills = true;
    report.detail = [rows](qsizetype i, ReportBand& band) {
        if (band.items.isEmpty()) {
            band.height = rowHeight;
            band.addWrappingText(colNummer, 0, colName - colNummer, rowHeight, {}, Detail);
            band.addWrappingText(colName, 0, colVorname - colName, rowHeight, {}, Detail);
            band.addWrappingText(colVorname, 0, colBic - colVorname, rowHeight, {}, Detail);
            band.addWrappingText(colBic, 0, colIban - colBic, rowHeight, {}, Detail);
            band.addWrappingText(colIban, 0, colText - colIban, rowHeight, {}, Detail);
            band.addWrappingText(colText, 0, colBetrag - colText, rowHeight, {}, Detail);
            band.addText(colBetrag, 0, rightEdge - colBetrag, rowHeight, {}, Detail,
                         ReportItem::Align::Right);
        }
        // The texts lie scattered on the heap: fetching those of a row a few
        // rows ahead hides the memory's latency from both passes over them.
        if (i + 4 < rows.size()) {
            const BeitragRow& ahead = rows[i + 4];
            for (const QString* text :
                 {&ahead.Nummer, &ahead.Name, &ahead.Vorname, &ahead.BLZ, &ahead.Konto, &ahead.Text})
                __builtin_prefetch(text->constData());
        }
        // A band lives shorter than the rows, so it borrows their texts: no
        // reference count to touch per cell, on strings the export run's
        // other threads read at the same time.
        const BeitragRow& row = rows[i];
        ReportItem* item = band.items.data();
        for (const QString* text : {&row.Nummer, &row.Name, &row.Vorname, &row.BLZ, &row.Konto, &row.Text})
            (item++)->text = QString::fromRawData(text->constData(), text->size());
        item->text = GermanFormat::amount(row.Betrag);
    };

    ReportBand& footer = report.pageFooter;
    footer.height = twipsFromCm(0.6);
    footer.addText(0, twipsFromCm(0.2), twipsFromCm(8), rowHeight, GermanFormat::longDate(printDate));
    footer.addPageCounter(rightEdge, twipsFromCm(0.2), rowHeight);

    qint64 sum = 0;
    for (const BeitragRow& row : rows)
        sum += row.Betrag;
    ReportBand& total = report.reportFooter;
    total.height = twipsFromCm(0.8);
    total.addLine(twipsFromCm(13.9), twipsFromCm(0.1), rightEdge, twipsFromCm(0.1));
    total.addText(twipsFromCm(13.9), twipsFromCm(0.2), twipsFromCm(1.5), rowHeight, QStringLiteral("Summe:"),
                  Total);
    total.addText(twipsFromCm(15.4), twipsFromCm(0.2), rightEdge - twipsFromCm(15.4), rowHeight,
                  GermanFormat::amount(sum), Total, ReportItem::Align::Right);
    return layout;
}

QList<BeitragRow> beitragRows(const BookingList& bookings, const QString& panelPurposeText) {
    QList<BeitragRow> rows;
    rows.reserve(bookings.count());
    for (const Buchung& b : bookings) {
        rows.append({b.Rechnung, b.DruckName.trimmed(), b.DruckVorname.trimmed(), b.BIC, b.IBAN,
                     panelPurposeText.isEmpty() ? b.Verwendungszweck : panelPurposeText, b.Betrag});
    }
    return rows;
}

void prepareBeitrag(const Report& report, Prompter& prompter) {
    prompter.prepareReport(QStringLiteral("Beitrag"), report);
}

std::optional<MissingFile> PrintBeitrag(const Report& report, Prompter& prompter) {
    return prompter.showReport(QStringLiteral("Beitrag"), report);
}
