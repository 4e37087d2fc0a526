#include "output/UebersichtReport.h"

#include "base/GermanFormat.h"
#include "base/Prompter.h"
#include "output/ReportEngine.h"

namespace {

enum Font { Body, Caption, Title, Footer, Total };

// Positions and sizes in twips.
const int width = 11190;
const int rowHeight = 255;

enum Column { Nummer, Datum, Kunde, Bruttopreis, Ueberleitungsdatum };

QString cell(const QStringList& texts, Column column) {
    return column < texts.size() ? texts[column].trimmed() : QString();
}

QString rowName(int index, const QString& nummer) {
    return nummer.isEmpty() ? QStringLiteral("Zeile %1").arg(index + 1)
                            : QStringLiteral("Zeile %1 (Rechnung %2)").arg(index + 1).arg(nummer);
}

} // namespace

Report uebersichtReport(const QList<UebersichtRow>& rows, const QDate& printDate) {
    auto layout = std::make_shared<ReportLayout>();
    ReportLayout& report = *layout;
    report.width = width;
    report.fonts = {reportFont(9), reportFont(8, true), reportFont(20.25, true), reportFont(8),
                    reportFont(9, true)};

    report.reportHeader.height = 850;
    report.reportHeader.addText(0, 0, width, 567, QStringLiteral("Übersicht der abgerechneten Rechnungen"),
                                Title, ReportItem::Align::Center);

    ReportBand& header = report.pageHeader;
    header.height = 270;
    header.addText(1134, 0, 1695, 270, QStringLiteral("Rechnungsnummer"), Caption);
    header.addText(2835, 0, 1710, 270, QStringLiteral("Rechnungsdatum"), Caption);
    header.addText(4536, 0, 1695, 270, QStringLiteral("Rechnungskunde"), Caption);
    header.addText(6236, 0, 1710, 270, QStringLiteral("Überleitungsdatum"), Caption);
    header.addText(7937, 0, 1134, 270, QStringLiteral("Bruttopreis"), Caption, ReportItem::Align::Right);

    report.rowCount = rows.size();
    report.detail = [rows](qsizetype i, ReportBand& band) {
        const UebersichtRow& row = rows[i];
        band.height = rowHeight;
        band.addWrappingText(1134, 0, 1695, rowHeight, row.Nummer);
        band.addText(2835, 0, 1695, rowHeight, GermanFormat::date(row.Datum));
        band.addWrappingText(4536, 0, 1695, rowHeight, row.Kunde);
        band.addText(6236, 0, 1695, rowHeight, GermanFormat::date(row.Ueberleitungsdatum));
        band.addText(7937, 0, 1134, rowHeight,
                     row.Bruttopreis ? GermanFormat::amount(*row.Bruttopreis) : QString(), Body,
                     ReportItem::Align::Right);
    };

    ReportBand& footer = report.pageFooter;
    footer.height = 400;
    footer.addText(0, 145, 3720, rowHeight, GermanFormat::longDate(printDate), Footer);
    footer.addPageCounter(10772 + 405, 145, rowHeight, Footer);

    qint64 sum = 0;
    for (const UebersichtRow& row : rows)
        sum += row.Bruttopreis.value_or(0);
    ReportBand& total = report.reportFooter;
    total.height = 400;
    total.addLine(6375, 0, 6375 + 2820, 0);
    total.addText(6435, 60, 840, rowHeight, QStringLiteral("Summe:"), Total);
    total.addText(7455, 60, 1635, rowHeight, GermanFormat::amount(sum), Total, ReportItem::Align::Right);
    return layout;
}

bool uebersichtRows(const QList<QStringList>& listTexts, QList<UebersichtRow>* rows, QString* error) {
    rows->clear();
    rows->reserve(listTexts.size());
    for (int i = 0; i < listTexts.size(); ++i) {
        const QStringList& texts = listTexts[i];
        UebersichtRow row;
        row.Nummer = cell(texts, Nummer);
        row.Kunde = cell(texts, Kunde);
        const auto readDate = [&](Column column, QDate* date, const QString& what) {
            const QString text = cell(texts, column);
            *date = GermanFormat::parseDate(text);
            if (text.isEmpty() || date->isValid())
                return true;
            *error =
                QStringLiteral("Die Übersicht kann nicht gedruckt werden: In %1 ist das %2 „%3“ kein Datum.")
                    .arg(rowName(i, row.Nummer), what, text);
            return false;
        };
        if (!readDate(Datum, &row.Datum, QStringLiteral("Rechnungsdatum")) ||
            !readDate(Ueberleitungsdatum, &row.Ueberleitungsdatum, QStringLiteral("Überleitungsdatum")))
            return false;
        const QString amount = cell(texts, Bruttopreis);
        qint64 cents = 0;
        if (!amount.isEmpty()) {
            if (!GermanFormat::parseAmount(amount, &cents)) {
                *error =
                    QStringLiteral("Die Übersicht kann nicht gedruckt werden: In %1 ist der Bruttopreis „%2“ "
                                   "kein Betrag.")
                        .arg(rowName(i, row.Nummer), amount);
                return false;
            }
            row.Bruttopreis = cents;
        }
        rows->append(row);
    }
    return true;
}

bool PrintUebersicht(const QList<QStringList>& listTexts, const QDate& printDate, Prompter& prompter) {
    QList<UebersichtRow> rows;
    QString error;
    if (!uebersichtRows(listTexts, &rows, &error)) {
        prompter.message(error, Prompter::Icon::Critical);
        return false;
    }
    if (const std::optional<MissingFile> missing =
            prompter.showReport(QStringLiteral("Uebersicht"), uebersichtReport(rows, printDate))) {
        prompter.message(QStringLiteral("Die Übersicht konnte nicht als %1 gespeichert werden: %2")
                             .arg(missing->path, missing->reason),
                         Prompter::Icon::Critical);
        return false;
    }
    return true;
}
