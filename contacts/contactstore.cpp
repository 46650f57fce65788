#include "contacts/contactstore.h"

#include "session/reporthandoff.h"

namespace {

// A function, not a global: a report may be asked for while other globals are made.
QString contactJoins()
{
    return QStringLiteral(
        "FROM (((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie "
        "ON "
        "Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = "
        "Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione ORDER BY "
        "Contatti.NominativoDocumenti");
}

// What the contact book and the contacts by category print after their first columns.
QString bookColumnsAndJoins()
{
    return QStringLiteral(
               "Contatti.Internet, Contatti.Fax, Contatti.Note, Comuni.Comune, "
               "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
               "Categorie.descrizione AS Categoria, "
               "Contatti.secTelefono as UfficioTelefono,  Regioni.Descrizione as Regione ") +
           contactJoins();
}

} // namespace

ReportDefinition ContactStore::bookReport()
{
    return {QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, "
                "Contatti.Sesso,Contatti.Telefono, Contatti.Cellulare, Contatti.SecondoCell "
                "as UfficioCellulare, Contatti.Indirizzo,Contatti.Numero, Contatti.email, ") +
                bookColumnsAndJoins(),
            true, true};
}

ReportDefinition ContactStore::byCategoryReport()
{
    return {QStringLiteral("Categorie.rpt"), QStringLiteral("CategorieLan.rpt"),
            QStringLiteral("SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                           "Contatti.Cellulare, Contatti.SecondoCell as UfficioCellulare, "
                           "Contatti.Indirizzo, Contatti.Numero,Contatti.email, ") +
                bookColumnsAndJoins(),
            true, true};
}

ReportDefinition ContactStore::labelsReport()
{
    return {QStringLiteral("EtichetteClienti.rpt"), QStringLiteral("EtichetteClienti.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Nominativo, Contatti.Indirizzo, "
                "Comuni.Comune, Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.Cap) "
                "AS Cap, Contatti.Numero AS NumCasa, "
                "Categorie.descrizione as Categoria, Regioni.Descrizione as Regione ") +
                contactJoins(),
            true, false};
}

ReportDefinition ContactStore::privacyFormReport(qint64 contactId)
{
    return {QStringLiteral("PrivacyContatti.rpt"), QStringLiteral("PrivacyContattiLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                "Contatti.Cellulare, Contatti.Indirizzo, Contatti.email, Contatti.Internet, "
                "Contatti.PIva, Contatti.CFisc, Contatti.Numero, Comuni.Comune, "
                "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP FROM "
                "Contatti LEFT JOIN Comuni ON "
                "Contatti.Citta_ID = Comuni.ID Where Contatti.Id = ") +
                QString::number(contactId),
            false, true};
}
