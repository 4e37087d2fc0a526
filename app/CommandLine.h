#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Mode { Window, MakeDemoDb, Export, CheckDb, Help, Version };
    Mode mode = Mode::Window;

    QString argument;   // the host program's argument: connection string "|" host INI path
    QString programDir; // --program-dir, empty for the folder of the program file

    QString demoFile; // --make-demo-db FILE
    int invoices = 300;

    QString exportKey; // --export KEY
    QDate from;
    QDate to;
    bool dueDate = false;
    bool sortByCustomer = false;
    bool yes = false;

    // Reads argv without the program name. Returns false and a German message
    // for anything it does not understand.
    static bool parse(const QStringList& args, CommandLine* out, QString* error);
    static QString usage();
};
