#include "session/shareddatasets.h"

#include "session/datamodule.h"

const QList<SharedDataSet> &sharedDataSetTable()
{
    using T = Tform_DB;
    static const QList<SharedDataSet> table = {
        {&T::TableCercaContatti, QStringLiteral("TableCercaContatti"), Tform_DB::contactListSql(),
         QStringLiteral("Ide"), {}, true},
        {&T::TableCategorie, QStringLiteral("TableCategorie"),
         QStringLiteral("select * from Categorie order by descrizione"), QStringLiteral("Id"), {}},
        {&T::TableComuni, QStringLiteral("TableComuni"),
         QStringLiteral("select * from Comuni order by Comune"), QStringLiteral("ID"), {}},
        {&T::TableContatti, QStringLiteral("TableContatti"),
         QStringLiteral("select top 1 * from Contatti order by Cognome,Nome"), QStringLiteral("ID"),
         {}},
        {&T::TablePersonalizzazioni, QStringLiteral("TablePersonalizzazioni"),
         QStringLiteral("select * from Personalizzazioni"), QStringLiteral("Id"), {}},
        {&T::TableDitta, QStringLiteral("TableDitta"), QStringLiteral("select * from ditta"),
         QStringLiteral("Id"), {}},
        {&T::TableOpzioni, QStringLiteral("TableOpzioni"), QStringLiteral("select * from opzioni"),
         QStringLiteral("Id"), {}},
        {&T::TableIndirizzi, QStringLiteral("TableIndirizzi"),
         QStringLiteral("SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, "
                        "Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON "
                        "Indirizzi.Comune_ID = Comuni.ID order by Frazione, Indirizzo"),
         QStringLiteral("id_cap"), {}},
        {&T::TableProfessioni, QStringLiteral("TableProfessioni"),
         QStringLiteral("select * from Professioni order by descrizione"), QStringLiteral("Id"), {}},
        {&T::TableTitoli, QStringLiteral("TableTitoli"), QStringLiteral("select * from Titoli"),
         QStringLiteral("Id"), {}},
        {&T::TableNazioni, QStringLiteral("TableNazioni"),
         QStringLiteral("select * from Nazioni order by DENOMINAZ"), QStringLiteral("IDNazione"),
         {}},
        {&T::TableProvince, QStringLiteral("TableProvince"),
         QStringLiteral("select * from Province"), QStringLiteral("CODPROV"), {}},
        {&T::TableRegioni, QStringLiteral("TableRegioni"), QStringLiteral("select * from regioni"),
         QStringLiteral("IDRegione"), {}},
        {&T::TablePagamenti, QStringLiteral("TablePagamenti"),
         QStringLiteral("select top 1 * from Pagamenti"), QStringLiteral("Id"), {}},
        {&T::TableTipoPagamenti, QStringLiteral("TableTipoPagamenti"),
         QStringLiteral("select * from TipoPagamenti order by descrizione"), QStringLiteral("Id"),
         {}},
        {&T::TableTipoEsportazioniCrystalReport, QStringLiteral("TableTipoEsportazioniCrystalReport"),
         QStringLiteral("select * from TipoEsportazioniCrystalReport where Attivo=true Order by "
                        "Descrizione"),
         QStringLiteral("Numero"), {}},
        {&T::TableCalendario, QStringLiteral("TableCalendario"),
         QStringLiteral("SELECT * from Calendario where Storico=false order by Data desc,Personale"),
         QStringLiteral("Id"), {}, true},
        {&T::TableTipologiaCalendario, QStringLiteral("TableTipologiaCalendario"),
         QStringLiteral("SELECT * from TipologiaCalendario order by Descrizione"),
         QStringLiteral("Id"), {}},
        {&T::TableSesso, QStringLiteral("TableSesso"), QStringLiteral("select * from Sesso"),
         QStringLiteral("Sesso"), {}},
        {&T::TableAvvisi, QStringLiteral("TableAvvisi"),
         QStringLiteral("select * from Avvisi Order by Descrizione"), QStringLiteral("Id"), {}},
        {&T::TableTempStampa, QStringLiteral("TableTempStampa"),
         QStringLiteral("select * from TempStampa"), QStringLiteral("Id"),
         QStringLiteral("select * from TempStampa where NomeComputer = ?")},
        {&T::TableGriglie, QStringLiteral("TableGriglie"), QStringLiteral("select * from Griglie\n"),
         QStringLiteral("Id"), QStringLiteral("select * from Griglie where NomeComputer = ?")},
        {&T::TableTempAvvisiContatti, QStringLiteral("TableTempAvvisiContatti"),
         QStringLiteral("select top 1 * from TempAvvisiContatti"), QStringLiteral("Id"),
         QStringLiteral("select * from TempAvvisiContatti where NomeComputer = ?")},
        {&T::TableTempAvvisi, QStringLiteral("TableTempAvvisi"),
         QStringLiteral("select top 1 * from TempAvvisi "), QStringLiteral("Id"),
         QStringLiteral("select top 1 * from TempAvvisi where NomeComputer = ?")},
    };
    return table;
}
