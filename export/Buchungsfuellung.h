#pragma once

#include "base/Buchung.h"
#include "base/Prompter.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

// Filling one booking from a row of the export query and the checks that stop
// a run before any file is written.
namespace Buchungsfuellung {

struct Options {
    bool designationInsteadOfName = false; // BezeichnungStattNameVorname = "1"
    bool cashDiscount = false;             // SKONTO_RECHNUNGS_KOPF = "1"
};

// Fills bookings from the rows of the export query. The columns are looked
// up by name once; a date equal to the one of the row before is not read
// again, as the rows come ordered by due date.
class Reader {
public:
    Reader(const QSqlRecord& columns, const Options& options);
    // A booking of the row; its customer texts that equal those of
    // sameCustomer share their storage.
    Buchung fromRow(const QSqlQuery& row, const Buchung* sameCustomer = nullptr);
    // Fills the open last booking of the list from the row. Its address and
    // bank texts that equal those of the customer's first booking share their
    // storage with it: a run of many invoices per customer holds each text once.
    void fill(const QSqlQuery& row, BookingList& bookings);

private:
    // A date column with the value and date-time of the row before.
    struct DateColumn {
        int index = -1;
        QVariant lastValue;
        QDateTime lastDate;
    };
    QDateTime dateOf(const QSqlQuery& row, DateColumn& column);

    Options m_options;
    int m_customer;
    QHash<qint64, qsizetype> m_firstBookingOf; // customer -> position in the list
    int m_nummer, m_anrede, m_bezeichnung, m_name, m_vorname, m_strasse, m_plz, m_ort, m_nation, m_blz,
        m_bank, m_konto, m_postfach, m_mandatsnummer, m_rName, m_verwendungszweck, m_preis, m_skonto, m_iban,
        m_bic;
    DateColumn m_invdate;
    DateColumn m_faellig;
};

// The message of the first national bank check the booking fails (only for an
// IBAN of five characters or fewer), or an empty text.
QString nationalBankError(const Buchung& b);

// A message when the invoice or due date could not be read, or an empty text.
QString dateError(const Buchung& b);

// Reads every row of the export query into bookings; false, after the
// message, when a booking fails the date or national bank check or the rows
// cannot be read to the end. Either ends the run before any file is written.
bool readAll(QSqlQuery& query, const Options& options, BookingList& bookings, Prompter& prompter);

} // namespace Buchungsfuellung
