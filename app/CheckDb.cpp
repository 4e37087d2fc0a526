#include "app/CheckDb.h"

#include "app/CommandLine.h"
#include "app/IniFile.h"
#include "app/Startup.h"
#include "base/ExportSettings.h"
#include "base/NodeKey.h"
#include "base/Prompter.h"
#include "export/Buchungsfuellung.h"
#include "export/ExportQuery.h"
#include "export/Posting.h"
#include "hostdb/CatalogStatements.h"
#include "hostdb/ClientStatements.h"
#include "hostdb/CommStatements.h"
#include "hostdb/HostDb.h"
#include "hostdb/SelectionTable.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/InvoiceTree.h"
#include "selection/PlausibilityCheck.h"
#include "selection/ReleaseInvoices.h"

#include <QSqlQuery>
#include <QTextStream>

namespace {

// An invoice name no host document carries: the writing statements run on it.
const QString kProbeName = QStringLiteral("~BRV32~");
// The export query is tried on this many open invoices of one node.
constexpr int kRealInvoices = 20;

const QStringList kTables = {
    QStringLiteral("RECHNUNGSJOURNAL"), QStringLiteral("HEADERRECH"), QStringLiteral("PERSONAL"),
    QStringLiteral("PERSONAL_FREE"),    QStringLiteral("COMM"),       QStringLiteral("FORMS_CONFIG"),
    QStringLiteral("STRINGS")};

// The indexes the statements lean on, and what the host suffers without them.
struct WantedIndex {
    QString table;
    QStringList leading; // the index's first key columns, in any order
    QString without;
};
const WantedIndex kWantedIndexes[] = {
    {QStringLiteral("COMM"),
     {QStringLiteral("ID"), QStringLiteral("SUBNUM"), QStringLiteral("SUBTEXT")},
     QStringLiteral("Ohne ihn liest jede Liste, jeder Export, jede Buchung und jede Freigabe die ganze "
                    "Tabelle COMM, und die Buchung hält dabei Sperren auf ihr, die das ERP aufhalten.")},
    {QStringLiteral("HEADERRECH"),
     {QStringLiteral("R_NAME"), QStringLiteral("VER_TYPE")},
     QStringLiteral("Ohne ihn durchsucht die Buchung für jede Rechnung die ganze Tabelle HEADERRECH und "
                    "sperrt sie bis zum Ende des Laufs; Listen, Übersicht und Export werden langsam.")},
};

// Messages of the program's own procedures, kept for the check's lines.
class CollectingPrompter : public QuietPrompter {
public:
    struct Message {
        QString text;
        Icon icon;
    };
    QList<Message> messages;

    void message(const QString& text, Icon icon, const QString&) override { messages.append({text, icon}); }
};

// The text after the first line of a message: the database's description.
QString reason(const QString& message) {
    const qsizetype cr = message.indexOf(QLatin1Char('\r'));
    return Prompter::withLineFeeds(cr < 0 ? message : message.mid(cr + 1)).replace(QLatin1Char('\n'), ' ');
}

bool isNumber(const QVariant& value) {
    bool ok = false;
    value.toDouble(&ok);
    return ok;
}

class Check {
public:
    Check(const HostDb& db, const OwnSettings& settings, const QString& connectionString, QTextStream& out)
        : m_db(db), m_settings(settings), m_connectionString(connectionString), m_out(out) {}

    void tables();
    void settingColumns();
    void indexes();
    void tree();
    void clients();
    void lists(const QDate& from, const QDate& to);
    void exportQueries();
    void dateTime();
    void writing();

    int failures() const { return m_failures; }
    int checks() const { return m_checks; }

    void ok(const QString& what, const QString& detail = {}) {
        ++m_checks;
        m_out << QStringLiteral("OK      ") << what
              << (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail) << Qt::endl;
    }
    void fail(const QString& what, const QString& error) {
        ++m_checks;
        ++m_failures;
        m_out << QStringLiteral("FEHLER  ") << what << QStringLiteral(": ") << error << Qt::endl;
    }
    void note(const QString& text) { m_out << QStringLiteral("HINWEIS ") << text << Qt::endl; }

private:
    ListInput listInput(const QString& key, bool byDueDate) const;
    ExportSettings exportSettings(const QString& key, bool sortByCustomer) const;
    std::unique_ptr<HostDb> runConnection(const QStringList& names, const QString& what);

    const HostDb& m_db;
    const OwnSettings& m_settings;
    QString m_connectionString;
    QTextStream& m_out;
    QStringList m_keys;      // the enabled nodes
    QString m_realKey;       // a node with open invoices in the range
    QStringList m_realNames; // some of them
    int m_failures = 0;
    int m_checks = 0;
};

void Check::tables() {
    for (const QString& table : kTables) {
        const int columns = m_db.database().record(table).count();
        if (columns == 0)
            fail(QStringLiteral("Tabelle %1").arg(table), QStringLiteral("fehlt in der Datenbank"));
        else
            ok(QStringLiteral("Tabelle %1").arg(table), QStringLiteral("%1 Spalten").arg(columns));
    }
}

void Check::settingColumns() {
    const struct {
        QString table, column, setting;
    } settings[] = {
        {QStringLiteral("PERSONAL_FREE"), m_settings.CheckBoxLastschrift,
         NodeKey::flagSetting(QStringLiteral("R0"))},
        {QStringLiteral("PERSONAL_FREE"), m_settings.CheckBoxGutschrift,
         NodeKey::flagSetting(QStringLiteral("A1"))},
        {QStringLiteral("HEADERRECH"), m_settings.firma.DatumFaelligkeit, kDueDateSetting},
        {QStringLiteral("HEADERRECH"), m_settings.firma.ExterneBelegnummer, kExternalNumberSetting},
    };
    for (const auto& s : settings) {
        const QString what = QStringLiteral("Spalte aus „%1“").arg(s.setting);
        QString quoted, error;
        if (!m_db.settingColumn(s.table, s.column, s.setting, &quoted, &error))
            fail(what, error);
        else if (quoted.isEmpty())
            ok(what, QStringLiteral("leer, keine Spalte"));
        else
            ok(what, QStringLiteral("Spalte %1 in %2").arg(quoted, s.table));
    }
}

void Check::indexes() {
    for (const WantedIndex& wanted : kWantedIndexes) {
        const QString what =
            QStringLiteral("Index auf %1 (%2)").arg(wanted.table, wanted.leading.join(QStringLiteral(", ")));
        QList<CatalogStatements::Index> found;
        QString error;
        if (!CatalogStatements::indexes(m_db, wanted.table, &found, &error)) {
            fail(what, error);
            continue;
        }
        QString match;
        for (const CatalogStatements::Index& index : found) {
            QStringList leading = index.keyColumns.mid(0, wanted.leading.size());
            for (QString& column : leading)
                column = column.toUpper();
            leading.sort();
            QStringList expected = wanted.leading;
            expected.sort();
            if (leading == expected)
                match = index.name;
        }
        if (!match.isEmpty())
            ok(what, match);
        else
            fail(what, QStringLiteral("fehlt. %1 Anlegen etwa mit: CREATE INDEX BRV32_%2 ON %2 (%3)")
                           .arg(wanted.without, wanted.table, wanted.leading.join(QStringLiteral(", "))));
    }
}

void Check::tree() {
    const InvoiceTree::Tree tree = InvoiceTree::LoadTreeView(m_db);
    if (!tree.error.isEmpty()) {
        fail(QStringLiteral("LoadTreeView (STRINGS, FORMS_CONFIG)"), tree.error);
        m_keys = {QStringLiteral("R0")};
        return;
    }
    for (const InvoiceTree::TreeNode& node : tree.nodes) {
        if (node.key != QLatin1String("A"))
            m_keys << node.key;
    }
    ok(QStringLiteral("LoadTreeView (STRINGS, FORMS_CONFIG)"), m_keys.join(QStringLiteral(", ")));
    // The export query names ABRECHn without a table: exactly one of the two must have it.
    for (const QString& key : m_keys) {
        if (NodeKey::isDirectDebit(key))
            continue;
        const QString column = QStringLiteral("ABRECH") + key.back();
        const bool inPersonal = !m_db.checkedColumn(QStringLiteral("PERSONAL"), column).isEmpty();
        const bool inFree = !m_db.checkedColumn(QStringLiteral("PERSONAL_FREE"), column).isEmpty();
        const QString what = QStringLiteral("Spalte %1 für %2").arg(column, key);
        if (inPersonal && inFree)
            fail(what, QStringLiteral(
                           "steht in PERSONAL und in PERSONAL_FREE; der Export kann sie nicht zuordnen"));
        else if (!inPersonal && !inFree)
            fail(what, QStringLiteral("fehlt in PERSONAL und PERSONAL_FREE; %1 kann nicht exportiert werden")
                           .arg(key));
        else
            ok(what, inPersonal ? QStringLiteral("in PERSONAL") : QStringLiteral("in PERSONAL_FREE"));
    }
}

void Check::clients() {
    QStringList names;
    QString error;
    if (!ClientStatements::LoadMandantenListe(m_db, &names, &error)) {
        fail(QStringLiteral("LoadMandantenListe (PERSONAL)"), error);
        return;
    }
    ok(QStringLiteral("LoadMandantenListe (PERSONAL)"), QStringLiteral("%1 Mandanten").arg(names.size()));
    std::optional<ClientStatements::ClientAddress> address;
    const QString name = names.isEmpty() ? kProbeName : names.first();
    if (ClientStatements::LoadMandantAdresse(m_db, name, &address, &error))
        ok(QStringLiteral("LoadMandantAdresse (PERSONAL)"),
           address ? QStringLiteral("„%1“ gefunden").arg(name) : QStringLiteral("keine Adresse"));
    else
        fail(QStringLiteral("LoadMandantAdresse (PERSONAL)"), error);
}

ListInput Check::listInput(const QString& key, bool byDueDate) const {
    ListInput input;
    input.strCheckBox =
        InvoiceTree::flagColumnFor(key, m_settings.CheckBoxLastschrift, m_settings.CheckBoxGutschrift);
    input.txtDatumFaelligkeit = m_settings.firma.DatumFaelligkeit;
    input.optFaelligkeit = byDueDate;
    input.strKeineArtikelrechnung = m_settings.KEINEARTIKELRECHNUNG;
    return input;
}

void Check::lists(const QDate& from, const QDate& to) {
    const bool withDueDate = !m_settings.firma.DatumFaelligkeit.trimmed().isEmpty();
    for (const QString& key : m_keys) {
        for (const bool byDueDate : {false, true}) {
            if (byDueDate && !withDueDate)
                continue;
            const QString what =
                QStringLiteral("GetData %1 (offene Belege nach %2)")
                    .arg(key, byDueDate ? QStringLiteral("Fälligkeitsdatum") : QStringLiteral("Belegdatum"));
            ListInput input = listInput(key, byDueDate);
            input.dtpVon = from;
            input.dtpBis = to;
            QString nodeKey = key;
            InvoiceListModel list;
            CollectingPrompter prompter;
            GetData(m_db, nodeKey, input, list, prompter);
            if (!prompter.messages.isEmpty()) {
                fail(what, reason(prompter.messages.first().text));
                continue;
            }
            // Date, amount and due date are read into values; an empty cell is
            // one the program could not read.
            int unreadable = 0;
            for (int row = 0; row < list.rowCount(); ++row) {
                for (int column = 1; column < list.columnCount(); ++column) {
                    if (column != 2 && !list.value(row, column).isValid())
                        ++unreadable;
                }
            }
            if (unreadable > 0) {
                fail(what,
                     QStringLiteral("%1 Datums- oder Betragswerte kommen nicht als Datum oder Zahl zurück")
                         .arg(unreadable));
                continue;
            }
            ok(what, QStringLiteral("%1 Zeilen").arg(list.rowCount()));
            if (m_realKey.isEmpty() && list.rowCount() > 0) {
                m_realKey = key;
                for (int row = 0; row < list.rowCount() && row < kRealInvoices; ++row)
                    m_realNames << list.invoiceName(row);
            }
        }

        const QString overview = QStringLiteral("GetDataUebersicht %1 (übergeleitete Belege)").arg(key);
        QString nodeKey = key;
        InvoiceListModel list;
        CollectingPrompter prompter;
        ListInput input = listInput(key, false);
        input.dtpVon = from;
        input.dtpBis = to;
        GetDataUebersicht(m_db, nodeKey, input, list, prompter);
        if (prompter.messages.isEmpty())
            ok(overview, QStringLiteral("%1 Zeilen").arg(list.rowCount()));
        else
            fail(overview, reason(prompter.messages.first().text));

        const QString plausibility = QStringLiteral("CheckInvoices %1 (Plausibilitätsprüfung)").arg(key);
        prompter.messages.clear();
        CheckInvoices(m_db, key, from, to, prompter);
        QString failure;
        for (const auto& m : prompter.messages) {
            if (m.icon == Prompter::Icon::Critical)
                failure = reason(m.text);
        }
        if (failure.isEmpty())
            ok(plausibility, QStringLiteral("%1 Hinweise").arg(prompter.messages.size()));
        else
            fail(plausibility, failure);
    }
}

ExportSettings Check::exportSettings(const QString& key, bool sortByCustomer) const {
    ExportSettings run;
    run.strConnectionString = m_connectionString;
    run.strVer_Type = key;
    run.strCheckBox =
        InvoiceTree::flagColumnFor(key, m_settings.CheckBoxLastschrift, m_settings.CheckBoxGutschrift);
    run.firma = m_settings.firma;
    run.sortByCustomer = sortByCustomer;
    return run;
}

// A connection of its own with the selection stored, as an export run has it.
std::unique_ptr<HostDb> Check::runConnection(const QStringList& names, const QString& what) {
    QString error;
    std::unique_ptr<HostDb> db = HostDb::open(m_connectionString, &error);
    int transferred = 0;
    if (!db || !SelectionTable::store(*db, names, &error) ||
        !SelectionTable::countTransferred(*db, 0, &transferred, &error)) {
        fail(what, error);
        return nullptr;
    }
    db->setTrialRun(true);
    return db;
}

void Check::exportQueries() {
    const QString table = QStringLiteral("Auswahltabelle des Exports (temporär)");
    std::unique_ptr<HostDb> empty = runConnection({}, table);
    if (!empty)
        return;
    ok(table);
    for (const QString& key : m_keys) {
        const QString what = QStringLiteral("ExportSEPA-Abfrage %1 über leere Auswahl").arg(key);
        QString failure;
        for (const bool byCustomer : {false, true}) {
            QSqlQuery query;
            QString error;
            if (!ExportQuery::open(*empty, exportSettings(key, byCustomer), &query, &error))
                failure = reason(error);
            else if (query.next())
                failure = QStringLiteral("liefert Zeilen ohne Auswahl");
            else if (!HostDb::rowsEnded(query, &error))
                failure = reason(error);
        }
        if (failure.isEmpty())
            ok(what, QStringLiteral("beide Sortierungen"));
        else
            fail(what, failure);
    }

    if (m_realKey.isEmpty()) {
        note(QStringLiteral("Kein offener Beleg im Zeitraum: die Export-Abfrage über echte Belege und die "
                            "Datums- und Betragsspalten des Exports sind nicht geprüft (--from/--to)."));
        return;
    }
    const QString what =
        QStringLiteral("ExportSEPA-Abfrage %1 über %2 offene Belege").arg(m_realKey).arg(m_realNames.size());
    std::unique_ptr<HostDb> real = runConnection(m_realNames, what);
    if (!real)
        return;
    QSqlQuery query;
    QString error;
    if (!ExportQuery::open(*real, exportSettings(m_realKey, false), &query, &error)) {
        fail(what, reason(error));
        return;
    }
    Buchungsfuellung::Reader reader(query.record(), {});
    int rows = 0;
    QString problem;
    while (query.next() && problem.isEmpty()) {
        ++rows;
        const Buchung booking = reader.fromRow(query);
        problem = Buchungsfuellung::dateError(booking);
        if (problem.isEmpty() && !isNumber(query.value(QStringLiteral("Preis"))))
            problem = QStringLiteral("Der Betrag (NETTOPREIS) von %1 kommt nicht als Zahl zurück: %2")
                          .arg(booking.Rechnung, query.value(QStringLiteral("Preis")).toString());
    }
    if (problem.isEmpty() && !HostDb::rowsEnded(query, &error))
        problem = error;
    if (!problem.isEmpty())
        fail(what, reason(problem));
    else
        ok(what, QStringLiteral("%1 Zeilen, Datum und Betrag lesbar").arg(rows));
}

void Check::dateTime() {
    const QString what = QStringLiteral("Gebundenes Datum mit Uhrzeit");
    const QDateTime sent(QDate(2026, 12, 31), QTime(23, 59, 58));
    QDateTime received;
    QString error;
    if (!CatalogStatements::dateTimeRoundTrip(m_db, sent, &received, &error))
        fail(what, error);
    else if (received != sent)
        fail(what, QStringLiteral("gesendet %1, zurück %2")
                       .arg(sent.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                            received.isValid() ? received.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                               : QStringLiteral("kein Datum")));
    else
        ok(what, sent.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

void Check::writing() {
    const QString tidy = QStringLiteral("Bereinigung der Überleitungsmarken (COMM, zurückgerollt)");
    QString error;
    if (!m_db.transaction(&error))
        fail(tidy, QStringLiteral("keine Transaktion möglich: ") + error);
    else if (CommStatements::tidyTransferMarks(m_db, &error) && m_db.commit(&error))
        ok(tidy);
    else {
        m_db.rollback();
        fail(tidy, error);
    }

    // The posting runs as at the end of an export, on the run's connection.
    {
        const QString key = QStringLiteral("R0");
        const QString post =
            QStringLiteral("InsertCOMM, UpdateHEADERRECH %1 für „%2“ (zurückgerollt)").arg(key, kProbeName);
        std::unique_ptr<HostDb> run = runConnection({kProbeName}, post);
        if (!run)
            return;
        BookingList bookings;
        Buchung probe;
        probe.Rechnung = kProbeName;
        probe.Betrag = 123456;
        bookings.append(probe);
        int left = 0;
        Posting::Claim claim;
        int claimedElsewhere = 0;
        // The probe invoice has no header, so the claim finds it not open and
        // rolls back; that every statement was accepted is what counts here.
        const Posting::Result posted =
            Posting::post(*run, bookings, key, QDate::currentDate(), &claim, &claimedElsewhere, &error,
                          [](const Posting::Claim&, QString*) { return true; });
        if (posted == Posting::Result::Failed)
            fail(post, error);
        else if (!SelectionTable::countTransferred(*run, NodeKey::transferKind(key), &left, &error))
            fail(post, error);
        else if (left != 0)
            fail(post, QStringLiteral("ACHTUNG: die Überleitungsmarke blieb nach dem Zurückrollen stehen"));
        else
            ok(post);
    }

    const QString release = QStringLiteral("Rechnung(en) freigeben für „%1“ (zurückgerollt)").arg(kProbeName);
    if (releaseInvoices(m_db, QStringLiteral("R0"), {kProbeName}, &error))
        ok(release);
    else
        fail(release, error);
}

} // namespace

int runCheckDb(const CommandLine& cl) {
    QTextStream out(stdout);
    const ProgramPaths paths = ProgramPaths::resolve(cl.programDir);
    const HostLocation host = HostLocation::fromArgument(cl.argument, paths);
    QString error;
    std::unique_ptr<HostDb> db = HostDb::open(host.strConnectionString, &error);
    if (!db) {
        out << QStringLiteral("FEHLER  Verbindung: ") << error << Qt::endl;
        return 2;
    }
    db->setTrialRun(true);
    out << QStringLiteral("OK      Verbindung: %1, Dialekt %2")
               .arg(db->database().driverName(), db->dialectName())
        << Qt::endl;

    const OwnSettings settings = OwnSettings::load(paths.ownIni());
    const QDate today = QDate::currentDate();
    const QDate from = cl.from.isValid() ? cl.from : QDate(today.year() - 1, today.month(), 1);
    const QDate to = cl.to.isValid() ? cl.to : today;

    Check check(*db, settings, host.strConnectionString, out);
    check.tables();
    check.settingColumns();
    check.indexes();
    check.tree();
    check.clients();
    check.lists(from, to);
    check.exportQueries();
    check.dateTime();
    check.writing();
    if (check.failures() == 0)
        out << QStringLiteral("Alle %1 Prüfungen bestanden; an der Datenbank wurde nichts geändert.")
                   .arg(check.checks())
            << Qt::endl;
    else
        out << QStringLiteral("%1 von %2 Prüfungen fehlgeschlagen; an der Datenbank wurde nichts geändert.")
                   .arg(check.failures())
                   .arg(check.checks())
            << Qt::endl;
    return check.failures() == 0 ? 0 : 1;
}
