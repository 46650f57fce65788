#pragma once

#include <QByteArray>
#include <QString>

// What every connection the program makes through libcurl shares: the library initialised once
// for the process, and whom it trusts. TLS is always verified; nothing turns it off.

// Initialises libcurl once for the process, whichever thread asks first.
void initialiseCurl();

// The authorities a connection trusts besides the system's: a run's own file (`caFile`, empty
// for none) and the office's own certificates (PEM, from the archive). Applied to the libcurl
// handle `curl`: the system's bundle, the file and the office's in one list when the office has
// some, the file alone otherwise. False, with `error` set in Italian, when the file cannot be
// read.
bool applyTrust(void *curl, const QString &caFile, const QByteArray &officeCa, QString *error);
