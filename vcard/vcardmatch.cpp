#include "vcard/vcardmatch.h"

namespace vcard {

namespace {

QString folded(const QString &text)
{
    return text.trimmed().toCaseFolded();
}

} // namespace

db::Result<ContactIndex> ContactIndex::load(db::Connection &connection)
{
    const db::Result<db::RowSet> rows = connection.runNative(
        QStringLiteral("SELECT ID, RagioneSociale, Cognome, Nome FROM Contatti ORDER BY ID"));
    if (!rows)
        return rows.error();
    ContactIndex index;
    index.m_names.reserve(rows->rows.size());
    index.m_byPerson.reserve(rows->rows.size());
    for (const QVariantList &row : rows->rows)
        index.put(row[0].toLongLong(), row[1].toString(), row[2].toString(), row[3].toString());
    return index;
}

size_t ContactIndex::personKey(const Names &names)
{
    return qHashMulti(0, names.familyName, names.givenName);
}

void ContactIndex::remove(qint64 id)
{
    const auto found = m_names.constFind(id);
    if (found == m_names.cend())
        return;
    if (!found->organisation.isEmpty())
        m_byOrganisation[qHash(found->organisation)].removeOne(id);
    if (!found->familyName.isEmpty())
        m_byPerson[personKey(*found)].removeOne(id);
    m_names.erase(found);
}

void ContactIndex::put(qint64 id, const QString &organisation, const QString &familyName,
                       const QString &givenName)
{
    Names names{folded(organisation), folded(familyName), folded(givenName)};
    if (const auto known = m_names.constFind(id); known != m_names.cend()) {
        for (auto part : {&Names::organisation, &Names::familyName, &Names::givenName}) {
            if ((names.*part).isEmpty())
                names.*part = (*known).*part;
        }
        remove(id);
    }
    if (!names.organisation.isEmpty())
        m_byOrganisation[qHash(names.organisation)].append(id);
    if (!names.familyName.isEmpty())
        m_byPerson[personKey(names)].append(id);
    m_names.insert(id, names);
}

qint64 ContactIndex::ownKey(QStringView uid)
{
    constexpr QStringView prefix = u"calvetra";
    if (uid.size() <= prefix.size() || uid.size() > prefix.size() + 18 ||
        !uid.startsWith(prefix, Qt::CaseInsensitive))
        return 0;
    qint64 key = 0;
    for (QChar c : uid.mid(prefix.size())) {
        if (c < u'0' || c > u'9')
            return 0;
        key = key * 10 + (c.unicode() - u'0');
    }
    return key;
}

qint64 ContactIndex::match(const DatiVCard &card) const
{
    const Names wanted{folded(card[Organisation]), folded(card[FamilyName]),
                       folded(card[GivenName])};
    if (const qint64 key = ownKey(card[Uid]); key > 0) {
        const auto found = m_names.constFind(key);
        if (found != m_names.cend() &&
            ((!wanted.organisation.isEmpty() && found->organisation == wanted.organisation) ||
             (!wanted.familyName.isEmpty() && found->familyName == wanted.familyName)))
            return key;
    }
    if (!wanted.organisation.isEmpty()) {
        const QList<qint64> company = m_byOrganisation.value(qHash(wanted.organisation));
        qint64 first = 0;
        for (qint64 id : company) {
            const Names names = m_names.value(id);
            if (names.organisation != wanted.organisation)
                continue;
            if (!wanted.familyName.isEmpty()) {
                if (names.familyName == wanted.familyName && names.givenName == wanted.givenName)
                    return id;
            } else if (names.familyName.isEmpty()) {
                return id;
            } else if (first == 0) {
                first = id;
            }
        }
        return first;
    }
    if (wanted.familyName.isEmpty())
        return 0;
    qint64 first = 0;
    for (qint64 id : m_byPerson.value(personKey(wanted))) {
        const Names names = m_names.value(id);
        if (names.familyName != wanted.familyName || names.givenName != wanted.givenName)
            continue;
        if (names.organisation.isEmpty())
            return id;
        if (first == 0)
            first = id;
    }
    return first;
}

} // namespace vcard
