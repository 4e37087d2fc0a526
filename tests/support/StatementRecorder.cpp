#include "StatementRecorder.h"

#include <QSqlError>
#include <QSqlResult>

namespace {

class RecordingResult : public QSqlResult {
public:
    explicit RecordingResult(const RecordingDriver* driver) : QSqlResult(driver), m_driver(driver) {}

protected:
    QVariant data(int column) override { return m_rows.value(at()).value(column); }
    bool isNull(int column) override { return data(column).isNull(); }
    bool reset(const QString& sql) override { return keep(sql, {}); }
    bool prepare(const QString& sql) override { return setQuery(sql), true; }
    bool exec() override { return keep(lastQuery(), boundValues()); }
    bool fetch(int row) override {
        if (row < 0 || row >= m_rows.size())
            return false;
        setAt(row);
        return true;
    }
    bool fetchFirst() override {
        if (m_driver->failFetch) {
            setLastError(QSqlError(QStringLiteral("Lesefehler"), {}, QSqlError::ConnectionError));
            return false;
        }
        return fetch(0);
    }
    bool fetchLast() override { return fetch(int(m_rows.size()) - 1); }
    int size() override { return int(m_rows.size()); }
    int numRowsAffected() override { return 0; }

private:
    // As SQL Server's ODBC driver reports a lock time-out.
    bool timedOut() {
        setLastError(
            QSqlError(QStringLiteral("QODBC: Unable to execute statement"),
                      QStringLiteral("[FreeTDS][SQL Server]Lock request time out period exceeded. HY000"),
                      QSqlError::StatementError, QStringLiteral("1222")));
        return false;
    }
    bool keep(const QString& sql, const QVariantList& values) {
        if (m_driver->lockTimeout)
            return timedOut();
        m_driver->m_sent->append({sql, values});
        m_rows = m_driver->answer ? m_driver->answer(sql, values) : QList<QVariantList>();
        setActive(true);
        setSelect(true);
        return true;
    }

    const RecordingDriver* m_driver;
    QList<QVariantList> m_rows;
};

} // namespace

QSqlResult* RecordingDriver::createResult() const {
    return new RecordingResult(this);
}
