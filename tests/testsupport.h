#pragma once

#include "db/connection.h"

#include <QTemporaryDir>

#include <memory>

// A new archive, with schema and reference data, in a folder of its own that disappears
// with it.
class FreshArchive
{
public:
    FreshArchive();

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    db::Connection &connection() { return *m_connection; }

    // Runs a program statement that must succeed (QVERIFY-style failure otherwise).
    db::RowSet run(const QString &sql);

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<db::Connection> m_connection;
};
