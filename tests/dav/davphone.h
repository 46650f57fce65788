#pragma once

// A phone for the tests: Debian's vdirsyncer keeping a folder of .vcf and .ics files in step with
// the office's address book and calendar on the test server, as a phone's own client would. The
// tests change the files (add, change, delete) and sync them.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class DavPhone
{
public:
    // `addressBook` and `calendar`: the collections' addresses.
    DavPhone(const QString &addressBook, const QString &calendar, const QString &user,
             const QString &password)
    {
        const QString d = m_dir.path() + u'/';
        QDir().mkpath(d + QStringLiteral("contatti"));
        QDir().mkpath(d + QStringLiteral("agenda"));
        QString config = QStringLiteral("[general]\nstatus_path = \"%1stato/\"\n").arg(d);
        const auto pair = [&](const QString &name, const QString &type, const QString &url,
                              const QString &extension) {
            config += QStringLiteral("[pair %1]\na = \"telefono_%1\"\nb = \"server_%1\"\n"
                                     "collections = null\nconflict_resolution = \"a wins\"\n"
                                     "[storage telefono_%1]\ntype = \"filesystem\"\n"
                                     "path = \"%2%1/\"\nfileext = \"%3\"\n"
                                     "[storage server_%1]\ntype = \"%4\"\nurl = \"%5\"\n"
                                     "username = \"%6\"\npassword = \"%7\"\n")
                          .arg(name, d, extension, type, url, user, password);
        };
        pair(QStringLiteral("contatti"), QStringLiteral("carddav"), addressBook,
             QStringLiteral(".vcf"));
        pair(QStringLiteral("agenda"), QStringLiteral("caldav"), calendar, QStringLiteral(".ics"));
        QFile file(d + QStringLiteral("config"));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0)
            qFatal("cannot write the phone's configuration");
        file.close();
        run({QStringLiteral("discover")}, "y\ny\ny\ny\n");
    }

    // Both ways, as the phone's client does; false (and a warning) when it fails or takes
    // longer than the time set.
    bool sync() { return run({QStringLiteral("sync")}); }
    void setTimeout(int seconds) { m_timeoutMs = seconds * 1000; }

    QString folder(const QString &kind) const { return m_dir.path() + u'/' + kind; }
    // The files of "contatti" or "agenda", by name.
    QStringList files(const QString &kind) const
    {
        return QDir(folder(kind)).entryList(QDir::Files, QDir::Name);
    }
    QByteArray read(const QString &kind, const QString &name) const
    {
        QFile file(folder(kind) + u'/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString &kind, const QString &name, const QByteArray &text) const
    {
        QFile file(folder(kind) + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write a phone's file");
    }
    bool remove(const QString &kind, const QString &name) const
    {
        return QFile::remove(folder(kind) + u'/' + name);
    }
    // The one file of `kind` whose text holds `marker`; empty when none or several do.
    QString find(const QString &kind, const QByteArray &marker) const
    {
        QString found;
        for (const QString &name : files(kind)) {
            if (read(kind, name).contains(marker)) {
                if (!found.isEmpty())
                    return {};
                found = name;
            }
        }
        return found;
    }

private:
    bool run(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("vdirsyncer"),
                      QStringList{QStringLiteral("-c"), m_dir.path() + QStringLiteral("/config")} +
                          arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(m_timeoutMs) || process.exitCode() != 0) {
            qWarning("vdirsyncer %s: %s", qPrintable(arguments.join(u' ')),
                     process.readAll().constData());
            return false;
        }
        return true;
    }

    QTemporaryDir m_dir;
    int m_timeoutMs = 60000;
};
