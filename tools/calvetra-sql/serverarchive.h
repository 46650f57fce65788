#pragma once

#include <QString>

// calvetra-sql's work on an archive held by a database server.

// Creates the archive (schema and reference data) in an empty database. Exit code.
int initServerArchive(const QString &location);

// Copies an archive file into an empty database, all or nothing. Exit code.
int copyArchiveToServer(const QString &archive, const QString &location);
