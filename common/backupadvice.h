#pragma once

#include <QString>

// Copies of an archive kept on a PostgreSQL server are made with the server's own tools; these
// are the words and the command lines the program and calvetra-sql show for them.

// A PostgreSQL connection (a postgresql:// address or libpq's key=value words) rather than an
// archive file.
bool isPostgresConnection(const QString &location);

// The explanation with the line that writes the copy `copy` of `connection` (pg_dump), or with
// `restoring` the line that puts it back (pg_restore).
QString postgresBackupAdvice(const QString &connection, const QString &copy, bool restoring);
