#include "app/datamodule.h"

#include <QSysInfo>

QString readComputerName()
{
    const QString name = QSysInfo::machineHostName().left(15);
    return name.isEmpty() ? QStringLiteral("SenzaNome") : name;
}

Tform_DB::Tform_DB(QObject *parent)
    : QObject(parent),
      m_computerName(readComputerName()),
      TableCercaContatti(m_connection, QStringLiteral("TableCercaContatti")),
      TableCategorie(m_connection, QStringLiteral("TableCategorie")),
      TableComuni(m_connection, QStringLiteral("TableComuni")),
      TableContatti(m_connection, QStringLiteral("TableContatti")),
      TablePersonalizzazioni(m_connection, QStringLiteral("TablePersonalizzazioni")),
      TableDitta(m_connection, QStringLiteral("TableDitta")),
      TableOpzioni(m_connection, QStringLiteral("TableOpzioni")),
      TableIndirizzi(m_connection, QStringLiteral("TableIndirizzi")),
      TableProfessioni(m_connection, QStringLiteral("TableProfessioni")),
      TableGriglie(m_connection, QStringLiteral("TableGriglie")),
      TableTitoli(m_connection, QStringLiteral("TableTitoli")),
      TableNazioni(m_connection, QStringLiteral("TableNazioni")),
      TableProvince(m_connection, QStringLiteral("TableProvince")),
      TableRegioni(m_connection, QStringLiteral("TableRegioni")),
      TablePagamenti(m_connection, QStringLiteral("TablePagamenti")),
      TableTipoPagamenti(m_connection, QStringLiteral("TableTipoPagamenti")),
      TableTempStampa(m_connection, QStringLiteral("TableTempStampa")),
      TableTipoEsportazioniCrystalReport(m_connection, QStringLiteral("TableTipoEsportazioniCrystalReport")),
      TableCalendario(m_connection, QStringLiteral("TableCalendario")),
      TableTipologiaCalendario(m_connection, QStringLiteral("TableTipologiaCalendario")),
      TableSesso(m_connection, QStringLiteral("TableSesso")),
      TableAvvisi(m_connection, QStringLiteral("TableAvvisi")),
      TableTempAvvisi(m_connection, QStringLiteral("TableTempAvvisi")),
      TableTempAvvisiContatti(m_connection, QStringLiteral("TableTempAvvisiContatti"))
{
    TableCategorie.setSql(QStringLiteral("select * from Categorie order by descrizione"));
    TableComuni.setSql(QStringLiteral("select * from Comuni order by Comune"));
    TableDitta.setSql(QStringLiteral("select * from ditta"));
    TableOpzioni.setSql(QStringLiteral("select * from opzioni"));
    TableContatti.setSql(QStringLiteral("select top 1 * from Contatti order by Cognome,Nome"));
    TablePersonalizzazioni.setSql(QStringLiteral("select * from Personalizzazioni"));
    TableIndirizzi.setSql(QStringLiteral(
        "SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, "
        "Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID order "
        "by Frazione, Indirizzo"));
    TableProfessioni.setSql(QStringLiteral("select * from Professioni order by descrizione"));
    TableGriglie.setSql(QStringLiteral("select * from Griglie\n"));
    TableCercaContatti.setSql(contactListSql());
    TableTitoli.setSql(QStringLiteral("select * from Titoli"));
    TableNazioni.setSql(QStringLiteral("select * from Nazioni order by DENOMINAZ"));
    TableRegioni.setSql(QStringLiteral("select * from regioni"));
    TableProvince.setSql(QStringLiteral("select * from Province"));
    TablePagamenti.setSql(QStringLiteral("select top 1 * from Pagamenti"));
    TableTipoPagamenti.setSql(QStringLiteral("select * from TipoPagamenti order by descrizione"));
    TableTempStampa.setSql(QStringLiteral("select * from TempStampa"));
    TableTipoEsportazioniCrystalReport.setSql(QStringLiteral(
        "select * from TipoEsportazioniCrystalReport where Attivo=true Order by Descrizione"));
    TableTipologiaCalendario.setSql(QStringLiteral("SELECT * from TipologiaCalendario order by Descrizione"));
    TableCalendario.setSql(QStringLiteral("SELECT * from Calendario where Storico=false order by Data desc,Personale"));
    TableSesso.setSql(QStringLiteral("select * from Sesso"));
    TableAvvisi.setSql(QStringLiteral("select * from Avvisi Order by Descrizione"));
    TableTempAvvisi.setSql(QStringLiteral("select top 1 * from TempAvvisi "));
    TableTempAvvisiContatti.setSql(QStringLiteral("select top 1 * from TempAvvisiContatti"));
}

Tform_DB::~Tform_DB() = default;

QString Tform_DB::ConvertiMemo(const QVariant &memo)
{
    return memo.isValid() ? memo.toString().left(100) : QString();
}

QList<db::DataSet *> Tform_DB::sharedDataSets()
{
    return {&TableCategorie, &TableComuni, &TableContatti, &TablePersonalizzazioni, &TableDitta,
            &TableOpzioni, &TableIndirizzi, &TableProfessioni, &TableGriglie, &TableCercaContatti,
            &TableTitoli, &TableNazioni, &TableProvince, &TableRegioni, &TablePagamenti,
            &TableTipoPagamenti, &TableTempStampa, &TableTipoEsportazioniCrystalReport,
            &TableCalendario, &TableTipologiaCalendario, &TableSesso, &TableAvvisi, &TableTempAvvisi,
            &TableTempAvvisiContatti};
}

QString Tform_DB::contactListSql()
{
    return QStringLiteral(
        "SELECT Contatti.NominativoVisualizzato,Contatti.NominativoDocumenti, Contatti.RagioneSociale, "
        "Contatti.Cognome, Contatti.Nome, Contatti.Sesso, Professioni.descrizione AS Professione, "
        "Categorie.descrizione AS Categoria, Titoli.descrizione AS Titolo, Contatti.Telefono AS "
        "AbitazioneTelefono, Contatti.Cellulare, Contatti.email,Contatti.secEmail,Contatti.Festivita, "
        "Comuni.Comune AS AbitazioneComune, Contatti.Indirizzo AS AbitazioneIndirizzo, Contatti.Numero "
        "AS AbitazioneCivico, Contatti.Cap AS AbitazioneCap, Contatti.Internet, Contatti.Skype, "
        "Contatti.Messenger, Contatti.Fax, Contatti.Note, Contatti.SecondoCell AS UfficioCellulare, "
        "Contatti.secEmail AS UfficioEmail, Contatti.secTelefono AS UfficioTelefono, Comuni_1.Comune AS "
        "UfficioComune, Contatti.UfficioIndirizzo, Contatti.UfficioNumero AS UfficioCivico, "
        "Contatti.UfficioCap, Contatti.ID as Ide,\n"
        "Contatti.ColoreCategoria , Contatti.NumeroColore  \n"
        "FROM ((((Contatti LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Comuni "
        "ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Professioni ON Contatti.Professione_id = "
        "Professioni.Id) LEFT JOIN Comuni AS Comuni_1 ON Contatti.UfficioComune_id = Comuni_1.ID) LEFT "
        "JOIN Titoli ON Contatti.Titolo_id = Titoli.id\n"
        "order by Contatti.NominativoDocumenti;");
}
