#pragma once

#include "db/core/result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace dav {

inline constexpr char kDavNs[] = "DAV:";
inline constexpr char kCardNs[] = "urn:ietf:params:xml:ns:carddav";
inline constexpr char kCalNs[] = "urn:ietf:params:xml:ns:caldav";

// A property as the program needs it: its text, the hrefs inside it, the names of the elements
// inside it ("{DAV:}collection"), each as "{namespace}name".
struct DavProperty
{
    QString text;
    QStringList hrefs;
    QStringList children;
};

// One <response> of a multistatus: its href, the status of the whole response (a deleted
// member in a sync report) and the properties found with status 200.
struct DavItem
{
    QString href;
    int status = 200;
    QHash<QString, DavProperty> properties; // by "{namespace}name"

    const DavProperty *property(const char *ns, const char *name) const;
};

struct Multistatus
{
    QList<DavItem> items;
    QString syncToken; // a sync-collection report's new token
};

// Reads a 207 Multi-Status body with Qt's XML reader; anything else is refused in Italian.
db::Result<Multistatus> readMultistatus(const QByteArray &xml);

// "{namespace}name".
QString qualifiedName(const char *ns, const char *name);

} // namespace dav
