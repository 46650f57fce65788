#pragma once

// A throwaway CardDAV/CalDAV server for the tests: Debian's radicale on loopback, with its own
// folder, one user with a password, and TLS when given a certificate.

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

class DavTestServer
{
public:
    // `certificate` and `key`: PEM files for https; none for http.
    explicit DavTestServer(const QString &certificate = {}, const QString &key = {})
    {
        m_port = freePort();
        const QString d = m_dir.path() + u'/';
        write(d + QStringLiteral("utenti"), "ufficio:segreta'è\nsecondo:altra\n");
        QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n").arg(m_port);
        if (!certificate.isEmpty())
            config +=
                QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n").arg(certificate, key);
        config += QStringLiteral("[auth]\ntype = htpasswd\nhtpasswd_filename = %1utenti\n"
                                 "htpasswd_encryption = plain\ndelay = 0\n"
                                 "[storage]\nfilesystem_folder = %1raccolte\n"
                                 "[rights]\ntype = owner_only\n[logging]\nlevel = warning\n")
                      .arg(d);
        write(d + QStringLiteral("config"), config.toUtf8());
        m_scheme = certificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("radicale"),
                        {QStringLiteral("--config"), d + QStringLiteral("config")});
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_port));
            if (probe.waitForConnected(200))
                return;
            if (m_process.state() == QProcess::NotRunning)
                break;
            QTest::qWait(100);
        }
        qWarning("radicale did not start: %s", m_process.readAll().constData());
    }
    ~DavTestServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    DavTestServer(const DavTestServer &) = delete;
    DavTestServer &operator=(const DavTestServer &) = delete;

    int port() const { return m_port; }
    QString url(const QString &path = QStringLiteral("/")) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme).arg(m_port).arg(path);
    }
    // Where the server keeps the user's collections.
    QString folder() const { return m_dir.path() + QStringLiteral("/raccolte"); }

private:
    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_scheme;
};
