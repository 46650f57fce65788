#pragma once

#include <QString>

// Copies of an archive kept on a PostgreSQL server are made with the server's own tools; these
// are the words and the command lines the program and calvetra-sql show for them.

// The explanation with the line that writes the copy `copy` of `connection` (pg_dump), or with
// `restoring` the line that puts it back (pg_restore).
QString postgresBackupAdvice(const QString &connection, const QString &copy, bool restoring);
