#pragma once

#include "db/core/result.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mail {

// One address as the message and the envelope carry it.
struct MailAddress
{
    QString name;    // the display name, possibly empty
    QString address; // local@domain, the domain in its ASCII (IDNA) form

    bool operator==(const MailAddress &) const = default;
};

// One address typed by a user: "a@b" or "Nome <a@b>", blanks around it ignored. An apostrophe
// is a letter of an address like any other. Anything else gets an Italian message naming it.
db::Result<MailAddress> parseAddress(const QString &typed);

// A line that may hold several addresses separated by "," or ";" (not inside a quoted name or
// between angle brackets); empty pieces are skipped.
db::Result<QList<MailAddress>> parseAddressList(const QString &line);

// Every address of every line, in order; empty lines are skipped.
db::Result<QList<MailAddress>> parseAddressLines(const QStringList &lines);

} // namespace mail
