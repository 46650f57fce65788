#include "contacts/contactnames.h"

#include <QStringList>

ContactNames composeContactNames(const QString &ragioneSociale, const QString &cognome,
                                 const QString &nome, const QString &codiceFiscale,
                                 const QString &dataNascita)
{
    if (ragioneSociale.size() >= 2)
        return {ragioneSociale, ragioneSociale};
    ContactNames names;
    // A surname alone, or a name alone, without a blank left at either end.
    QStringList parts;
    for (const QString &part : {cognome.trimmed(), nome.trimmed()}) {
        if (!part.isEmpty())
            parts << part;
    }
    names.documenti = parts.join(u' ');
    names.visualizzato = names.documenti;
    if (!codiceFiscale.isEmpty())
        names.visualizzato += QStringLiteral(" - ") + codiceFiscale;
    else if (!dataNascita.isEmpty())
        names.visualizzato += QStringLiteral(" - ") + dataNascita;
    return names;
}

QStringList recipientsOf(const QList<ContactAddresses> &contacts)
{
    QStringList recipients;
    for (const ContactAddresses &c : contacts) {
        if (!c.email.isEmpty())
            recipients << c.email;
        if (!c.secEmail.isEmpty())
            recipients << c.secEmail;
    }
    return recipients;
}
