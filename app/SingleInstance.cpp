#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

QString SingleInstance::serverName(const QString& programDir) {
    const QByteArray folder =
        QDir(programDir).canonicalPath().toUtf8() + '|' + qgetenv("USER") + qgetenv("USERNAME");
    return QStringLiteral("brv32-sepa-") +
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::SingleInstance(const QString& programDir, QObject* parent)
    : QObject(parent), m_name(serverName(programDir)) {
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit raiseRequested();
        }
    });
}

bool SingleInstance::anotherIsRunning() {
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(500)) {
        probe.write("raise");
        probe.waitForBytesWritten(500);
        probe.disconnectFromServer();
        return true;
    }
    // Nobody answered: a socket file left by a crashed copy must not block us.
    QLocalServer::removeServer(m_name);
    if (!m_server.listen(m_name))
        qWarning("Zweiter Programmstart kann nicht erkannt werden: %s", qPrintable(m_server.errorString()));
    return false;
}
