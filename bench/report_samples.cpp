// Writes sample reports as PDF into the folder given as argument, for a look
// at the layouts (scripts/report-pngs turns them into pictures): each as
// batch mode writes it and, as NAME-qt.pdf, drawn through QPdfWriter as the
// window prints it.

#include "base/Firmendaten.h"
#include "output/Begleitzettel.h"
#include "output/Beitrag.h"
#include "output/UebersichtReport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>

#include <cstdio>

namespace {

const QDate sampleDate(2026, 12, 7);

bool write(const QString& folder, const QString& name, const Report& report) {
    QFile pdf(QDir(folder).filePath(name + QStringLiteral(".pdf")));
    QPdfWriter qtPdf(QDir(folder).filePath(name + QStringLiteral("-qt.pdf")));
    if (pdf.open(QIODevice::WriteOnly) && writeReportPdf(pdf, *report, name) && renderReport(qtPdf, *report))
        return true;
    std::fprintf(stderr, "%s could not be written\n", qPrintable(name));
    return false;
}

QList<BeitragRow> sampleBookings(int count) {
    const QStringList names = {
        QStringLiteral("Müller"), QStringLiteral("Schmidt-Weißenfels"), QStringLiteral("Öztürk"),
        QStringLiteral("von Bismarck-Schönhausen Verwaltungs GmbH"), QStringLiteral("Krämer")};
    QList<BeitragRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.append({QStringLiteral("RE-2026-%1").arg(i + 1, 5, 10, QLatin1Char('0')),
                     names[i % names.size()], i % 3 ? QStringLiteral("Jürgen") : QString(),
                     QStringLiteral("COBADEFFXXX"),
                     QStringLiteral("DE89370400440532013%1").arg(i % 1000, 3, 10, QLatin1Char('0')),
                     i % 4 ? QStringLiteral("Rechnung RE-2026-%1").arg(i + 1)
                           : QStringLiteral("Beitrag Dezember 2026 Mitgliedschaft"),
                     qint64(1234) * (i + 1) + (i % 7) * 100000});
    }
    // The widest values the columns must hold side by side.
    rows[1].BLZ = QStringLiteral("BKAUATWWXXX");
    rows[1].Konto = QStringLiteral("AT611904300234573201");
    rows[2].Konto = QStringLiteral("DE89 3704 0044 0532 0130 00");
    rows[2].Text = QStringLiteral("Abrechnung Dezember 2026");
    rows[3].Konto = QStringLiteral("LC55 HEMM 0001 0001 0012 0012 0002 3015");
    rows[3].Betrag = -99999999999;
    return rows;
}

QList<UebersichtRow> sampleOverview(int count) {
    QList<UebersichtRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.append({QStringLiteral("R%1").arg(26000 + i), QDate(2026, 11, 1).addDays(i % 30),
                     i % 5 == 2 ? QStringLiteral(
                                      "Bäckerei Müller & Söhne Großhandel für Backwaren und Konditoreibedarf")
                                : QStringLiteral("Kunde %1 GmbH").arg(i + 1),
                     QDate(2026, 12, 1).addDays(i % 5), qint64(98765) * (i + 1)});
    }
    rows[1].Nummer = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    rows[1].Bruttopreis = -99999999999;
    return rows;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_samples FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Firmendaten firma;
    firma.FirmenName = QStringLiteral("Brevanta Musterfirma GmbH & Co. KG");
    firma.Bank = QStringLiteral("Commerzbank Köln");
    firma.Bankleitzahl = QStringLiteral("COBADEFFXXX");
    firma.Kontonummer = QStringLiteral("DE89370400440532013000");
    firma.Referenznummer = QStringLiteral("4711");
    const BegleitzettelRow note = begleitzettelRow(125, 12345678, 0, 0, firma, sampleDate);
    const QList<BeitragRow> bookings = sampleBookings(130);
    const QList<UebersichtRow> overview = sampleOverview(75);
    bool ok = write(folder, QStringLiteral("Begleitzettel"), begleitzettelReport(note, false));
    ok &= write(folder, QStringLiteral("Beitrag"), beitragReport(bookings, sampleDate));
    ok &= write(folder, QStringLiteral("Uebersicht"), uebersichtReport(overview, sampleDate));
    ok &= write(folder, QStringLiteral("Uebersicht-leer"), uebersichtReport({}, sampleDate));
    return ok ? 0 : 1;
}
