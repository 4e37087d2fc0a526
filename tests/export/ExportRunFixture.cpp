#include "ExportRunFixture.h"

#include "SepaSamples.h"
#include "output/Windows1252.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/NodeKey.h"

#include <QDir>
#include <QSqlQuery>
#include <QXmlStreamReader>

namespace {

// The one file of the export folder that matches; a test failure when there is not exactly one.
QByteArray onlyFile(const QString& folder, const QStringList& patterns) {
    const QStringList found = QDir(folder).entryList(patterns, QDir::Files, QDir::Name);
    if (found.size() == 1)
        return TempFolder::read(folder + found.first());
    ADD_FAILURE() << patterns.join(QLatin1Char(' ')).toStdString() << ": "
                  << found.join(QLatin1Char(' ')).toStdString();
    return {};
}

} // namespace

ExportRunTest::ExportRunTest() {
    host.addCustomer(100, QStringLiteral("Müller"));
    host.addCustomer(101, QStringLiteral("Schäfer"), QStringLiteral("DE02120300000000202051"),
                     QStringLiteral("BYLADEM1001"));
    settings.strConnectionString = host.connectionString();
    settings.strVer_Type = QStringLiteral("A3");
    settings.strExportPfad = files.exportFolder();
    settings.firma = SepaSamples::firma();
    settings.strCSV = QStringLiteral("0");
    settings.strBezeichnungStattNameVorname = QStringLiteral("0");
    settings.strSkontoRechnungsKopf = QStringLiteral("0");
    settings.strSEPAVersion = QStringLiteral("2009"); // the run tests read the 2009 layout
    settings.logFile = files.logPath();
    const QDateTime now = QDateTime::currentDateTime();
    settings.now = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}

void ExportRunTest::addInvoice(const QString& name, const QString& key, int customer, double price,
                               const QString& date) {
    host.addInvoice(name, NodeKey::documentType(key), date, customer, price);
}

ExportOutcome ExportRunTest::run(const QStringList& names) {
    return ExportSEPA(settings, names, prompter, [this] { ++reloads; });
}

void ExportRunTest::expectNothingLeft(const QStringList& openBefore) {
    EXPECT_EQ(files.exportEntries(), QStringList());
    EXPECT_EQ(markCount(), 0);
    EXPECT_EQ(lockedHeaders(), QStringList());
    EXPECT_EQ(host.scalar(QStringLiteral("SELECT COUNT(*) FROM HEADERRECH WHERE ZAHL_BETRAG IS NOT NULL OR "
                                         "ZAHLDATUM IS NOT NULL"))
                  .toInt(),
              0);
    EXPECT_TRUE(prompter.reports.isEmpty());
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(openInvoices(), openBefore);
}

QByteArray ExportRunTest::paymentFile() const {
    return onlyFile(files.exportFolder(), {QStringLiteral("UW_*.xml"), QStringLiteral("LS_*.xml")});
}

QList<QMap<QString, QString>> ExportRunTest::csvRows() const {
    QStringList lines = Windows1252::decode(onlyFile(files.exportFolder(), {QStringLiteral("Bank_*.csv")}))
                            .split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.size() >= 2 && lines.last().isEmpty()) << "every line ends with CR LF";
    lines.removeLast();
    const QStringList header = lines.value(0).split(QLatin1Char(';'));
    QList<QMap<QString, QString>> rows;
    for (const QString& line : lines.mid(1)) {
        const QStringList values = line.split(QLatin1Char(';'));
        EXPECT_EQ(values.size(), header.size()) << line.toStdString();
        QMap<QString, QString> row;
        for (qsizetype i = 0; i < header.size() && i < values.size(); ++i)
            row.insert(header[i], values[i]);
        rows << row;
    }
    return rows;
}

QStringList ExportRunTest::column(const QString& sql, const QVariantList& values) {
    QSqlQuery q = host.db().newQuery();
    QString error;
    EXPECT_TRUE(host.db().run(q, sql, values, &error)) << error.toStdString();
    QStringList result;
    while (q.next())
        result << q.value(0).toString();
    return result;
}

QStringList ExportRunTest::marked(int kind) {
    return column(QStringLiteral("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? ORDER BY SUBTEXT"),
                  {kind});
}

QStringList ExportRunTest::lockedHeaders() {
    return column(QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 ORDER BY R_NAME"));
}

QStringList ExportRunTest::openInvoices(const QString& key) {
    ListInput input;
    input.dtpVon = QDate(2026, 3, 1);
    input.dtpBis = QDate(2026, 3, 31);
    QString strVer_Type = key;
    InvoiceListModel list;
    RecordingPrompter quiet;
    GetData(host.db(), strVer_Type, input, list, quiet);
    QStringList names;
    for (int row = 0; row < list.rowCount(); ++row)
        names << list.invoiceName(row);
    names.sort();
    return names;
}

QStringList ExportRunTest::elements(const QByteArray& xml, const QString& name) {
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            texts << reader.readElementText();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}
