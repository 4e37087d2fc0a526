#pragma once

#include <QString>

// The system's reason for a failed file operation, for a German message: the
// reasons a full, read-only or forbidden disk gives in German, whatever the
// locale (Qt words some of them in English itself); any other as the system
// words it.
QString germanReason(const QString& systemText);
