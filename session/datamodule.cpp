#include "session/datamodule.h"

#include "common/dialogs.h"
#include "session/computername.h"
#include "session/shareddatasets.h"

Tform_DB::Tform_DB(QObject *parent) : QObject(parent), m_computerName(readComputerName())
{
    for (const SharedDataSet &shared : sharedDataSetTable()) {
        db::DataSet &ds = this->*shared.member;
        ds.setObjectName(shared.name);
        ds.setSql(shared.sql);
    }
}

Tform_DB::~Tform_DB() = default;

QString Tform_DB::ConvertiMemo(const QVariant &memo)
{
    return memo.isValid() ? memo.toString().left(100) : QString();
}

QList<db::DataSet *> Tform_DB::sharedDataSets()
{
    QList<db::DataSet *> all;
    for (const SharedDataSet &shared : sharedDataSetTable())
        all.append(&(this->*shared.member));
    return all;
}

db::Status Tform_DB::reopenSharedDataSets()
{
    for (db::DataSet *ds : sharedDataSets())
        ds->close();
    for (const SharedDataSet &shared : sharedDataSetTable()) {
        db::DataSet &ds = this->*shared.member;
        if (!shared.workstationSql.isEmpty())
            ds.setSql(shared.workstationSql, {m_computerName});
        if (shared.onDemand)
            continue;
        if (db::Status opened = ds.open(); !opened)
            return opened;
    }
    if (TableTempAvvisi.isEmpty()) {
        db::Status added = TableTempAvvisi.append();
        if (added)
            added = TableTempAvvisi.setValue(u"NomeComputer", m_computerName);
        if (added)
            added = TableTempAvvisi.post();
        if (!added)
            return added;
    }
    return {};
}

db::Status Tform_DB::openOnDemand(db::DataSet &dataSet)
{
    if (dataSet.isOpen())
        return {};
    db::Status opened = dataSet.open();
    if (!opened)
        dialogs().error(opened.message());
    return opened;
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
