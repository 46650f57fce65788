#include "dav/multistatus.h"

#include <QXmlStreamReader>

namespace dav {

namespace {

QString nameOf(const QXmlStreamReader &xml)
{
    return u'{' + xml.namespaceUri().toString() + u'}' + xml.name().toString();
}

// "HTTP/1.1 404 Not Found" -> 404.
int statusOf(const QString &line)
{
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// Reads the element the reader is at into `property`, up to its end.
void readProperty(QXmlStreamReader &xml, DavProperty &property)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 2)
                property.children << nameOf(xml);
            if (xml.namespaceUri() == QLatin1String(kDavNs) && xml.name() == u"href") {
                property.hrefs
                    << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::Characters && depth == 1) {
            property.text += xml.text();
        }
    }
    property.text = property.text.trimmed();
}

} // namespace

QString qualifiedName(const char *ns, const char *name)
{
    return u'{' + QString::fromLatin1(ns) + u'}' + QString::fromLatin1(name);
}

const DavProperty *DavItem::property(const char *ns, const char *name) const
{
    const auto found = properties.constFind(qualifiedName(ns, name));
    return found == properties.cend() ? nullptr : &*found;
}

db::Result<Multistatus> readMultistatus(const QByteArray &body)
{
    QXmlStreamReader xml(body);
    Multistatus result;
    bool root = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = nameOf(xml);
        if (!root) {
            if (name != qualifiedName(kDavNs, "multistatus"))
                return db::Error{QStringLiteral("Il server ha risposto con un documento che non "
                                                "è una risposta WebDAV (%1).")
                                     .arg(name)};
            root = true;
        } else if (name == qualifiedName(kDavNs, "sync-token")) {
            result.syncToken = xml.readElementText().trimmed();
        } else if (name == qualifiedName(kDavNs, "response")) {
            DavItem item;
            QHash<QString, DavProperty> found;
            while (!(xml.readNext() == QXmlStreamReader::EndElement &&
                     nameOf(xml) == qualifiedName(kDavNs, "response")) &&
                   !xml.atEnd()) {
                if (!xml.isStartElement())
                    continue;
                const QString inner = nameOf(xml);
                if (inner == qualifiedName(kDavNs, "href")) {
                    item.href = xml.readElementText().trimmed();
                } else if (inner == qualifiedName(kDavNs, "status")) {
                    item.status = statusOf(xml.readElementText());
                } else if (inner == qualifiedName(kDavNs, "propstat")) {
                    QHash<QString, DavProperty> properties;
                    int status = 200;
                    while (!(xml.readNext() == QXmlStreamReader::EndElement &&
                             nameOf(xml) == qualifiedName(kDavNs, "propstat")) &&
                           !xml.atEnd()) {
                        if (!xml.isStartElement())
                            continue;
                        const QString what = nameOf(xml);
                        if (what == qualifiedName(kDavNs, "status")) {
                            status = statusOf(xml.readElementText());
                        } else if (what != qualifiedName(kDavNs, "prop")) {
                            DavProperty property;
                            readProperty(xml, property);
                            properties.insert(what, property);
                        }
                    }
                    if (status / 100 == 2)
                        found.insert(properties);
                }
            }
            item.properties = found;
            if (xml.hasError())
                break;
            if (item.href.isEmpty())
                return db::Error{QStringLiteral("Il server ha risposto con un elemento senza "
                                                "indirizzo.")};
            result.items.append(item);
        }
    }
    if (xml.hasError())
        return db::Error{
            QStringLiteral("Il server ha risposto con un XML non valido: %1 (riga %2).")
                .arg(xml.errorString())
                .arg(xml.lineNumber())};
    if (!root)
        return db::Error{QStringLiteral("Il server ha risposto senza un documento WebDAV.")};
    return result;
}

} // namespace dav
