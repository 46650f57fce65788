#include "dav/contactside.h"

#include "contacts/vcardcompany.h"
#include "contacts/vcardlists.h"
#include "vcard/vcardreader.h"
#include "vcard/vcardvalues.h"
#include "vcard/vcardwriter.h"

#include <QSet>

namespace dav {

using namespace vcard;

namespace {

// The card in a resource; an empty card for none.
DatiVCard cardIn(const QByteArray &text)
{
    if (text.isEmpty())
        return {};
    QList<DatiVCard> cards = LeggiVCard(text);
    if (cards.isEmpty())
        return {};
    DatiVCard card = std::move(cards.first());
    // A phone may name a card only by its formatted name: the contact takes it as surname.
    if (card[FamilyName].trimmed().isEmpty() && card[Organisation].trimmed().isEmpty())
        card[FamilyName] = card.formattedName.trimmed();
    // The key as read: the program's own form is read whole into Uid.
    card[UidPrefix].clear();
    // A date in any of its written forms is the same date.
    if (const CardDate born = readCardDate(card[Birthday]); born.kind == CardDate::Kind::Date)
        card[Birthday] = slotDate(born.date);
    return card;
}

} // namespace

bool ContactSide::kept(Slot slot)
{
    switch (slot) {
    case FamilyName:
    case GivenName:
    case Organisation:
    case Title:
    case HomeTel1:
    case HomeFax:
    case WorkTel1:
    case HomeCell1:
    case WorkCell1:
    case HomeEmail1:
    case WorkEmail1:
    case HomeUrl:
    case HomeStreet:
    case WorkStreet:
    case HomePostalCode:
    case WorkPostalCode:
    case HomeLocality:
    case WorkLocality:
    case HomeNumber:
    case WorkNumber:
    case HomeRegion:
    case WorkRegion:
    case Label:
    case Note:
    case Role:
    case Birthday:
    case Categories:
        return true;
    default:
        return false;
    }
}

db::Status ContactSide::load(db::Connection &connection)
{
    db::Result<QList<ContactCard>> cards = readContactCards(connection);
    if (!cards)
        return cards.error();
    m_cards.clear();
    m_cards.reserve(cards->size());
    for (ContactCard &card : *cards)
        m_cards.insert(card.id, std::move(card));
    db::Result<ContactIndex> index = ContactIndex::load(connection);
    if (!index)
        return index.error();
    m_index = std::move(*index);
    db::Result<ImportLists> lists = ImportLists::load(connection);
    if (!lists)
        return lists.error();
    m_writer.emplace(connection, std::move(*lists), m_today, ContactCardWriter::Mode::Exact);
    return {};
}

QList<qint64> ContactSide::onPhones() const
{
    QList<qint64> ids;
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it) {
        if (!it->cancelled)
            ids.append(it.key());
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool ContactSide::isOnPhones(qint64 id) const
{
    const auto found = m_cards.constFind(id);
    return found != m_cards.cend() && !found->cancelled;
}

QString ContactSide::describe(qint64 id) const
{
    const auto found = m_cards.constFind(id);
    if (found == m_cards.cend())
        return QStringLiteral("contatto %1").arg(id);
    const QString name = found->card.formattedName.trimmed();
    return name.isEmpty() ? QStringLiteral("contatto %1").arg(id) : name;
}

QByteArray ContactSide::archiveView(qint64 id) const
{
    return ComponiVCard(m_cards.value(id).card);
}

// Field by field: the archive's value where the office changed it since the agreement, the
// agreed one elsewhere, so that what the archive cannot hold (a town it does not know, a
// birthday without its year) stays as the phone has it. The key is the server's.
DatiVCard ContactSide::officeCard(qint64 id, const QByteArray &agreedText,
                                  const QByteArray &viewText) const
{
    const DatiVCard agreed = cardIn(agreedText);
    const DatiVCard now = cardIn(archiveView(id));
    const DatiVCard was = cardIn(viewText);
    const bool known = !viewText.isEmpty();
    DatiVCard card = agreed;
    for (int s = 0; s < kSlots; ++s) {
        if (kept(Slot(s)) && (!known || now.slot[s].trimmed() != was.slot[s].trimmed()))
            card.slot[s] = now.slot[s];
    }
    if (card[Uid].isEmpty())
        card[Uid] = now[Uid];
    card[Revision] = now[Revision];
    card[UidPrefix].clear();
    return card;
}

QByteArray ContactSide::officeText(qint64 id, const QByteArray &agreed,
                                   const QByteArray &view) const
{
    if (!view.isEmpty() && !agreed.isEmpty() && same(archiveView(id), view))
        return agreed;
    return withLinesOf(ComponiVCard(officeCard(id, agreed, view)), agreed);
}

QByteArray ContactSide::withLinesOf(const QByteArray &composed, const QByteArray &from)
{
    static const QSet<QByteArray> written = {
        "BEGIN", "END",  "VERSION", "PRODID", "ADR", "BDAY", "CATEGORIES", "EMAIL",
        "FN",    "GEO",  "KEY",     "KIND",   "N",   "NOTE", "ORG",        "PHOTO",
        "REV",   "ROLE", "TEL",     "TITLE",  "UID", "URL",  "LABEL",      "X-CALVETRA-DESTMERCE"};
    const bool hasPhoto = composed.contains("\r\nPHOTO");
    QByteArray carried;
    bool keep = false;
    QByteArray text = from;
    text.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        if (line.startsWith(' ') || line.startsWith('\t')) {
            if (keep)
                carried += line + "\r\n";
            continue;
        }
        qsizetype end = 0;
        while (end < line.size() && line[end] != ':' && line[end] != ';')
            ++end;
        QByteArray name = line.left(end).toUpper();
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
            name = name.mid(dot + 1); // a group's prefix ("item1.")
        keep = !written.contains(name) || (name == "PHOTO" && !hasPhoto);
        if (keep)
            carried += line + "\r\n";
    }
    if (carried.isEmpty())
        return composed;
    QByteArray out = composed;
    const qsizetype at = out.lastIndexOf("END:VCARD");
    if (at < 0)
        return composed;
    out.insert(at, carried);
    return out;
}

bool ContactSide::same(const QByteArray &a, const QByteArray &b) const
{
    const DatiVCard x = cardIn(a);
    const DatiVCard y = cardIn(b);
    for (int s = 0; s < kSlots; ++s) {
        if (s != Revision && x.slot[s].trimmed() != y.slot[s].trimmed())
            return false;
    }
    return true;
}

bool ContactSide::readable(const QByteArray &text) const
{
    return !LeggiVCard(text).isEmpty();
}

QString ContactSide::resourceName(qint64 id) const
{
    return QStringLiteral("Calvetra%1.vcf").arg(id);
}

qint64 ContactSide::match(const QByteArray &server, const QSet<qint64> &linked) const
{
    if (!m_index)
        return 0;
    const qint64 id = m_index->match(cardIn(server));
    return id > 0 && isOnPhones(id) && !linked.contains(id) ? id : 0;
}

SyncSide::Outcome ContactSide::merge(const QByteArray &agreedText, qint64 id,
                                     const QByteArray &view, const QByteArray &serverText) const
{
    const DatiVCard agreed = cardIn(agreedText);
    const DatiVCard server = cardIn(serverText);
    const DatiVCard office = officeCard(id, agreedText, view);
    MergedCard merged = mergeCards(agreed, office, server);
    // The key the server knows the card by, whatever the archive calls it.
    if (!server[Uid].isEmpty())
        merged.card[Uid] = server[Uid];
    Outcome outcome;
    for (int s = 0; s < kSlots; ++s) {
        if (kept(Slot(s)) && merged.card.slot[s].trimmed() != office.slot[s].trimmed())
            outcome.archiveChanges = true;
    }
    outcome.text = withLinesOf(ComponiVCard(merged.card), serverText);
    outcome.conflicts = merged.conflicts;
    return outcome;
}

QStringList ContactSide::unstored(qint64 id, const QByteArray &text) const
{
    const DatiVCard wanted = cardIn(text);
    const DatiVCard held = cardIn(archiveView(id));
    QStringList lines;
    for (int s = 0; s < kSlots; ++s) {
        const auto slot = Slot(s);
        if (!kept(slot) || wanted.slot[s].trimmed().isEmpty())
            continue;
        if (wanted.slot[s].trimmed().toCaseFolded() != held.slot[s].trimmed().toCaseFolded())
            lines << QStringLiteral("%1: %2 dal telefono «%3» non entra in archivio e resta "
                                    "solo sul telefono.")
                         .arg(describe(id), fieldName(slot), wanted.slot[s].trimmed());
    }
    return lines;
}

db::Result<qint64> ContactSide::write(db::Connection &connection, qint64 id, const QByteArray &text)
{
    DatiVCard card = cardIn(text);
    companyFieldsFromWork(card);
    if (id > 0) {
        if (db::Result<bool> updated = m_writer->update(card, id); !updated)
            return updated.error();
    } else {
        db::Result<qint64> inserted = m_writer->insert(card);
        if (!inserted)
            return inserted.error();
        id = *inserted;
    }
    db::Result<std::optional<ContactCard>> read = readContactCard(connection, id);
    if (!read)
        return read.error();
    if (!*read)
        return db::Error{QStringLiteral("Il contatto %1 non è più in archivio.").arg(id)};
    m_cards.insert(id, std::move(**read));
    if (m_index)
        m_index->put(id, card[Organisation], card[FamilyName], card[GivenName]);
    return id;
}

db::Status ContactSide::setOnPhones(db::Connection &connection, qint64 id, bool onPhones)
{
    if (db::Status set = setContactCancelled(connection, id, !onPhones); !set)
        return set;
    if (auto found = m_cards.find(id); found != m_cards.end())
        found->cancelled = !onPhones;
    return {};
}

} // namespace dav
