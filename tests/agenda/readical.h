#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

// What Debian's python3-icalendar, a reader nobody here wrote, understands of a calendar file
// (see readical.py). An empty object, and a test failure, when it cannot read the file.
inline QJsonObject readWithIcalendar(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CALVETRA_TEST_DATA "/agenda/readical.py"), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        QTest::qFail(python.readAllStandardError().constData(), __FILE__, __LINE__);
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}
