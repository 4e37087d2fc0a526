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

QStringList column(HostDb& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q = db.newQuery();
    QString error;
    if (!db.run(q, sql, values, &error)) {
        ADD_FAILURE() << error.toStdString();
        return {};
    }
    QStringList result;
    while (q.next())
        result << q.value(0).toString();
    return result;
}

QStringList filesLike(const QString& folder, const QStringList& patterns) {
    return QDir(folder).entryList(patterns, QDir::Files, QDir::Name);
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

QByteArray ExportRunTest::paymentFile() const {
    const QString folder = files.exportFolder();
    const QStringList found = filesLike(folder, {QStringLiteral("UW_*.xml"), QStringLiteral("LS_*.xml")});
    if (found.size() != 1) {
        ADD_FAILURE() << "payment files: " << found.join(QLatin1Char(' ')).toStdString();
        return {};
    }
    return TempFolder::read(folder + found.first());
}

QList<QMap<QString, QString>> ExportRunTest::csvRows() const {
    const QString folder = files.exportFolder();
    const QStringList found = filesLike(folder, {QStringLiteral("Bank_*.csv")});
    if (found.size() != 1) {
        ADD_FAILURE() << "CSV files: " << found.join(QLatin1Char(' ')).toStdString();
        return {};
    }
    QStringList lines =
        Windows1252::decode(TempFolder::read(folder + found.first())).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.size() >= 2 && lines.last().isEmpty()) << "every line ends with CR LF";
    lines.removeLast();
    const QStringList header = lines.takeFirst().split(QLatin1Char(';'));
    QList<QMap<QString, QString>> rows;
    for (const QString& line : lines) {
        const QStringList values = line.split(QLatin1Char(';'));
        EXPECT_EQ(values.size(), header.size()) << line.toStdString();
        QMap<QString, QString> row;
        for (qsizetype i = 0; i < header.size() && i < values.size(); ++i)
            row.insert(header[i], values[i]);
        rows << row;
    }
    return rows;
}

QStringList ExportRunTest::marked(int kind) {
    return column(host.db(),
                  QStringLiteral("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? ORDER BY SUBTEXT"),
                  {kind});
}

int ExportRunTest::markCount() {
    return host.scalar(QStringLiteral("SELECT COUNT(*) FROM COMM")).toInt();
}

QStringList ExportRunTest::lockedHeaders() {
    return column(host.db(),
                  QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 ORDER BY R_NAME"));
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
