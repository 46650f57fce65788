#include "session/datamodule.h"

#include "session/computername.h"

namespace {

struct Declared
{
    db::DataSet Tform_DB::*member;
    SharedDataSet declaration;
};

// The data module's own data sets, in the order start-up opens them.
const QList<Declared> &declaredDataSets()
{
    using T = Tform_DB;
    static const QList<Declared> table = {
        {&T::TableCercaContatti,
         {QStringLiteral("TableCercaContatti"), Tform_DB::contactListSql(), QStringLiteral("Ide"),
          SharedDataSet::Kind::OnDemand}},
        {&T::TableContatti,
         {QStringLiteral("TableContatti"),
          QStringLiteral("select top 1 * from Contatti order by Cognome,Nome"),
          QStringLiteral("ID"), SharedDataSet::Kind::Shared}},
        {&T::TableTempStampa,
         {QStringLiteral("TableTempStampa"), QStringLiteral("select * from TempStampa"),
          QStringLiteral("Id"), SharedDataSet::Kind::PerWorkstation,
          QStringLiteral("select * from TempStampa where NomeComputer = ?")}},
        {&T::TableGriglie,
         {QStringLiteral("TableGriglie"), QStringLiteral("select * from Griglie\n"),
          QStringLiteral("Id"), SharedDataSet::Kind::PerWorkstation,
          QStringLiteral("select * from Griglie where NomeComputer = ?")}},
    };
    return table;
}

} // namespace

Tform_DB::Tform_DB(QObject *parent) : QObject(parent), m_shared(m_connection, readComputerName())
{
    for (const Declared &d : declaredDataSets())
        m_shared.add(this->*d.member, d.declaration);
}

Tform_DB::~Tform_DB() = default;

db::Status Tform_DB::reopenSharedDataSets()
{
    return m_shared.reopen();
}

QString Tform_DB::contactListSql()
{
    return QStringLiteral(
        "SELECT Contatti.NominativoVisualizzato,Contatti.NominativoDocumenti, "
        "Contatti.RagioneSociale, "
        "Contatti.Cognome, Contatti.Nome, Contatti.Sesso, Professioni.descrizione AS Professione, "
        "Categorie.descrizione AS Categoria, Titoli.descrizione AS Titolo, Contatti.Telefono AS "
        "AbitazioneTelefono, Contatti.Cellulare, "
        "Contatti.email,Contatti.secEmail,Contatti.Festivita, "
        "Comuni.Comune AS AbitazioneComune, Contatti.Indirizzo AS AbitazioneIndirizzo, "
        "Contatti.Numero "
        "AS AbitazioneCivico, Contatti.Cap AS AbitazioneCap, Contatti.Internet, Contatti.Skype, "
        "Contatti.Messenger, Contatti.Fax, Contatti.Note, Contatti.SecondoCell AS "
        "UfficioCellulare, "
        "Contatti.secEmail AS UfficioEmail, Contatti.secTelefono AS UfficioTelefono, "
        "Comuni_1.Comune AS "
        "UfficioComune, Contatti.UfficioIndirizzo, Contatti.UfficioNumero AS UfficioCivico, "
        "Contatti.UfficioCap, Contatti.ID as Ide,\n"
        "Contatti.ColoreCategoria , Contatti.NumeroColore  \n"
        "FROM ((((Contatti LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN "
        "Comuni "
        "ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Professioni ON Contatti.Professione_id = "
        "Professioni.Id) LEFT JOIN Comuni AS Comuni_1 ON Contatti.UfficioComune_id = Comuni_1.ID) "
        "LEFT "
        "JOIN Titoli ON Contatti.Titolo_id = Titoli.id\n"
        "order by Contatti.NominativoDocumenti;");
}
