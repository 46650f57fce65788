#include "mail/mailaddress.h"

#include <QUrl>

namespace mail {

namespace {

db::Error invalid(const QString &typed)
{
    return db::Error{
        QStringLiteral("\"%1\" non è un indirizzo email valido.").arg(typed.trimmed())};
}

bool isAtext(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return true;
    return QStringView(u"!#$%&'*+/=?^_`{|}~-").contains(QChar(c));
}

bool validLocalPart(QStringView local)
{
    if (local.isEmpty() || local.size() > 64 || local.startsWith(u'.') || local.endsWith(u'.') ||
        local.contains(u".."))
        return false;
    for (QChar c : local) {
        if (c != u'.' && !isAtext(c.unicode()))
            return false;
    }
    return true;
}

// The domain in its ASCII form, or empty when it is not a host name with at least one dot.
QString asciiDomain(QStringView domain)
{
    const QString ace =
        QString::fromLatin1(QUrl::toAce(domain.toString(), QUrl::AceTransitionalProcessing));
    if (ace.isEmpty() || ace.size() > 253 || !ace.contains(u'.'))
        return {};
    for (QStringView label : QStringView(ace).split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return {};
        for (QChar c : label) {
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-')
                return {};
        }
    }
    return ace;
}

QString unquoted(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        QString plain;
        for (qsizetype i = 1; i + 1 < name.size(); ++i) {
            if (name[i] == u'\\' && i + 2 < name.size())
                ++i;
            plain += name[i];
        }
        return plain;
    }
    return name;
}

} // namespace

db::Result<MailAddress> parseAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    MailAddress result;
    QString address = text;
    const qsizetype open = text.lastIndexOf(u'<');
    if (open >= 0) {
        if (!text.endsWith(u'>'))
            return invalid(typed);
        address = text.mid(open + 1, text.size() - open - 2).trimmed();
        result.name = unquoted(text.left(open));
    }
    for (QChar c : result.name) {
        if (c.category() == QChar::Other_Control)
            return invalid(typed);
    }
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || !validLocalPart(QStringView(address).left(at)))
        return invalid(typed);
    const QString domain = asciiDomain(QStringView(address).mid(at + 1));
    if (domain.isEmpty())
        return invalid(typed);
    result.address = address.left(at + 1) + domain;
    return result;
}

db::Result<QList<MailAddress>> parseAddressList(const QString &line)
{
    QList<MailAddress> addresses;
    QString piece;
    bool quoted = false;
    bool angle = false;
    const auto flush = [&]() -> db::Status {
        if (piece.trimmed().isEmpty())
            return {};
        db::Result<MailAddress> one = parseAddress(piece);
        if (!one)
            return one.error();
        addresses << *one;
        return {};
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'\\' && i + 1 < line.size()) {
            piece += c;
            piece += line[++i];
            continue;
        }
        if (c == u'"' && !angle)
            quoted = !quoted;
        else if (c == u'<' && !quoted)
            angle = true;
        else if (c == u'>' && !quoted)
            angle = false;
        if ((c == u',' || c == u';') && !quoted && !angle) {
            if (db::Status s = flush(); !s)
                return s.error();
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (db::Status s = flush(); !s)
        return s.error();
    return addresses;
}

db::Result<QList<MailAddress>> parseAddressLines(const QStringList &lines)
{
    QList<MailAddress> all;
    for (const QString &line : lines) {
        db::Result<QList<MailAddress>> some = parseAddressList(line);
        if (!some)
            return some.error();
        all += *some;
    }
    return all;
}

} // namespace mail
