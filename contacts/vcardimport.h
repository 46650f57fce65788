#pragma once

#include "db/core/connection.h"
#include "vcard/vcardrecord.h"

#include <QDate>
#include <QList>

#include <functional>

// What the import does with a card that matches a contact (option AzioneImportazioneVCard).
enum class AzioneImportazioneVCard
{
    Chiedi = 0,
    Salta = 1,
    Aggiorna = 2,
};
// The option's value as stored: null or 0 asks, 1 skips, anything else updates.
AzioneImportazioneVCard azioneImportazioneVCard(const QVariant &option);

struct RiepilogoImportazioneVCard
{
    int nuovi = 0;
    int aggiornati = 0;
    int saltati = 0;
    bool annullato = false;     // the user cancelled at a question: nothing was written
    bool nomiCambiati = false;  // appointments now show another contact name
    bool righeAggiunte = false; // categories, professions or titles were added
    // What the user should know of single cards: one skipped for having no name (named by its
    // address or number), a birthday without its year that was not imported.
    QStringList avvisi;

    // "N nuovi, M aggiornati, K saltati", then the notes, one a line.
    QString testo() const;
};

// The answers to the question asked about a card that matches a contact ("Salto il
// contatto ?"): this card only, every such card from here on, or no import at all.
enum class RispostaContattoPresente
{
    Salta,
    Aggiorna,
    SaltaTutti,
    AggiornaTutti,
    Annulla,
};
using SaltaContattoPresente = std::function<RispostaContattoPresente(const QString &question)>;

// Imports `cards` in two steps. First every card is matched with the archive and, where the
// option says so, the question about it is asked; an answer for all of them stops the
// questions, "Annulla" ends the import with nothing written (`annullato`). Then everything is
// written in one transaction: a failure writes nothing and its message names the card. A card
// without a family name or an organisation is skipped. A company's work fields land in its main
// ones where those are empty, and a name prefix that is one of the archive's titles ("Dott.") is
// the contact's title when the card has none. `today` is the insertion date of a new contact whose
// card carries no REV.
db::Result<RiepilogoImportazioneVCard> importaVCard(db::Connection &connection,
                                                    const QList<DatiVCard> &cards,
                                                    AzioneImportazioneVCard azione,
                                                    const SaltaContattoPresente &ask, QDate today);

// "Il contatto :<name> e' già presente in archivio: ...": the question about one card.
QString domandaContattoPresente(const DatiVCard &card);
