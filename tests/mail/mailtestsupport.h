#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// What Python's own e-mail parser reads in the messages of a spool folder (NNN.eml beside
// NNN.json with the envelope) and the server's events.log: {"messages": [...], "events": [...]}.
inline QJsonObject readSpool(const QString &spool)
{
    QProcess python;
    // Debian's Python modules load only under Debian's own interpreter.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CALVETRA_TEST_DATA "/mail/readmail.py"), spool});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("readmail.py: %s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// A loopback SMTP server (tests/mail/smtpserver.py on python3-aiosmtpd) for as long as it lives.
class SmtpTestServer
{
public:
    // `arguments`: those of smtpserver.py besides the spool folder.
    explicit SmtpTestServer(const QStringList &arguments)
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral(CALVETRA_TEST_DATA "/mail/smtpserver.py"),
                                    QStringLiteral("--spool"), m_spool.path()} +
                            arguments);
        if (!m_process.waitForStarted(10000))
            return;
        while (m_port == 0 && m_process.state() == QProcess::Running) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(10000))
                break;
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("PORT "))
                m_port = line.mid(5).toInt();
        }
        if (m_port == 0)
            qWarning("smtpserver.py: %s", m_process.readAllStandardError().constData());
    }
    ~SmtpTestServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    SmtpTestServer(const SmtpTestServer &) = delete;
    SmtpTestServer &operator=(const SmtpTestServer &) = delete;

    int port() const { return m_port; }
    QString spool() const { return m_spool.path(); }
    QJsonObject received() const { return readSpool(m_spool.path()); }
    QJsonArray messages() const { return received().value(u"messages").toArray(); }
    QStringList events() const
    {
        QStringList list;
        for (const QJsonValue &v : received().value(u"events").toArray())
            list << v.toString();
        return list;
    }

private:
    QTemporaryDir m_spool;
    QProcess m_process;
    int m_port = 0;
};

// The certificates of the TLS tests, made with the openssl command: a test authority, a
// certificate it signed for 127.0.0.1, a self-signed one for 127.0.0.1, and one the authority
// signed for another host name.
class TestCertificates
{
public:
    TestCertificates()
    {
        const QString d = m_dir.path() + u'/';
        m_ok = run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-keyout",
                    d + "ca.key", "-out", d + "ca.pem", "-subj", "/CN=Autorita di prova"}) &&
               issue(QStringLiteral("good"), QStringLiteral("IP:127.0.0.1")) &&
               issue(QStringLiteral("wronghost"), QStringLiteral("DNS:altro.esempio.it")) &&
               run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-keyout",
                    d + "self.key", "-out", d + "self.pem", "-subj", "/CN=127.0.0.1", "-addext",
                    "subjectAltName=IP:127.0.0.1"});
    }
    bool ok() const { return m_ok; }
    QString ca() const { return file(QStringLiteral("ca.pem")); }
    // The server's arguments for a certificate: "good", "wronghost" or "self".
    QStringList serve(const QString &name) const
    {
        return {QStringLiteral("--cert"), file(name + QStringLiteral(".pem")),
                QStringLiteral("--key"), file(name + QStringLiteral(".key"))};
    }

private:
    QString file(const QString &name) const { return m_dir.path() + u'/' + name; }
    bool run(const QStringList &args)
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"), args);
        return openssl.waitForFinished(60000) && openssl.exitCode() == 0;
    }
    bool issue(const QString &name, const QString &altName)
    {
        const QString d = m_dir.path() + u'/';
        QFile ext(d + name + QStringLiteral(".ext"));
        if (!ext.open(QIODevice::WriteOnly) ||
            ext.write("subjectAltName=" + altName.toLatin1() + '\n') < 0)
            return false;
        ext.close();
        return run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout",
                    d + name + QStringLiteral(".key"), "-out", d + name + QStringLiteral(".csr"),
                    "-subj", "/CN=" + name}) &&
               run({"x509", "-req", "-in", d + name + QStringLiteral(".csr"), "-CA", d + "ca.pem",
                    "-CAkey", d + "ca.key", "-CAcreateserial", "-days", "2", "-out",
                    d + name + QStringLiteral(".pem"), "-extfile",
                    d + name + QStringLiteral(".ext")});
    }

    QTemporaryDir m_dir;
    bool m_ok = false;
};
