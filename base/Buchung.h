#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One invoice prepared for a payment file. Texts are never null: a missing
// value is the empty text. Amounts are integer cents.
struct Buchung {
    QString Rechnung;
    QString Verwendungszweck;
    QDateTime Rechnungsdat;
    qint64 Betrag = 0;
    qint32 Nummer = 0;
    QString Anrede;
    QString Name;
    QString Vorname;
    QString Strasse;
    QString PLZ;
    QString Ort;
    QString Nation;
    QString Postfach;
    QString BLZ;
    QString Bank;
    QString KontoNr;
    QString Mandatsnummer;
    QString DruckName;
    QString DruckVorname;
    QDateTime Faelligkeit;
    QString IBAN;
    QString BIC;
};

// The bookings of one export run in query order. Like the host program's
// arrays it always carries one empty element after the last booking; the
// bookings are at positions 0 to count()-1 and iteration skips the extra one.
class BookingList {
public:
    BookingList() : m_items(1) {}

    // Number of bookings, the "upper index" of the list.
    qsizetype count() const { return m_items.size() - 1; }
    bool isEmpty() const { return count() == 0; }

    Buchung& operator[](qsizetype i) { return m_items[i]; }
    const Buchung& operator[](qsizetype i) const { return m_items[i]; }

    // The trailing element, filled by the run before append() closes it.
    Buchung& last() { return m_items.last(); }
    // Keeps the filled trailing element and opens a new empty one.
    void append() { m_items.append(Buchung{}); }
    void append(const Buchung& b) {
        m_items.last() = b;
        m_items.append(Buchung{});
    }
    void reserve(qsizetype n) { m_items.reserve(n + 1); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end() - 1; }
    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend() - 1; }

private:
    QList<Buchung> m_items;
};
