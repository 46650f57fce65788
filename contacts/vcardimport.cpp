#include "contacts/vcardimport.h"

#include "common/colours.h"
#include "common/dates.h"
#include "contacts/contactcardwriter.h"
#include "contacts/contactnames.h"
#include "contacts/vcardcompany.h"
#include "contacts/vcardlists.h"
#include "db/core/datetimes.h"
#include "vcard/vcardmatch.h"
#include "vcard/vcardvalues.h"

#include <QStringList>

#include <array>

using namespace vcard;

namespace {

QString cardName(const DatiVCard &card)
{
    if (!card[Organisation].isEmpty())
        return card[Organisation];
    return card[FamilyName] + u' ' + card[GivenName];
}

db::Error failure(int index, const DatiVCard &card, const QString &message)
{
    return db::Error{QStringLiteral("Scheda %1 (%2): %3\nNessun contatto è stato importato.")
                         .arg(index + 1)
                         .arg(cardName(card).trimmed(), message)};
}

// One card to write: into the contact with key `target`, or, for a negative target, into the
// contact the import creates for it.
struct Step
{
    int card;
    qint64 target;
    bool keyNeeded = false; // a later card of the file updates the contact this one creates
};

} // namespace

AzioneImportazioneVCard azioneImportazioneVCard(const QVariant &option)
{
    if (!option.isValid() || option.isNull())
        return AzioneImportazioneVCard::Chiedi;
    switch (option.toLongLong()) {
    case 0:
        return AzioneImportazioneVCard::Chiedi;
    case 1:
        return AzioneImportazioneVCard::Salta;
    default:
        return AzioneImportazioneVCard::Aggiorna;
    }
}

QString RiepilogoImportazioneVCard::testo() const
{
    QString text = QStringLiteral("%1 nuovi, %2 aggiornati, %3 saltati")
                       .arg(nuovi)
                       .arg(aggiornati)
                       .arg(saltati);
    for (const QString &note : avvisi)
        text += u'\n' + note;
    return text;
}

QString domandaContattoPresente(const DatiVCard &card)
{
    return QStringLiteral("Il contatto :") + cardName(card) +
           QStringLiteral(" e' già presente in archivio: Come si vuole procedere ? Salto il "
                          "contatto ?");
}

db::Result<RiepilogoImportazioneVCard> importaVCard(db::Connection &connection,
                                                    const QList<DatiVCard> &input,
                                                    AzioneImportazioneVCard azione,
                                                    const SaltaContattoPresente &ask, QDate today)
{
    db::Result<ContactIndex> index = ContactIndex::load(connection);
    if (!index)
        return index.error();
    db::Result<ImportLists> lists = ImportLists::load(connection);
    if (!lists)
        return lists.error();

    // Every question is asked before anything is written, so that no other workstation waits
    // on the archive while a question is on screen.
    RiepilogoImportazioneVCard summary;
    QList<DatiVCard> cards = input;
    for (DatiVCard &card : cards)
        companyFieldsFromWork(card);
    QList<Step> steps;
    QHash<qint64, qsizetype> creating; // the step that creates each new contact
    qint64 nextNew = -1;
    bool cancelled = false;
    // Whether a card matching a contact is skipped: the option's answer, or the user's.
    const auto skipKnown = [&](const DatiVCard &card) {
        if (azione != AzioneImportazioneVCard::Chiedi)
            return azione == AzioneImportazioneVCard::Salta;
        if (!ask)
            return false;
        switch (ask(domandaContattoPresente(card))) {
        case RispostaContattoPresente::Salta:
            return true;
        case RispostaContattoPresente::Aggiorna:
            return false;
        case RispostaContattoPresente::SaltaTutti:
            azione = AzioneImportazioneVCard::Salta;
            return true;
        case RispostaContattoPresente::AggiornaTutti:
            azione = AzioneImportazioneVCard::Aggiorna;
            return false;
        case RispostaContattoPresente::Annulla:
            cancelled = true;
            return false;
        }
        return false;
    };
    for (int i = 0; i < cards.size(); ++i) {
        const DatiVCard &card = cards[i];
        if (card[FamilyName].isEmpty() && card[Organisation].isEmpty()) {
            // A phone's export holds cards with an address or a number only: named, so that
            // the user can find them.
            QString reach = card.formattedName.trimmed();
            for (Slot s : {HomeEmail1, WorkEmail1, HomeCell1, WorkCell1, HomeTel1, WorkTel1}) {
                if (reach.isEmpty())
                    reach = card[s].trimmed();
            }
            summary.avvisi << QStringLiteral("Scheda senza nome saltata: %1")
                                  .arg(reach.isEmpty() ? QStringLiteral("(senza recapiti)")
                                                       : reach);
            ++summary.saltati;
            continue;
        }
        if (readCardDate(card[Birthday]).kind == CardDate::Kind::Partial)
            summary.avvisi << QStringLiteral("%1: data di nascita senza anno, non importata")
                                  .arg(cardName(card));
        qint64 target = index->match(card);
        if (target == 0) {
            target = nextNew--;
            creating.insert(target, steps.size());
            ++summary.nuovi;
        } else if (skipKnown(card)) {
            ++summary.saltati;
            continue;
        } else if (cancelled) {
            RiepilogoImportazioneVCard nothing;
            nothing.annullato = true;
            return nothing;
        } else {
            ++summary.aggiornati;
            if (target < 0)
                steps[creating.value(target)].keyNeeded = true;
        }
        index->put(target, card[Organisation], card[FamilyName], card[GivenName]);
        steps.append({i, target});
    }

    ContactCardWriter writer(connection, std::move(*lists), today, ContactCardWriter::Mode::Fill);
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started().error();
    QHash<qint64, qint64> created; // planned (negative) key -> key in the archive
    for (const Step &step : std::as_const(steps)) {
        const DatiVCard &card = cards[step.card];
        qint64 target = step.target;
        if (target < 0)
            target = created.value(target);
        if (target > 0) {
            const db::Result<bool> renamed = writer.update(card, target);
            if (!renamed)
                return failure(step.card, card, renamed.message());
            summary.nomiCambiati = summary.nomiCambiati || *renamed;
            continue;
        }
        const db::Result<qint64> added = writer.insert(card, step.keyNeeded);
        if (!added)
            return failure(step.card, card, added.message());
        if (step.keyNeeded)
            created.insert(step.target, *added);
    }
    if (db::Status committed = transaction.commit(); !committed) {
        return db::Error{QStringLiteral("Importazione non riuscita: %1\nNessun contatto è stato "
                                        "importato.")
                             .arg(committed.message())};
    }
    summary.righeAggiunte = writer.listsAdded();
    return summary;
}
