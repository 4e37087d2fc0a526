#include "selection/InvoiceListModel.h"

#include "QtPrinters.h"

#include <QItemSelectionModel>

#include <gtest/gtest.h>

namespace {

using Kind = InvoiceListModel::Kind;

// Rows of name, date as the host shows it ("dd.mm.yyyy"), customer, amount, due date-time.
InvoiceListModel::Rows rowsOf(const QList<QVariantList>& rows) {
    InvoiceListModel::Rows result({{"AbrechnungsNr", 2000, Qt::AlignLeft, Kind::Text},
                                   {"A-Datum", 1000, Qt::AlignLeft, Kind::Date},
                                   {"A-Kunde", 2500, Qt::AlignLeft, Kind::Text},
                                   {"Bruttopreis", 1200, Qt::AlignRight, Kind::Amount},
                                   {"Fällig", 1000, Qt::AlignLeft, Kind::DateTime}});
    for (const QVariantList& row : rows) {
        for (int c = 0; c < row.size(); ++c)
            result.append(c, row[c]);
    }
    return result;
}

QStringList column(const InvoiceListModel& model, int c) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.text(row, c);
    return texts;
}

class InvoiceListSorting : public ::testing::Test {
protected:
    void SetUp() override {
        model.setRows(rowsOf({
            {"RE-10", "28.12.2025", "zeller", 1234.5, "2026-01-11 00:00:00"},
            {"RE-9", "05.01.2026", "Äpfel GmbH", 2.0, "2026-01-19 14:30:00"},
            {"re-8", "5.1.2026", "apfel", -3.0, "2025-12-31 23:59:59"},
            {"RE-7", "31.01.2025", "Birne", QVariant(), "2026-01-19 09:00:00"},
        }));
    }
    InvoiceListModel model;
};

TEST_F(InvoiceListSorting, ColumnsSortByValueBothWays) {
    const struct {
        int column;
        QStringList ascending;
    } cases[] = {
        {1, {"31.01.2025", "28.12.2025", "05.01.2026", "05.01.2026"}},
        {2, {"apfel", "Äpfel GmbH", "Birne", "zeller"}},
        {3, {"", "-3,00", "2,00", "1.234,50"}},
        {4, {"31.12.2025 23:59:59", "11.01.2026", "19.01.2026 09:00:00", "19.01.2026 14:30:00"}},
    };
    for (const auto& c : cases) {
        model.sort(c.column, Qt::AscendingOrder);
        EXPECT_EQ(column(model, c.column), c.ascending) << c.column;
        model.sort(c.column, Qt::DescendingOrder);
        QStringList descending = c.ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(column(model, c.column), descending) << c.column;
    }
}

// Texts compare without regard to case, so equal names keep their order both
// ways; plain names order as in German collation.
TEST_F(InvoiceListSorting, TextsCompareWithoutRegardToCaseInGermanCollation) {
    model.setRows(
        rowsOf({{"b", "", "MÜLLER", 0, ""}, {"a", "", "müller", 0, ""}, {"c", "", "Müller", 0, ""}}));
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        model.sort(2, order);
        EXPECT_EQ(column(model, 0), QStringList({"a", "b", "c"}));
    }
    QList<QVariantList> names;
    for (const char* name : {"REA", "re0", "RE1", "re-2", "RE-1"})
        names.append({name, "", "", 0, ""});
    model.setRows(rowsOf(names));
    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(column(model, 0), QStringList({"RE-1", "re-2", "re0", "RE1", "REA"}));
}

// Sorting moves rows, and the selection with them, and never changes a shown
// text.
TEST_F(InvoiceListSorting, SortingMovesTheSelectionAndNeverChangesATextShown) {
    const QStringList dates = {"28.12.2025", "31.01.2025", "05.01.2026", "05.01.2026"};
    EXPECT_EQ(column(model, 1), dates);
    QItemSelectionModel selection(&model);
    for (int row : {0, 3})
        selection.select(model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    model.sort(1, Qt::DescendingOrder);
    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(column(model, 1), dates);
    EXPECT_EQ(column(model, 3), QStringList({"1.234,50", "", "-3,00", "2,00"}));
    EXPECT_EQ(model.data(model.index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);

    model.sort(3, Qt::AscendingOrder);
    QStringList selected;
    for (const QModelIndex& index : selection.selectedRows())
        selected << model.invoiceName(index.row());
    selected.sort();
    EXPECT_EQ(selected, QStringList({"RE-10", "RE-9"}));
}

} // namespace
