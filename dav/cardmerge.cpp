#include "dav/cardmerge.h"

namespace dav {

using namespace vcard;

QString fieldName(Slot slot)
{
    if (slot >= HomeEmail1 && slot < HomeEmail1 + kEmailsPerKind)
        return QStringLiteral("e-mail");
    if (slot >= WorkEmail1 && slot < WorkEmail1 + kEmailsPerKind)
        return QStringLiteral("e-mail dell'ufficio");
    switch (slot) {
    case FamilyName:
        return QStringLiteral("cognome");
    case GivenName:
        return QStringLiteral("nome");
    case AdditionalNames:
        return QStringLiteral("altri nomi");
    case NamePrefix:
        return QStringLiteral("prefisso del nome");
    case NameSuffix:
        return QStringLiteral("suffisso del nome");
    case Organisation:
        return QStringLiteral("ragione sociale");
    case Title:
        return QStringLiteral("titolo");
    case Photo:
        return QStringLiteral("foto");
    case HomeTel1:
        return QStringLiteral("telefono");
    case HomeTel2:
        return QStringLiteral("secondo telefono");
    case HomeFax:
        return QStringLiteral("fax");
    case WorkTel1:
        return QStringLiteral("telefono dell'ufficio");
    case WorkTel2:
        return QStringLiteral("secondo telefono dell'ufficio");
    case WorkFax:
        return QStringLiteral("fax dell'ufficio");
    case HomeCell1:
        return QStringLiteral("cellulare");
    case HomeCell2:
        return QStringLiteral("secondo cellulare");
    case WorkCell1:
        return QStringLiteral("cellulare dell'ufficio");
    case WorkCell2:
        return QStringLiteral("secondo cellulare dell'ufficio");
    case HomeUrl:
        return QStringLiteral("sito internet");
    case WorkUrl:
        return QStringLiteral("sito internet dell'ufficio");
    case HomeStreet:
        return QStringLiteral("indirizzo");
    case WorkStreet:
        return QStringLiteral("indirizzo dell'ufficio");
    case HomePostalCode:
        return QStringLiteral("CAP");
    case WorkPostalCode:
        return QStringLiteral("CAP dell'ufficio");
    case HomeLocality:
        return QStringLiteral("comune");
    case WorkLocality:
        return QStringLiteral("comune dell'ufficio");
    case HomeNumber:
        return QStringLiteral("numero civico");
    case WorkNumber:
        return QStringLiteral("numero civico dell'ufficio");
    case HomeRegion:
        return QStringLiteral("provincia");
    case WorkRegion:
        return QStringLiteral("provincia dell'ufficio");
    case Label:
        return QStringLiteral("destinazione merce");
    case Note:
        return QStringLiteral("note");
    case Role:
        return QStringLiteral("professione");
    case Birthday:
        return QStringLiteral("data di nascita");
    case Categories:
        return QStringLiteral("categoria");
    default:
        return QStringLiteral("campo %1").arg(int(slot));
    }
}

MergedCard mergeCards(const DatiVCard &agreed, const DatiVCard &archive, const DatiVCard &server)
{
    MergedCard merged;
    merged.card = archive;
    for (int s = 0; s < kSlots; ++s) {
        const auto slot = Slot(s);
        // The archive's own: the key, the revision (the day the contact was entered).
        if (slot == Uid || slot == UidPrefix || slot == Revision)
            continue;
        const QString base = agreed[slot].trimmed();
        const QString office = archive[slot].trimmed();
        const QString phone = server[slot].trimmed();
        if (office == phone)
            continue;
        if (office == base) {
            merged.card[slot] = server[slot];
            merged.archiveChanges = true;
        } else if (phone == base) {
            merged.serverChanges = true;
        } else {
            merged.conflicts.append(FieldConflict{fieldName(slot), office, phone});
            merged.serverChanges = true;
        }
    }
    return merged;
}

} // namespace dav
