#include "hostdb/DemoDatabase.h"

#include "hostdb/HostDb.h"
#include "hostdb/HostSchema.h"

#include <QFile>
#include <QSqlQuery>
#include <QStringList>

#include <array>

namespace {

constexpr int kFirstCustomerId = 100;
constexpr int kCustomerCount = 400;

struct Bank {
    const char* country;
    const char* name;
    const char* bic;
    const char* code; // national bank code the BBAN starts with
    int accountDigits;
};

constexpr std::array<Bank, 9> kBanks = {{
    {"DE", "Commerzbank Köln", "COBADEFFXXX", "37040044", 10},
    {"DE", "Stadtsparkasse München", "SSKMDEMMXXX", "70150000", 10},
    {"DE", "Volksbank Mittelhessen", "VBMHDE5FXXX", "51390000", 10},
    {"DE", "Hamburger Sparkasse", "HASPDEHHXXX", "20050550", 10},
    {"DE", "Deutsche Bank Düsseldorf", "DEUTDEDDXXX", "30070010", 10},
    {"DE", "Postbank Nürnberg", "PBNKDEFFXXX", "76010085", 10},
    {"AT", "Erste Bank Wien", "GIBAATWWXXX", "20111", 11},
    {"AT", "Raiffeisenlandesbank Tirol", "RZTIAT22XXX", "36000", 11},
    {"CH", "UBS Zürich", "UBSWCHZH80A", "00230", 12},
}};

constexpr std::array<const char*, 24> kSurnames = {
    "Müller",   "Schmidt",  "Schneider", "Fischer",    "Weber",  "Meyer",   "Wagner",   "Becker",
    "Schulz",   "Hoffmann", "Schäfer",   "Koch",       "Bauer",  "Richter", "Klein",    "Wolf",
    "Schröder", "Neumann",  "Schwarz",   "Zimmermann", "Krüger", "Hofmann", "Hartmann", "Weiß"};
constexpr std::array<const char*, 16> kFirstNames = {
    "Anna",   "Jürgen",  "Sabine", "Thomas", "Monika", "Andreas", "Ursula", "Stefan",
    "Renate", "Michael", "Björn",  "Käthe",  "Günter", "Birgit",  "Jörg",   "Élodie"};
constexpr std::array<const char*, 12> kStreets = {
    "Hauptstraße", "Schulstraße",   "Gartenweg",  "Bahnhofstraße", "Dorfstraße",   "Lindenallee",
    "Mühlenweg",   "Am Marktplatz", "Kirchgasse", "Ringstraße",    "Goethestraße", "Seestraße"};
struct Town {
    const char* country;
    const char* plz;
    const char* ort;
};
constexpr std::array<Town, 9> kTowns = {{{"DE", "50667", "Köln"},
                                         {"DE", "80331", "München"},
                                         {"DE", "35390", "Gießen"},
                                         {"DE", "20095", "Hamburg"},
                                         {"DE", "40213", "Düsseldorf"},
                                         {"DE", "90402", "Nürnberg"},
                                         {"AT", "1010", "Wien"},
                                         {"AT", "6020", "Innsbruck"},
                                         {"CH", "8001", "Zürich"}}};

// Where the letters of an IBAN become numbers: A=10 .. Z=35.
int mod97(const QString& digitsAndLetters) {
    int rest = 0;
    for (QChar c : digitsAndLetters) {
        const QString part = c.isLetter() ? QString::number(c.toUpper().unicode() - 'A' + 10) : QString(c);
        for (QChar d : part)
            rest = (rest * 10 + d.digitValue()) % 97;
    }
    return rest;
}

QString accountNumber(int seed, int digits) {
    QString text = QString::number(1000003LL * seed + 7919LL * (seed % 13) + 424242);
    while (text.size() < digits)
        text.prepend(QLatin1Char('0'));
    return text.right(digits);
}

QString bankIban(const Bank& bank, int seed) {
    return DemoDatabase::iban(QLatin1String(bank.country),
                              QLatin1String(bank.code) + accountNumber(seed, bank.accountDigits));
}

// A bank of the customer's country, chosen by seed.
const Bank& bankFor(const char* country, int seed) {
    std::array<const Bank*, kBanks.size()> matching{};
    int count = 0;
    for (const Bank& b : kBanks) {
        if (QLatin1String(b.country) == QLatin1String(country))
            matching[count++] = &b;
    }
    return *matching[seed % count];
}

class Writer {
public:
    Writer(const HostDb& db, QString* error) : m_db(db), m_error(error) {}

    bool exec(const QString& sql, const QVariantList& values = {}) {
        return m_db.execute(sql, values, m_error);
    }

    bool insertPerson(const QVariantList& values) {
        return exec(QStringLiteral(
                        "INSERT INTO PERSONAL (ID_PERSONAL, NUMMER, KURZBEZEICHNUNG, ANREDE, NAME, VORNAME, "
                        "BEZEICHNUNG, STRASSE, PLZ, ORT, NATION, POSTFACH, telefon, telefax, BANK, BLZ, "
                        "KONTO, IBAN, BIC, bank2, BLZ2, KONTO2, IBAN2, BIC2, use_bank2, MANDATSNUMMER, "
                        "GLAUBIGERID, KUNDE, mandanten, disable) VALUES "
                        "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                    values);
    }

    bool insertFlags(int id, QVariant lastschrift, QVariant gutschrift, QVariant abrech) {
        return exec(
            QStringLiteral("INSERT INTO PERSONAL_FREE VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
            {id, lastschrift, gutschrift, abrech, abrech, abrech, abrech, abrech, abrech, abrech, abrech});
    }

    bool insertInvoice(const QString& name, const QString& type, const QString& date, int journalCustomer,
                       int headerCustomer, const QVariant& price) {
        return exec(QStringLiteral(
                        "INSERT INTO RECHNUNGSJOURNAL (R_NAME, VER_TYPE, INVDATE, KUNDE, NETTOPREIS, "
                        "ARTIKELPREIS) VALUES (?,?,?,?,?,NULL)"),
                    {name, type, date, journalCustomer, price}) &&
               exec(QStringLiteral(
                        "INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, INVDATE, KOPF1, KOPF2, %1) "
                        "VALUES (?,?,?,?,0,0,datetime(?, '+14 days'))")
                        .arg(QLatin1String(HostSchema::kDueDateColumn)),
                    {name, type, headerCustomer, date, date});
    }

private:
    const HostDb& m_db;
    QString* m_error;
};

QString prefixOf(const QString& type) {
    static const QStringList prefixes = {QStringLiteral("RE"), QStringLiteral("PA"), QStringLiteral("GU"),
                                         QStringLiteral("HO"), QStringLiteral("LI"), QStringLiteral("BO"),
                                         QStringLiteral("MI"), QStringLiteral("PR"), QStringLiteral("VE")};
    return type == QLatin1String("R") ? prefixes[0] : prefixes[type.mid(1).toInt()];
}

bool writeClients(Writer& w) {
    const Bank& home = kBanks[1];
    const Bank& vienna = kBanks[6];
    const QString ibanHome = bankIban(home, 1);
    const QString ibanVienna = bankIban(vienna, 2);
    return w.insertPerson({1,
                           1,
                           "MUSTERHANDEL",
                           "Firma",
                           "Musterhandel Süd",
                           "GmbH",
                           "Musterhandel Süd GmbH",
                           "Leopoldstraße 12",
                           "80802",
                           "München",
                           "DE",
                           QVariant(),
                           "089 123456-0",
                           "089 123456-99",
                           QString::fromUtf8(home.name),
                           QLatin1String(home.code),
                           ibanHome.right(10),
                           ibanHome,
                           QLatin1String(home.bic),
                           QVariant(),
                           QVariant(),
                           QVariant(),
                           QVariant(),
                           QVariant(),
                           0,
                           QVariant(),
                           "DE98ZZZ09999999999",
                           0,
                           1,
                           0}) &&
           w.insertPerson({2,
                           2,
                           "FILIALE WIEN",
                           "Firma",
                           "Musterhandel Österreich",
                           "GesmbH",
                           "Musterhandel Österreich GesmbH",
                           "Kärntner Straße 5",
                           "1010",
                           "Wien",
                           "AT",
                           QVariant(),
                           "+43 1 234567",
                           QVariant(),
                           "Alte Hausbank Linz",
                           "34000",
                           "00012345678",
                           DemoDatabase::iban(QStringLiteral("AT"), QStringLiteral("3400000012345678")),
                           "RZOOAT2LXXX",
                           QString::fromUtf8(vienna.name),
                           QLatin1String(vienna.code),
                           ibanVienna.right(11),
                           ibanVienna,
                           QLatin1String(vienna.bic),
                           1,
                           QVariant(),
                           "AT61ZZZ01234567890",
                           0,
                           1,
                           0}) &&
           w.insertPerson(
               {3,           3,          "ALTMANDANT", "Firma",    "Altbestand", "KG",       QVariant(),
                "Postweg 1", "10115",    "Berlin",     "DE",       QVariant(),   QVariant(), QVariant(),
                QVariant(),  QVariant(), QVariant(),   QVariant(), QVariant(),   QVariant(), QVariant(),
                QVariant(),  QVariant(), QVariant(),   0,          QVariant(),   QVariant(), 0,
                1,           1});
}

bool writeCustomers(Writer& w) {
    for (int k = 0; k < kCustomerCount; ++k) {
        const int id = kFirstCustomerId + k;
        const Town& town = kTowns[(k * 5) % kTowns.size()];
        const Bank& bank = bankFor(town.country, k);
        const bool company = k % 9 == 4;
        const bool secondAccount = k % 11 == 3;
        const QString surname = QString::fromUtf8(kSurnames[k % kSurnames.size()]);
        const QString firstName = QString::fromUtf8(kFirstNames[(k / 3) % kFirstNames.size()]);
        const QString designation = company ? QStringLiteral("%1 & Söhne Handels-GmbH").arg(surname)
                                            : QStringLiteral("%1, %2").arg(surname, firstName);
        const QString ibanText = bankIban(bank, id);
        const Bank& second = bankFor(town.country, k + 1);
        const QString secondIban = bankIban(second, id + 5000);
        QVariantList v = {
            id,
            10000 + k,
            QStringLiteral("%1%2").arg(surname.toUpper().left(6)).arg(k, 3, 10, QLatin1Char('0')),
            company ? QStringLiteral("Firma") : (k % 2 ? QStringLiteral("Frau") : QStringLiteral("Herr")),
            surname,
            company ? QString() : firstName,
            designation,
            QStringLiteral("%1 %2").arg(QString::fromUtf8(kStreets[k % kStreets.size()])).arg(k % 97 + 1),
            QLatin1String(town.plz),
            QString::fromUtf8(town.ort),
            QLatin1String(town.country),
            k % 13 == 0 ? QVariant(QStringLiteral("Postfach %1").arg(1000 + k)) : QVariant(),
            QStringLiteral("0%1 %2").arg(200 + k % 700).arg(100000 + k * 37),
            QVariant(),
            secondAccount ? QStringLiteral("Alte Bank (aufgelöst)") : QString::fromUtf8(bank.name),
            QLatin1String(bank.code),
            accountNumber(id, bank.accountDigits),
            secondAccount ? QVariant() : QVariant(ibanText),
            secondAccount ? QVariant() : QVariant(QLatin1String(bank.bic)),
            secondAccount ? QVariant(QString::fromUtf8(second.name)) : QVariant(),
            secondAccount ? QVariant(QLatin1String(second.code)) : QVariant(),
            secondAccount ? QVariant(accountNumber(id + 5000, second.accountDigits)) : QVariant(),
            secondAccount ? QVariant(secondIban) : QVariant(),
            secondAccount ? QVariant(QLatin1String(second.bic)) : QVariant(),
            secondAccount ? 1 : (k % 5 == 0 ? QVariant() : QVariant(0)),
            k % 6 == 5 ? QVariant() : QVariant(QStringLiteral("MR-%1").arg(10000 + k)),
            QVariant(),
            1,
            0,
            0};
        if (!w.insertPerson(v) || !w.insertFlags(id, 1, 1, 1))
            return false;
    }
    return true;
}

bool writeHostSettings(Writer& w) {
    // Types 1, 2, 3, 5 on; 4 off, 6 set to 2, 7 NULL, 8 missing: all of them off.
    const QList<QPair<int, QVariant>> flags = {{1, 1}, {2, 1}, {3, 1},         {4, 0},
                                               {5, 1}, {6, 2}, {7, QVariant()}};
    for (const auto& [type, value] : flags) {
        if (!w.exec(QStringLiteral("INSERT INTO FORMS_CONFIG VALUES ('F_STAMMEINKONF', ?, ?)"),
                    {QStringLiteral("CHKABRECHNUNG%1").arg(type), value}))
            return false;
    }
    const QList<std::tuple<int, const char*, const char*>> texts = {
        {642, "Rechnungen", nullptr},
        {646, "Provisionsabrechnung", nullptr},
        {649, "Gutschriften", "Gutschriften an Vertriebspartner"},
        {652, "Honorarabrechnung", nullptr},
        {655, "Lizenzabrechnung", nullptr},
        {629, "Bonusabrechnung", nullptr},
        {632, "Mietabrechnung", nullptr},
        {635, "Prämienabrechnung", nullptr},
        {638, "Vermittlungsabrechnung", nullptr}};
    for (const auto& [id, german, custom] : texts) {
        if (!w.exec(
                QStringLiteral("INSERT INTO STRINGS VALUES (?, ?, ?)"),
                {id, QString::fromUtf8(german), custom ? QVariant(QString::fromUtf8(custom)) : QVariant()}))
            return false;
    }
    return true;
}

bool writeOpenInvoices(Writer& w, const QString& type, const DemoDatabase::Options& options) {
    const QDate first(options.today.year(), options.today.month(), 1);
    const QVariantList values = {options.invoicesPerType,
                                 prefixOf(type) + options.today.toString(QStringLiteral("-yyMM-")),
                                 type,
                                 first.toString(Qt::ISODate),
                                 options.today.day(),
                                 kFirstCustomerId,
                                 kCustomerCount};
    // Generated inside SQLite: 200,000 invoices per type in a few seconds.
    return w.exec(
        QStringLiteral("WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < ?) "
                       "INSERT INTO RECHNUNGSJOURNAL (R_NAME, VER_TYPE, INVDATE, KUNDE, NETTOPREIS, "
                       "ARTIKELPREIS) "
                       "SELECT ? || printf('%06d', i), ?, "
                       "datetime(?, '+' || (i % ?) || ' days'), ? + (i * 31) % ?, "
                       "15 + ((i * 7919) % 200000) / 100.0, CASE WHEN i % 7 = 0 THEN 12.5 END FROM seq"),
        values);
}

bool writeGaps(Writer& w, const DemoDatabase::Options& options) {
    const QString day = options.today.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString stamp = options.today.toString(QStringLiteral("-yyMM-"));
    // Never printed: no amount.
    if (!w.insertInvoice(QStringLiteral("RE") + stamp + QStringLiteral("900001"), QStringLiteral("R"), day,
                         101, 101, QVariant()) ||
        !w.insertInvoice(QStringLiteral("RE") + stamp + QStringLiteral("900002"), QStringLiteral("R"), day,
                         102, 102, 0.0) ||
        !w.insertInvoice(QStringLiteral("PA") + stamp + QStringLiteral("900001"), QStringLiteral("A1"), day,
                         103, 103, QVariant()))
        return false;
    // Not printed correctly: the header names another customer.
    if (!w.insertInvoice(QStringLiteral("RE") + stamp + QStringLiteral("900003"), QStringLiteral("R"), day,
                         104, 105, 99.9) ||
        !w.insertInvoice(QStringLiteral("GU") + stamp + QStringLiteral("900003"), QStringLiteral("A2"), day,
                         106, 107, 45.0))
        return false;
    // A customer without PERSONAL_FREE row: never listed.
    if (!w.insertPerson({9000,
                         99000,
                         "OHNEFREI",
                         "Herr",
                         "Ohnefrei",
                         "Otto",
                         QVariant(),
                         "Wegstraße 1",
                         "50667",
                         "Köln",
                         "DE",
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         "Commerzbank Köln",
                         "37040044",
                         "0532013000",
                         "DE89370400440532013000",
                         "COBADEFFXXX",
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         0,
                         QVariant(),
                         QVariant(),
                         1,
                         0,
                         0}) ||
        !w.insertInvoice(QStringLiteral("RE") + stamp + QStringLiteral("900004"), QStringLiteral("R"), day,
                         9000, 9000, 10.0))
        return false;
    return true;
}

bool writeTransferred(Writer& w, const DemoDatabase::Options& options) {
    const QString stamp = options.today.toString(QStringLiteral("-yyMM-"));
    const QString markDay = options.today.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString paidAt = options.today.toString(QStringLiteral("yyyy-MM-dd 09:30:00"));
    const QList<QPair<QString, int>> kinds = {
        {QStringLiteral("R"), 0}, {QStringLiteral("A1"), 1}, {QStringLiteral("A3"), 3}};
    for (const auto& [type, kind] : kinds) {
        for (int i = 1; i <= 6; ++i) {
            const QString name =
                prefixOf(type) + stamp + QStringLiteral("8%1").arg(i, 5, 10, QLatin1Char('0'));
            const int customer = kFirstCustomerId + 7 * i;
            const double amount = 100.0 * i + 0.5;
            if (!w.insertInvoice(name, type, markDay, customer, customer, amount) ||
                !w.exec(QStringLiteral("UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = ?, GESPERRT = 1 "
                                       "WHERE R_NAME = ? AND VER_TYPE = ?"),
                        {amount, paidAt, name, type}) ||
                !w.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, ?, ?, ?)"),
                        {name, kind, markDay}))
                return false;
        }
    }
    // An old mark without kind whose settlement is gone: start-up tidies it away.
    return w.exec(
        QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, 'PA-0001-000001', NULL, ?)"),
        {markDay});
}

bool writeHeaders(Writer& w) {
    // Headers of the generated invoices: same customer, due 14 days after the
    // invoice (every 25th without due date), every 10th with 2 % cash discount.
    return w.exec(
        QStringLiteral("INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, INVDATE, KOPF1, KOPF2, %1, %2) "
                       "SELECT R_NAME, VER_TYPE, KUNDE, INVDATE, CASE WHEN rowid % 10 = 0 THEN 2 ELSE 0 END, "
                       "10, CASE WHEN rowid % 25 = 0 THEN NULL ELSE datetime(INVDATE, '+14 days') END, "
                       "CASE WHEN rowid % 3 = 0 THEN 'EXT-' || R_NAME END FROM RECHNUNGSJOURNAL")
            .arg(QLatin1String(HostSchema::kDueDateColumn),
                 QLatin1String(HostSchema::kExternalNumberColumn)));
}

} // namespace

namespace DemoDatabase {

QString iban(const QString& country, const QString& bban) {
    const int check = 98 - mod97(bban + country + QStringLiteral("00"));
    return country + QStringLiteral("%1").arg(check, 2, 10, QLatin1Char('0')) + bban;
}

bool write(const QString& file, const Options& options, QString* error) {
    const QString partial = file + QStringLiteral(".part");
    QFile::remove(partial);
    {
        QFile create(partial);
        if (!create.open(QIODevice::WriteOnly)) {
            *error = QStringLiteral("Die Datei „%1“ kann nicht angelegt werden: %2")
                         .arg(partial, create.errorString());
            return false;
        }
    }
    bool ok = false;
    {
        std::unique_ptr<HostDb> db =
            HostDb::open(QStringLiteral("Provider=SQLite;Data Source=") + partial, error);
        if (!db)
            return false;
        Writer w(*db, error);
        ok = w.exec(QStringLiteral("PRAGMA journal_mode = OFF")) &&
             w.exec(QStringLiteral("PRAGMA synchronous = OFF")) && HostSchema::createTables(*db, error) &&
             db->transaction(error) && writeClients(w) && writeCustomers(w) && writeHostSettings(w) &&
             writeOpenInvoices(w, QStringLiteral("R"), options);
        for (int type : kEnabledTypes)
            ok = ok && writeOpenInvoices(w, QStringLiteral("A%1").arg(type), options);
        ok = ok && writeHeaders(w) && writeGaps(w, options) && writeTransferred(w, options) &&
             HostSchema::createIndexes(*db, error) && db->commit(error);
    }
    if (!ok && error->isEmpty())
        *error = QStringLiteral("Die Demo-Datenbank konnte nicht geschrieben werden.");
    if (ok && QFile::exists(file) && !QFile::remove(file)) {
        *error = QStringLiteral("Die vorhandene Datei „%1“ kann nicht ersetzt werden.").arg(file);
        ok = false;
    }
    if (ok && !QFile::rename(partial, file)) {
        *error = QStringLiteral("Die Datei „%1“ kann nicht angelegt werden.").arg(file);
        ok = false;
    }
    if (!ok)
        QFile::remove(partial);
    return ok;
}

} // namespace DemoDatabase
