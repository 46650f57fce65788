#pragma once

#include <QString>

#include <optional>

// Asks for the password of the archive's server, which the server wants and ~/.pgpass does not
// hold. Nothing when the user gives up. The password is never written anywhere.
std::optional<QString> askServerPassword(const QString &server);
