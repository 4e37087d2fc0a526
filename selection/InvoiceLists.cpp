#include "selection/InvoiceLists.h"

#include "base/Firmendaten.h"
#include "base/NodeKey.h"
#include "base/Prompter.h"
#include "hostdb/HostDb.h"
#include "hostdb/ListStatements.h"
#include "selection/InvoiceListModel.h"

#include <QSqlQuery>

namespace {

using Kind = InvoiceListModel::Kind;
using Column = InvoiceListModel::Column;

const QString kLoadFailed = QStringLiteral("Fehler beim Anzeigen der Belege!");

QList<Column> openInvoiceColumns(bool withDueDate) {
    QList<Column> columns = {{QStringLiteral("AbrechnungsNr"), 2000, Qt::AlignLeft, Kind::Text},
                             {QStringLiteral("A-Datum"), 1000, Qt::AlignLeft, Kind::Date},
                             {QStringLiteral("A-Kunde"), 2500, Qt::AlignLeft, Kind::Text},
                             {QStringLiteral("Bruttopreis"), 1200, Qt::AlignRight, Kind::Amount}};
    if (withDueDate)
        columns.append({QStringLiteral("Fällig"), 1000, Qt::AlignLeft, Kind::DateTime});
    return columns;
}

QList<Column> overviewColumns(bool withDueDate) {
    QList<Column> columns = {{QStringLiteral("AbrechnungsNr"), 2000, Qt::AlignLeft, Kind::Text},
                             {QStringLiteral("A-Datum"), 1000, Qt::AlignLeft, Kind::Date},
                             {QStringLiteral("A-Kunde"), 2500, Qt::AlignLeft, Kind::Text},
                             {QStringLiteral("Bruttopreis"), 1200, Qt::AlignRight, Kind::Amount},
                             {QStringLiteral("Überleitungsdatum"), 1500, Qt::AlignLeft, Kind::Date}};
    if (withDueDate)
        columns.append({QStringLiteral("Fällig"), 1500, Qt::AlignLeft, Kind::DateTime});
    return columns;
}

// The statement parts of a node and the window's inputs. A configured column
// name reaches the statement only when the table has that column.
bool listParts(const HostDb& db, const QString& nodeKey, const ListInput& input,
               ListStatements::ListParts* parts, QString* error) {
    parts->documentType = NodeKey::documentType(nodeKey);
    parts->transferKind = NodeKey::transferKind(nodeKey);
    parts->byDueDate = input.optFaelligkeit;
    parts->from = input.dtpVon;
    parts->to = input.dtpBis;
    parts->withoutArticlePrice = input.strKeineArtikelrechnung == QLatin1String("1");
    if (!db.settingColumn(QStringLiteral("PERSONAL_FREE"), input.strCheckBox, NodeKey::flagSetting(nodeKey),
                          &parts->flagColumn, error) ||
        !db.settingColumn(QStringLiteral("HEADERRECH"), input.txtDatumFaelligkeit, kDueDateSetting,
                          &parts->dueDateColumn, error))
        return false;
    if (parts->dueDateColumn.isEmpty() && input.optFaelligkeit) {
        *error = QStringLiteral("Für die Eingrenzung nach Fälligkeitsdatum nennt die %1 keine Spalte.")
                     .arg(kDueDateSetting);
        return false;
    }
    return true;
}

// Runs a list statement and reads all its rows; nothing is shown yet.
bool readRows(const HostDb& db, const Statement& statement, InvoiceListModel::Rows* rows, QString* error) {
    QSqlQuery query = db.newQuery();
    if (!db.run(query, statement.sql, statement.values, error))
        return false;
    const int columns = int(rows->columns().size());
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            rows->append(c, query.value(c));
    }
    return HostDb::rowsEnded(query, error);
}

// Puts the rows of a load into the list; an empty load leaves no columns.
bool show(InvoiceListModel& list, InvoiceListModel::Rows rows) {
    const bool empty = rows.size() == 0;
    list.setRows(empty ? InvoiceListModel::Rows() : std::move(rows));
    return empty;
}

} // namespace

bool GetData(const HostDb& SQLConn, QString& strVer_Type, const ListInput& input,
             InvoiceListModel& lvAbrechnungen, Prompter& prompter) {
    BusyWhileRunning busy(prompter);
    strVer_Type = NodeKey::normalised(strVer_Type);
    ListStatements::ListParts parts;
    QString error;
    if (listParts(SQLConn, strVer_Type, input, &parts, &error)) {
        InvoiceListModel::Rows rows(openInvoiceColumns(!parts.dueDateColumn.isEmpty()));
        if (readRows(SQLConn, ListStatements::openInvoices(SQLConn, parts), &rows, &error))
            return show(lvAbrechnungen, std::move(rows));
    }
    prompter.message(kLoadFailed + QLatin1Char('\r') + error, Prompter::Icon::None);
    return false;
}

bool GetDataUebersicht(const HostDb& SQLConn, QString& strVer_Type, const ListInput& input,
                       InvoiceListModel& lvUebersicht, Prompter& prompter) {
    BusyWhileRunning busy(prompter);
    lvUebersicht.clear();
    strVer_Type = NodeKey::normalised(strVer_Type);
    ListStatements::ListParts parts;
    QString error;
    if (listParts(SQLConn, strVer_Type, input, &parts, &error)) {
        parts.withoutArticlePrice = false;
        InvoiceListModel::Rows rows(overviewColumns(!parts.dueDateColumn.isEmpty()));
        if (readRows(SQLConn, ListStatements::transferredInvoices(SQLConn, parts), &rows, &error))
            return show(lvUebersicht, std::move(rows));
    }
    prompter.message(kLoadFailed + QLatin1Char('\r') + error, Prompter::Icon::None);
    return false;
}
