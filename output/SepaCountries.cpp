#include "output/SepaCountries.h"

#include "output/BankIdentifiers.h"
#include "output/Sanitizing.h"

#include <QHash>

namespace {

struct Country {
    const char* code;
    const char16_t* names[2];
};

const Country kCountries[] = {
    {"AD", {u"ANDORRA"}},
    {"AL", {u"ALBANIEN"}},
    {"AT", {u"ÖSTERREICH"}},
    {"BE", {u"BELGIEN"}},
    {"BG", {u"BULGARIEN"}},
    {"CH", {u"SCHWEIZ"}},
    {"CY", {u"ZYPERN"}},
    {"CZ", {u"TSCHECHIEN", u"TSCHECHISCHE REPUBLIK"}},
    {"DE", {u"DEUTSCHLAND"}},
    {"DK", {u"DÄNEMARK"}},
    {"EE", {u"ESTLAND"}},
    {"ES", {u"SPANIEN"}},
    {"FI", {u"FINNLAND"}},
    {"FR", {u"FRANKREICH"}},
    {"GB", {u"VEREINIGTES KÖNIGREICH", u"GROSSBRITANNIEN"}},
    {"GR", {u"GRIECHENLAND"}},
    {"HR", {u"KROATIEN"}},
    {"HU", {u"UNGARN"}},
    {"IE", {u"IRLAND"}},
    {"IS", {u"ISLAND"}},
    {"IT", {u"ITALIEN"}},
    {"LI", {u"LIECHTENSTEIN"}},
    {"LT", {u"LITAUEN"}},
    {"LU", {u"LUXEMBURG"}},
    {"LV", {u"LETTLAND"}},
    {"MC", {u"MONACO"}},
    {"MD", {u"MOLDAU", u"REPUBLIK MOLDAU"}},
    {"ME", {u"MONTENEGRO"}},
    {"MK", {u"NORDMAZEDONIEN"}},
    {"MT", {u"MALTA"}},
    {"NL", {u"NIEDERLANDE"}},
    {"NO", {u"NORWEGEN"}},
    {"PL", {u"POLEN"}},
    {"PT", {u"PORTUGAL"}},
    {"RO", {u"RUMÄNIEN"}},
    {"SE", {u"SCHWEDEN"}},
    {"SI", {u"SLOWENIEN"}},
    {"SK", {u"SLOWAKEI"}},
    {"SM", {u"SAN MARINO"}},
    {"VA", {u"VATIKANSTADT"}},
};

const char* const kOutsideEea[] = {"CH", "GB", "MC", "SM", "AD", "VA", "AL", "MD", "ME", "MK"};

// Code, names and sanitized names, each upper-cased, to the code.
const QHash<QString, QString>& countryByKey() {
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> keys;
        for (const Country& country : kCountries) {
            const QString code = QLatin1String(country.code);
            keys.insert(code, code);
            for (const char16_t* name : country.names) {
                if (!name)
                    continue;
                const QString text = QString::fromUtf16(name);
                keys.insert(text, code);
                keys.insert(ReplaceSpecialChars(text), code);
            }
        }
        return keys;
    }();
    return table;
}

bool isCapital(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

} // namespace

namespace SepaCountries {

QString countryOf(const QString& nation, const QString& iban) {
    const QString known = countryByKey().value(nation.trimmed().toUpper());
    if (!known.isEmpty())
        return known;
    const QString fromIban = BankIdentifiers::normalized(iban).left(2);
    if (fromIban.size() == 2 && isCapital(fromIban[0]) && isCapital(fromIban[1]))
        return fromIban;
    return {};
}

bool outsideEea(const QString& iban) {
    if (iban.size() < 2)
        return false;
    // Two characters compared as they are: this runs for every booking.
    for (const char* code : kOutsideEea) {
        if (iban[0] == QLatin1Char(code[0]) && iban[1] == QLatin1Char(code[1]))
            return true;
    }
    return false;
}

} // namespace SepaCountries
