#pragma once

#include "dav/davclient.h"
#include "db/core/result.h"

#include <QStringList>
#include <QUrl>

namespace dav {

// The office's collections on the server.
struct Collections
{
    QUrl addressBook;
    QUrl calendar;
    QStringList created; // the display names of those made because the user had none
};

inline constexpr char kAddressBookName[] = "Calvetra – Contatti";
inline constexpr char kCalendarName[] = "Calvetra – Agenda";

// Finds the address book and the calendar as phones do: an address that is itself such a
// collection is used as it is; otherwise the user's principal, from the address or from the
// well-known addresses (RFC 6764), names the homes (RFC 6352 §7, RFC 4791 §6), whose
// collections are listed. A home without one gets one ("Calvetra – Contatti", "Calvetra –
// Agenda") when `create`; otherwise that address stays empty.
db::Result<Collections> discoverCollections(DavClient &client, const QUrl &server, bool create);

// The server's address as typed: one without "http://" or "https://" is taken as https.
QUrl serverUrl(const QString &typed);

// What was found, in Italian, one line per collection ("Rubrica: https://…").
QString describeCollections(const Collections &collections);

// A request that follows the server's redirects (at most five), keeping its method and body.
db::Result<DavResponse> sendFollowing(DavClient &client, DavRequest request);

// A PROPFIND of `properties` (namespace, name) at `depth`, read as a multistatus; any status
// but 207 is an Italian message.
db::Result<struct Multistatus>
propfind(DavClient &client, const QUrl &url, int depth,
         const QList<std::pair<const char *, const char *>> &properties);

} // namespace dav
