#pragma once

#include <QString>
#include <QVariantList>

// A statement text of the dialect and its values, in the order of its
// placeholders.
struct Statement {
    QString sql;
    QVariantList values;
};
