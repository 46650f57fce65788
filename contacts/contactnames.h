#pragma once

#include <QString>

struct ContactNames
{
    QString documenti;    // NominativoDocumenti: the name in documents, lists and the agenda
    QString visualizzato; // NominativoVisualizzato: the same, with the tax code or birth date
};

// A company name of at least two characters names the contact; otherwise surname + " " + name,
// shown with " - " and the tax code or, failing that, the birth date as typed.
ContactNames composeContactNames(const QString &ragioneSociale, const QString &cognome,
                                 const QString &nome, const QString &codiceFiscale,
                                 const QString &dataNascita);

// The e-mail addresses of the selected contacts, in order: email, then secEmail, each only
// when not empty.
struct ContactAddresses
{
    QString email;
    QString secEmail;
};
QStringList recipientsOf(const QList<ContactAddresses> &contacts);
