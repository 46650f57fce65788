#include "contacts/contactnames.h"

#include <QStringList>

ContactNames composeContactNames(const QString &ragioneSociale, const QString &cognome,
                                 const QString &nome, const QString &codiceFiscale,
                                 const QString &dataNascita)
{
    if (ragioneSociale.size() >= 2)
        return {ragioneSociale, ragioneSociale};
    ContactNames names;
    names.documenti = cognome + u' ' + nome;
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
