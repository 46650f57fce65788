#pragma once

#include "db/core/connection.h"
#include "db/core/result.h"

#include <QString>

// The administrator password is kept as a key derived from it (PBKDF2 with HMAC-SHA-256, a
// random salt of 16 bytes, 600,000 rounds), never as its text:
//
//     pbkdf2-sha256$600000$<salt, base64>$<key, base64>
//
// Archives written before hold the text itself; such a value is still accepted and becomes a
// key the next time the options are saved.

// The stored form of `password`; an error only when no random salt can be had.
db::Result<QString> derivePasswordKey(const QString &password);

// Whether `typed` is the password `stored` stands for: the key derived again with the stored
// salt and rounds, or, for a value from before, the exact text.
bool passwordMatches(const QString &stored, const QString &typed);

// True for a stored value that is the password's text rather than a key (empty is neither).
bool isClearPassword(const QString &stored);

// Whether the archive asks for an administrator password at start.
db::Result<bool> hasAdministratorPassword(db::Connection &archive);

// Takes the administrator password away, for an office locked out of its archive: the program
// asks for none at the next start, and a new one is set in the options.
db::Status removeAdministratorPassword(db::Connection &archive);
