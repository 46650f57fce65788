#include "dav/discovery.h"

#include "dav/multistatus.h"

#include <QXmlStreamWriter>

namespace dav {

namespace {

QString prefixOf(const char *ns)
{
    if (qstrcmp(ns, kCardNs) == 0)
        return QStringLiteral("card");
    if (qstrcmp(ns, kCalNs) == 0)
        return QStringLiteral("cal");
    return QStringLiteral("d");
}

QByteArray propfindBody(const QList<std::pair<const char *, const char *>> &properties)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(QString::fromLatin1(kDavNs), QStringLiteral("d"));
    xml.writeNamespace(QString::fromLatin1(kCardNs), QStringLiteral("card"));
    xml.writeNamespace(QString::fromLatin1(kCalNs), QStringLiteral("cal"));
    xml.writeStartElement(QString::fromLatin1(kDavNs), QStringLiteral("propfind"));
    xml.writeStartElement(QString::fromLatin1(kDavNs), QStringLiteral("prop"));
    for (const auto &[ns, name] : properties)
        xml.writeEmptyElement(QString::fromLatin1(ns), QString::fromLatin1(name));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

} // namespace

QUrl serverUrl(const QString &typed)
{
    QString text = typed.trimmed();
    // An address typed without its scheme is a secure one.
    if (!text.isEmpty() && !text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("https://"));
    return QUrl(text, QUrl::StrictMode);
}

QString describeCollections(const Collections &c)
{
    const auto one = [](const QUrl &url, const QString &what, const QString &missing) {
        return url.isEmpty()
                   ? QStringLiteral("%1: %2").arg(what, missing)
                   : QStringLiteral("%1: %2").arg(what, url.toString(QUrl::RemoveUserInfo));
    };
    return one(c.addressBook, QStringLiteral("Rubrica"),
               QStringLiteral("non c'è ancora, sarà creata alla prima sincronizzazione (%1).")
                   .arg(QString::fromUtf8(kAddressBookName))) +
           u'\n' +
           one(c.calendar, QStringLiteral("Calendario"),
               QStringLiteral("non c'è ancora, sarà creato alla prima sincronizzazione (%1).")
                   .arg(QString::fromUtf8(kCalendarName)));
}

namespace {

bool hasChild(const DavItem &item, const char *ns, const char *name, const char *childNs,
              const char *child)
{
    const DavProperty *p = item.property(ns, name);
    return p && p->children.contains(qualifiedName(childNs, child));
}

bool isAddressBook(const DavItem &item)
{
    return hasChild(item, kDavNs, "resourcetype", kCardNs, "addressbook");
}

// A calendar that takes events: one that says nothing of its components takes them all.
bool isEventCalendar(const DavItem &item)
{
    if (!hasChild(item, kDavNs, "resourcetype", kCalNs, "calendar"))
        return false;
    const DavProperty *components = item.property(kCalNs, "supported-calendar-component-set");
    return !components || components->children.isEmpty() ||
           components->children.contains(qualifiedName(kCalNs, "comp")) ||
           components->text.contains(QStringLiteral("VEVENT"));
}

QUrl resolved(const QUrl &base, const QString &href)
{
    QUrl url = base.resolved(QUrl(href));
    url.setUserInfo(QString());
    return url;
}

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

db::Status unexpected(const DavResponse &response, const QUrl &url)
{
    return db::Error{QStringLiteral("Il server ha risposto %1 a %2: una risposta che il "
                                    "programma non si aspetta.")
                         .arg(response.status)
                         .arg(url.toString(QUrl::RemoveUserInfo))};
}

// The user's principal: from the address, else from the well-known addresses.
db::Result<QUrl> principalOf(DavClient &client, const QUrl &server)
{
    QList<QUrl> tries{server};
    for (const char *path : {"/.well-known/carddav", "/.well-known/caldav"}) {
        QUrl known = server;
        known.setPath(QString::fromLatin1(path));
        tries << known;
    }
    db::Status last;
    for (const QUrl &url : std::as_const(tries)) {
        db::Result<Multistatus> found =
            propfind(client, url, 0, {{kDavNs, "current-user-principal"}});
        if (!found) {
            if (client.failure() != DavFailure::None)
                return found.error(); // no server, no password: the well-known ones will not do
            last = found.error();
            continue;
        }
        for (const DavItem &item : std::as_const(found->items)) {
            const DavProperty *p = item.property(kDavNs, "current-user-principal");
            if (p && !p->hrefs.isEmpty())
                return resolved(url, p->hrefs.first());
        }
    }
    return db::Error{QStringLiteral("Il server %1 non dice dove sono la rubrica e il calendario "
                                    "dell'utente%2")
                         .arg(server.host(), last.ok() ? QStringLiteral(".")
                                                       : QStringLiteral(": ") + last.message())};
}

db::Result<QUrl> makeCollection(DavClient &client, const QUrl &home, bool calendar)
{
    const QUrl url = resolved(asFolder(home), calendar ? QStringLiteral("calvetra-agenda/")
                                                       : QStringLiteral("calvetra-contatti/"));
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(QString::fromLatin1(kDavNs), QStringLiteral("d"));
    xml.writeNamespace(QString::fromLatin1(calendar ? kCalNs : kCardNs),
                       prefixOf(calendar ? kCalNs : kCardNs));
    xml.writeStartElement(calendar ? QString::fromLatin1(kCalNs) : QString::fromLatin1(kDavNs),
                          calendar ? QStringLiteral("mkcalendar") : QStringLiteral("mkcol"));
    xml.writeStartElement(QString::fromLatin1(kDavNs), QStringLiteral("set"));
    xml.writeStartElement(QString::fromLatin1(kDavNs), QStringLiteral("prop"));
    if (!calendar) {
        xml.writeStartElement(QString::fromLatin1(kDavNs), QStringLiteral("resourcetype"));
        xml.writeEmptyElement(QString::fromLatin1(kDavNs), QStringLiteral("collection"));
        xml.writeEmptyElement(QString::fromLatin1(kCardNs), QStringLiteral("addressbook"));
        xml.writeEndElement();
    }
    xml.writeTextElement(QString::fromLatin1(kDavNs), QStringLiteral("displayname"),
                         QString::fromUtf8(calendar ? kCalendarName : kAddressBookName));
    if (calendar) {
        xml.writeStartElement(QString::fromLatin1(kCalNs),
                              QStringLiteral("supported-calendar-component-set"));
        xml.writeEmptyElement(QString::fromLatin1(kCalNs), QStringLiteral("comp"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    db::Result<DavResponse> made =
        client.send({calendar ? QByteArray("MKCALENDAR") : QByteArray("MKCOL"), url, {}, body});
    if (!made)
        return made.error();
    if (made->status != 201)
        return db::Error{QStringLiteral("Il server non ha creato %1 (risposta %2).")
                             .arg(QString::fromUtf8(calendar ? kCalendarName : kAddressBookName))
                             .arg(made->status)};
    return url;
}

} // namespace

db::Result<DavResponse> sendFollowing(DavClient &client, DavRequest request)
{
    for (int hop = 0; hop <= 5; ++hop) {
        db::Result<DavResponse> answer = client.send(request);
        if (!answer)
            return answer;
        const int status = answer->status;
        if ((status == 301 || status == 302 || status == 307 || status == 308) &&
            !answer->location.isEmpty()) {
            request.url = resolved(request.url, QString::fromUtf8(answer->location));
            continue;
        }
        return answer;
    }
    return db::Error{QStringLiteral("Il server rimanda da un indirizzo all'altro senza fine.")};
}

db::Result<Multistatus> propfind(DavClient &client, const QUrl &url, int depth,
                                 const QList<std::pair<const char *, const char *>> &properties)
{
    db::Result<DavResponse> answer = sendFollowing(
        client,
        {"PROPFIND", url, {{"Depth", QByteArray::number(depth)}}, propfindBody(properties)});
    if (!answer)
        return answer.error();
    if (answer->status != 207)
        return unexpected(*answer, url).error();
    return readMultistatus(answer->body);
}

db::Result<Collections> discoverCollections(DavClient &client, const QUrl &server, bool create)
{
    Collections c;
    // The address may be a collection itself.
    db::Result<Multistatus> self =
        propfind(client, server, 0,
                 {{kDavNs, "resourcetype"}, {kCalNs, "supported-calendar-component-set"}});
    if (!self && client.failure() != DavFailure::None)
        return self.error();
    if (self) {
        for (const DavItem &item : std::as_const(self->items)) {
            if (isAddressBook(item))
                c.addressBook = asFolder(server);
            else if (isEventCalendar(item))
                c.calendar = asFolder(server);
        }
    }
    if (!c.addressBook.isEmpty() && !c.calendar.isEmpty())
        return c;
    db::Result<QUrl> principal = principalOf(client, server);
    if (!principal)
        return principal.error();
    db::Result<Multistatus> homes = propfind(
        client, *principal, 0, {{kCardNs, "addressbook-home-set"}, {kCalNs, "calendar-home-set"}});
    if (!homes)
        return homes.error();
    QUrl cardHome;
    QUrl calHome;
    for (const DavItem &item : std::as_const(homes->items)) {
        if (const DavProperty *p = item.property(kCardNs, "addressbook-home-set");
            p && !p->hrefs.isEmpty())
            cardHome = resolved(*principal, p->hrefs.first());
        if (const DavProperty *p = item.property(kCalNs, "calendar-home-set");
            p && !p->hrefs.isEmpty())
            calHome = resolved(*principal, p->hrefs.first());
    }
    const auto pick = [&](const QUrl &home, bool calendar, QUrl *chosen) -> db::Status {
        if (!chosen->isEmpty())
            return {};
        if (home.isEmpty())
            return db::Error{calendar ? QStringLiteral("Il server non offre calendari all'utente.")
                                      : QStringLiteral("Il server non offre rubriche all'utente.")};
        db::Result<Multistatus> members = propfind(client, home, 1,
                                                   {{kDavNs, "resourcetype"},
                                                    {kDavNs, "displayname"},
                                                    {kCalNs, "supported-calendar-component-set"}});
        if (!members)
            return members.error();
        const QString ours = QString::fromUtf8(calendar ? kCalendarName : kAddressBookName);
        for (const DavItem &item : std::as_const(members->items)) {
            if (!(calendar ? isEventCalendar(item) : isAddressBook(item)))
                continue;
            const DavProperty *name = item.property(kDavNs, "displayname");
            // The program's own collection first, else the user's first one.
            if (chosen->isEmpty() || (name && name->text == ours))
                *chosen = asFolder(resolved(home, item.href));
        }
        if (!chosen->isEmpty())
            return {};
        if (!create)
            return {};
        db::Result<QUrl> made = makeCollection(client, home, calendar);
        if (!made)
            return made.error();
        *chosen = *made;
        c.created << ours;
        return {};
    };
    if (db::Status book = pick(cardHome, false, &c.addressBook); !book)
        return book.error();
    if (db::Status calendar = pick(calHome, true, &c.calendar); !calendar)
        return calendar.error();
    return c;
}

} // namespace dav
