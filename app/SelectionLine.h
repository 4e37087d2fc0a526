#pragma once

#include <QString>

// The line under a list that counts what is selected in it.
namespace SelectionLine {

// "3 von 300 ausgewählt, 1.234,56 EUR"; empty for an empty list.
QString text(qint64 selected, qint64 listed, qint64 sumCents);

} // namespace SelectionLine
