#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running copy per program folder. The first copy listens on a local
// socket named after its folder; a later copy asks it to come to the front
// and ends. Copies from different folders (tests, parallel installations)
// do not see each other.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programDir, QObject* parent = nullptr);

    // True when another copy of this folder answered; it has been asked to raise
    // its window. Otherwise this copy now listens for later ones.
    bool anotherIsRunning();

    // The local socket name of a program folder.
    static QString serverName(const QString& programDir);

signals:
    void raiseRequested();

private:
    QString m_name;
    QLocalServer m_server;
};
