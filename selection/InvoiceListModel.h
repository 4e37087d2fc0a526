#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <limits>
#include <vector>

// The rows of one invoice list (open invoices or overview) behind a table
// view. Cells keep their value (text, day, cents, date-time); the display text
// is derived from it, so sorting compares values while the texts never change.
class InvoiceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Kind {
        Text,    // trimmed text, sorted in German order regardless of case
        Date,    // "dd.mm.yyyy" or a day number from the host, shown "dd.mm.yyyy"
        Amount,  // cents, shown "#,##0.00"
        DateTime // a date-time, shown with its time unless midnight
    };

    struct Column {
        QString caption;
        int widthTwips;
        Qt::Alignment alignment;
        Kind kind;
    };

    // The rows of one load, complete before they replace the model's rows, so
    // a failed load leaves the list as it was.
    class Rows {
    public:
        explicit Rows(QList<Column> columns = {});
        // Cells in row order: column 0 to the last, then the next row. Takes
        // the host's value; NULL gives an empty cell.
        void append(int column, const QVariant& hostValue);
        qsizetype size() const;
        const QList<Column>& columns() const { return m_columns; }

    private:
        friend class InvoiceListModel;
        // Per column: texts for Text columns, numbers for the others (day
        // number, cents, or seconds since day 0 for a date-time).
        struct Cells {
            std::vector<QString> texts;
            std::vector<qint64> numbers;
        };
        QList<Column> m_columns;
        std::vector<Cells> m_cells;
    };

    explicit InvoiceListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces columns and rows and orders the rows by the sort setting in
    // force; rows equal in the sort column keep the order shown before (by
    // invoice name). From now on the list counts as sorted.
    void setRows(Rows rows);
    // Removes all columns and rows; the sort setting stays.
    void clear();

    const Column& column(int column) const { return m_rows.m_columns[column]; }
    // The shown text of a cell.
    QString text(int row, int column) const;
    // The cell's value: QString, QDate, qint64 cents or QDateTime; invalid for
    // an empty cell.
    QVariant value(int row, int column) const;
    // The item text of a row: the invoice name.
    QString invoiceName(int row) const { return text(row, 0); }
    // The row's amount as shown, in cents; 0 for an empty cell or a list
    // without an amount column.
    qint64 amountCents(int row) const;

    // Orders the rows by the values of a column, stable; remembered for the
    // next load.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    bool isSorted() const { return m_sorted; }
    // A click on a column header: descending when the list is sorted and
    // ascending, otherwise ascending, whichever column was clicked.
    static Qt::SortOrder nextSortOrder(bool sorted, Qt::SortOrder current);
    void sortByClick(int column);

private:
    static constexpr qint64 kEmpty = std::numeric_limits<qint64>::min();

    qsizetype stored(int row) const { return m_order[row]; }
    // Rank of every row's text in German order; equal ranks for texts that
    // differ only in case. Built once per load and column.
    const std::vector<qint64>& textRanks(int column) const;
    void applySort();

    Rows m_rows;
    std::vector<qsizetype> m_order; // shown row -> stored row
    mutable std::vector<std::vector<qint64>> m_rankCache;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
};
