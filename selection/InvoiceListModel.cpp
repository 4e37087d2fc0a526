#include "selection/InvoiceListModel.h"

#include "base/GermanFormat.h"
#include "hostdb/HostValues.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace {

constexpr qint64 kSecondsPerDay = 86400;

QDate dayOf(qint64 number) {
    return QDate::fromJulianDay(number);
}

// "dd.mm.yyyy" as the list statements return it (SQL Server pads it with
// blanks, SQLite may hand it out as a blob), read digit by digit: splitting
// the text costs more per row than the rest of the row. Anything else is read
// the general way.
template <typename Char> QDate dateOfText(const Char* s, qsizetype end, const QVariant& value) {
    while (end > 10 && s[end - 1] == ' ')
        --end;
    int digits[8];
    int n = 0;
    for (qsizetype i = 0; end == 10 && i < 10; ++i) {
        const Char c = s[i];
        if (i == 2 || i == 5) {
            if (c != '.')
                break;
        } else if (c >= '0' && c <= '9') {
            digits[n++] = c - '0';
        } else {
            break;
        }
    }
    if (n != 8)
        return GermanFormat::parseDate(HostValues::text(value));
    return QDate(digits[4] * 1000 + digits[5] * 100 + digits[6] * 10 + digits[7], digits[2] * 10 + digits[3],
                 digits[0] * 10 + digits[1]);
}

QDate dateOf(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString: {
        const QString& s = *static_cast<const QString*>(value.constData());
        return dateOfText(s.utf16(), s.size(), value);
    }
    case QMetaType::QByteArray: {
        const QByteArray& s = *static_cast<const QByteArray*>(value.constData());
        return dateOfText(s.constData(), s.size(), value);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QDate::fromJulianDay(value.toLongLong()); // the day number SQLite hands out
    default:
        return GermanFormat::parseDate(value.toString());
    }
}

// Invoice names are mostly letters, digits and hyphens. For such texts the
// German collation ignoring case orders exactly as their upper-case bytes
// do (hyphen before digits before letters), which is far cheaper to build
// than collation keys.
bool plainAscii(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'-'))
            return false;
    }
    return true;
}

std::vector<QByteArray> upperAsciiKeys(const std::vector<QString>& texts) {
    std::vector<QByteArray> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts)
        keys.push_back(text.toLatin1().toUpper());
    return keys;
}

std::vector<QCollatorSortKey> collationKeys(const std::vector<QString>& texts) {
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts)
        keys.push_back(collator.sortKey(text));
    return keys;
}

int compareKeys(const QByteArray& a, const QByteArray& b) {
    return a.compare(b);
}
int compareKeys(const QCollatorSortKey& a, const QCollatorSortKey& b) {
    return a.compare(b);
}

// The rank of every key in ascending order; equal keys share a rank.
template <typename Key> std::vector<qint64> ranksOf(const std::vector<Key>& keys) {
    std::vector<qint64> byOrder(keys.size());
    std::iota(byOrder.begin(), byOrder.end(), qint64(0));
    std::sort(byOrder.begin(), byOrder.end(),
              [&keys](qint64 a, qint64 b) { return compareKeys(keys[a], keys[b]) < 0; });
    std::vector<qint64> rank(keys.size());
    qint64 r = 0;
    for (size_t i = 0; i < byOrder.size(); ++i) {
        if (i > 0 && compareKeys(keys[byOrder[i - 1]], keys[byOrder[i]]) != 0)
            ++r;
        rank[byOrder[i]] = r;
    }
    return rank;
}

} // namespace

InvoiceListModel::Rows::Rows(QList<Column> columns)
    : m_columns(std::move(columns)), m_cells(m_columns.size()) {}

qsizetype InvoiceListModel::Rows::size() const {
    if (m_columns.isEmpty())
        return 0;
    const Cells& first = m_cells.front();
    return m_columns.front().kind == Kind::Text ? qsizetype(first.texts.size())
                                                : qsizetype(first.numbers.size());
}

void InvoiceListModel::Rows::append(int column, const QVariant& hostValue) {
    Cells& cells = m_cells[column];
    const Kind kind = m_columns[column].kind;
    if (kind == Kind::Text) {
        cells.texts.push_back(HostValues::text(hostValue).trimmed());
        return;
    }
    qint64 number = kEmpty;
    if (!hostValue.isNull()) {
        if (kind == Kind::Date) {
            const QDate date = dateOf(hostValue);
            if (date.isValid())
                number = date.toJulianDay();
        } else if (kind == Kind::Amount) {
            bool ok = false;
            const double amount = hostValue.toDouble(&ok);
            if (ok)
                number = GermanFormat::roundToCents(amount);
        } else {
            QDate date;
            QTime time;
            if (HostValues::dateAndTime(hostValue, &date, &time))
                number = date.toJulianDay() * kSecondsPerDay + time.msecsSinceStartOfDay() / 1000;
        }
    }
    cells.numbers.push_back(number);
}

InvoiceListModel::InvoiceListModel(QObject* parent) : QAbstractTableModel(parent) {}

int InvoiceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int InvoiceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.m_columns.size());
}

QVariant InvoiceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column(index.column()).alignment | Qt::AlignVCenter);
    return {};
}

QVariant InvoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return column(section).caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column(section).alignment | Qt::AlignVCenter);
    return {};
}

QString InvoiceListModel::text(int row, int col) const {
    const Rows::Cells& cells = m_rows.m_cells[col];
    const qsizetype at = stored(row);
    const Kind kind = column(col).kind;
    if (kind == Kind::Text)
        return cells.texts[at];
    const qint64 number = cells.numbers[at];
    if (number == kEmpty)
        return {};
    switch (kind) {
    case Kind::Date:
        return GermanFormat::date(dayOf(number));
    case Kind::Amount:
        return GermanFormat::amount(number);
    default:
        // Shown as stored, without a time-zone step that could move the time.
        return GermanFormat::dateTime(
            QDateTime(dayOf(number / kSecondsPerDay),
                      QTime::fromMSecsSinceStartOfDay(int(number % kSecondsPerDay) * 1000), Qt::UTC));
    }
}

QVariant InvoiceListModel::value(int row, int col) const {
    const Rows::Cells& cells = m_rows.m_cells[col];
    const qsizetype at = stored(row);
    const Kind kind = column(col).kind;
    if (kind == Kind::Text)
        return cells.texts[at];
    const qint64 number = cells.numbers[at];
    if (number == kEmpty)
        return {};
    switch (kind) {
    case Kind::Date:
        return dayOf(number);
    case Kind::Amount:
        return number;
    default:
        return QDateTime(dayOf(number / kSecondsPerDay),
                         QTime::fromMSecsSinceStartOfDay(int(number % kSecondsPerDay) * 1000));
    }
}

qint64 InvoiceListModel::amountCents(int row) const {
    for (int col = 0; col < columnCount(); ++col) {
        if (column(col).kind == Kind::Amount) {
            const qint64 number = m_rows.m_cells[col].numbers[stored(row)];
            return number == kEmpty ? 0 : number;
        }
    }
    return 0;
}

void InvoiceListModel::setRows(Rows rows) {
    // Rows with equal values in the sort column keep the order the user saw
    // before the reload; new rows follow them in the statement's order.
    QHash<QString, qsizetype> shownBefore;
    if (!m_order.empty() && column(0).kind == Kind::Text) {
        shownBefore.reserve(qsizetype(m_order.size()));
        for (int row = 0; row < rowCount(); ++row)
            if (!shownBefore.contains(invoiceName(row)))
                shownBefore.insert(invoiceName(row), row);
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), qsizetype(0));
    if (!shownBefore.isEmpty() && !m_order.empty() && column(0).kind == Kind::Text) {
        const std::vector<QString>& names = m_rows.m_cells[0].texts;
        std::vector<qsizetype> before(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            before[i] = shownBefore.value(names[i], std::numeric_limits<qsizetype>::max());
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&before](qsizetype a, qsizetype b) { return before[a] < before[b]; });
    }
    m_rankCache.assign(m_rows.m_columns.size(), {});
    m_sorted = true;
    applySort();
    endResetModel();
}

void InvoiceListModel::clear() {
    beginResetModel();
    m_rows = Rows();
    m_order.clear();
    m_rankCache.clear();
    endResetModel();
}

const std::vector<qint64>& InvoiceListModel::textRanks(int col) const {
    std::vector<qint64>& ranks = m_rankCache[col];
    if (!ranks.empty() || m_order.empty())
        return ranks;
    const std::vector<QString>& texts = m_rows.m_cells[col].texts;
    // Invoice names, each of its own: ranked on their bytes straight away.
    if (std::all_of(texts.begin(), texts.end(), plainAscii)) {
        ranks = ranksOf(upperAsciiKeys(texts));
        return ranks;
    }
    // Short names repeat a lot: collate each distinct text once.
    QHash<QString, qint64> distinctIndex;
    std::vector<qint64> rowDistinct(texts.size());
    std::vector<QString> distinct;
    for (size_t i = 0; i < texts.size(); ++i) {
        auto it = distinctIndex.constFind(texts[i]);
        if (it == distinctIndex.constEnd()) {
            it = distinctIndex.insert(texts[i], qint64(distinct.size()));
            distinct.push_back(texts[i]);
        }
        rowDistinct[i] = it.value();
    }
    const std::vector<qint64> distinctRank = ranksOf(collationKeys(distinct));
    ranks.resize(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        ranks[i] = distinctRank[rowDistinct[i]];
    return ranks;
}

void InvoiceListModel::applySort() {
    if (m_sortColumn < 0 || m_sortColumn >= columnCount() || m_order.size() < 2)
        return;
    const std::vector<qint64>& keys = column(m_sortColumn).kind == Kind::Text
                                          ? textRanks(m_sortColumn)
                                          : m_rows.m_cells[m_sortColumn].numbers;
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&keys](qsizetype a, qsizetype b) { return keys[b] < keys[a]; });
}

void InvoiceListModel::sort(int col, Qt::SortOrder order) {
    m_sortColumn = col;
    m_sortOrder = order;
    m_sorted = true;
    if (col < 0 || col >= columnCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<qsizetype> storedBefore;
    storedBefore.reserve(before.size());
    for (const QModelIndex& index : before)
        storedBefore.push_back(stored(index.row()));
    applySort();
    if (!before.isEmpty()) {
        std::vector<int> shownRow(m_order.size());
        for (size_t row = 0; row < m_order.size(); ++row)
            shownRow[m_order[row]] = int(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(shownRow[storedBefore[i]], before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Qt::SortOrder InvoiceListModel::nextSortOrder(bool sorted, Qt::SortOrder current) {
    return sorted && current == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
}

void InvoiceListModel::sortByClick(int col) {
    sort(col, nextSortOrder(m_sorted, m_sortOrder));
}
