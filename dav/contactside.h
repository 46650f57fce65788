#pragma once

#include "contacts/contactcardwriter.h"
#include "contacts/vcardexport.h"
#include "dav/syncside.h"
#include "vcard/vcardmatch.h"

#include <QDate>
#include <QHash>

#include <optional>

namespace dav {

// The contacts as cards (vCard 4.0, the export's fields): a cancelled contact is kept off the
// phones; what a card holds that the archive does not keep (a second number, a photo) stays as
// the phone has it.
class ContactSide final : public SyncSide
{
public:
    explicit ContactSide(QDate today) : m_today(today) {}

    Collection collection() const override { return Collection::Contacts; }
    db::Status load(db::Connection &connection) override;
    QList<qint64> onPhones() const override;
    bool exists(qint64 id) const override { return m_cards.contains(id); }
    bool isOnPhones(qint64 id) const override;
    QString describe(qint64 id) const override;
    QByteArray archiveView(qint64 id) const override;
    QByteArray officeText(qint64 id, const QByteArray &agreed,
                          const QByteArray &view) const override;
    bool same(const QByteArray &a, const QByteArray &b) const override;
    bool readable(const QByteArray &text) const override;
    QString resourceName(qint64 id) const override;
    qint64 match(const QByteArray &server, const QSet<qint64> &linked) const override;
    Outcome merge(const QByteArray &agreed, qint64 id, const QByteArray &view,
                  const QByteArray &server) const override;
    QStringList unstored(qint64 id, const QByteArray &text) const override;
    db::Result<qint64> write(db::Connection &connection, qint64 id,
                             const QByteArray &text) override;
    db::Status setOnPhones(db::Connection &connection, qint64 id, bool onPhones) override;

    // Whether the archive keeps this field of a card.
    static bool kept(vcard::Slot slot);

    // `composed` with the lines of `from` the program does not write (a photo's data, a
    // nickname, a phone's own properties), so that writing a card keeps them.
    static QByteArray withLinesOf(const QByteArray &composed, const QByteArray &from);

private:
    DatiVCard officeCard(qint64 id, const QByteArray &agreed, const QByteArray &view) const;

    QDate m_today;
    QHash<qint64, ContactCard> m_cards;
    std::optional<vcard::ContactIndex> m_index;
    std::optional<vcard::ContactCardWriter> m_writer;
};

} // namespace dav
