#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryFile>

// What a vCard reader nobody here wrote (Debian's python3-vobject) understands of `file`: one
// JSON object per card, property names in lower case. Empty, with `error` set, when the file
// breaks a rule the check knows or the library does not read it.
inline QJsonArray vobjectCards(const QByteArray &file, QString *error)
{
    QTemporaryFile written;
    if (!written.open() || written.write(file) != file.size() || !written.flush()) {
        *error = QStringLiteral("cannot write the file to check");
        return {};
    }
    QProcess python;
    // Debian's Python modules load only under Debian's own interpreter.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CALVETRA_TEST_DATA "/vcard/vobjectcheck.py"), written.fileName()});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        *error = QString::fromUtf8(python.readAllStandardError());
        if (error->isEmpty())
            *error = QStringLiteral("python3 did not run");
        return {};
    }
    error->clear();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}
