#pragma once

#include "db/core/result.h"

#include <QByteArray>

namespace db {
class Connection;
}

// The office's own certificate authority: certificates (PEM) that every connection the program
// makes trusts beside the system's, for a mail server whose certificate the office signed
// itself. Kept in the archive, so every workstation trusts them without a file of its own.

// The certificates stored; empty when there are none.
db::Result<QByteArray> readOfficeCa(db::Connection &connection);
// Stores `pem` (already checked with officeCaCertificates()); empty takes them away.
db::Status writeOfficeCa(db::Connection &connection, const QByteArray &pem);

// How many certificates `pem` holds, or why it is not a file of certificates: no block, a
// block cut short or not in base64, a private key among them.
db::Result<int> officeCaCertificates(const QByteArray &pem);
