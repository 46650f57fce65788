#include "session/reporthandoff.h"

#include "session/installfolders.h"

#include <QDir>

namespace {

// A function, not a global: reportKind() may be called while other globals are made.
QString contactJoins()
{
    return QStringLiteral(
        "FROM (((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie "
        "ON "
        "Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = "
        "Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione ORDER BY "
        "Contatti.NominativoDocumenti");
}

} // namespace

std::optional<ReportDefinition> reportDefinition(ReportKind kind, qint64 contactId)
{
    switch (kind) {
    case ReportKind::ContactBook:
        return ReportDefinition{
            QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, "
                "Contatti.Sesso,Contatti.Telefono, Contatti.Cellulare, Contatti.SecondoCell "
                "as UfficioCellulare, Contatti.Indirizzo,Contatti.Numero, Contatti.email, "
                "Contatti.Internet, Contatti.Fax, Contatti.Note, Comuni.Comune, "
                "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
                "Categorie.descrizione AS Categoria, "
                "Contatti.secTelefono as UfficioTelefono,  Regioni.Descrizione as Regione ") +
                contactJoins(),
            true, true};
    case ReportKind::ContactsByCategory:
        return ReportDefinition{
            QStringLiteral("Categorie.rpt"), QStringLiteral("CategorieLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                "Contatti.Cellulare, Contatti.SecondoCell as UfficioCellulare, "
                "Contatti.Indirizzo, Contatti.Numero,Contatti.email, "
                "Contatti.Internet, Contatti.Fax, Contatti.Note, Comuni.Comune, "
                "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
                "Categorie.descrizione AS Categoria, "
                "Contatti.secTelefono as UfficioTelefono,  Regioni.Descrizione as Regione ") +
                contactJoins(),
            true, true};
    case ReportKind::ContactLabels:
        return ReportDefinition{
            QStringLiteral("EtichetteClienti.rpt"), QStringLiteral("EtichetteClienti.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Nominativo, Contatti.Indirizzo, "
                "Comuni.Comune, Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.Cap) "
                "AS Cap, Contatti.Numero AS NumCasa, "
                "Categorie.descrizione as Categoria, Regioni.Descrizione as Regione ") +
                contactJoins(),
            true, false};
    case ReportKind::CompanyLabels:
        return ReportDefinition{
            QStringLiteral("EtichetteAzienda.rpt"), QStringLiteral("EtichetteAzienda.rpt"),
            QStringLiteral("SELECT ditta.RagSoc AS Descrizione, ditta.Via, ditta.Comune "
                           "AS Citta, ditta.Provincia, ditta.Cap, ditta.Numero AS NumCasa "
                           "FROM ditta"),
            false, false};
    case ReportKind::PrivacyForm:
        return ReportDefinition{
            QStringLiteral("PrivacyContatti.rpt"), QStringLiteral("PrivacyContattiLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                "Contatti.Cellulare, Contatti.Indirizzo, Contatti.email, Contatti.Internet, "
                "Contatti.PIva, Contatti.CFisc, Contatti.Numero, Comuni.Comune, "
                "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP FROM "
                "Contatti LEFT JOIN Comuni ON "
                "Contatti.Citta_ID = Comuni.ID Where Contatti.Id = ") +
                QString::number(contactId),
            false, true};
    case ReportKind::Payments:
        return ReportDefinition{
            QStringLiteral("Pagamenti.rpt"), QStringLiteral("PagamentiLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Nominativo, Pagamenti.data, "
                "Pagamenti.Descrizione as Pagamento, Pagamenti.Importo, "
                "Contatti.Telefono,Contatti.Cellulare,  Comuni.Comune, Comuni.Provincia, "
                "COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
                "Contatti.ID AS IdContatto, Categorie.descrizione AS Categoria, "
                "Regioni.Descrizione AS "
                "Regione FROM Pagamenti INNER JOIN ((((Contatti LEFT JOIN Comuni ON "
                "Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie ON "
                "Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON "
                "Comuni.Provincia = Province.PROVINCIA) LEFT JOIN Regioni ON "
                "Province.Regione_ID = Regioni.IDRegione) ON Pagamenti.Contatto_ID = "
                "Contatti.ID ORDER BY Contatti.NominativoDocumenti, Contatti.ID, "
                "Pagamenti.data, Pagamenti.Id"),
            true, true};
    case ReportKind::Notices:
        // Only this workstation's recipients: another workstation may be printing its own
        // notice at the same moment. The runner binds the workstation of the job to the ?.
        return ReportDefinition{
            QStringLiteral("Avvisi.rpt"), QStringLiteral("AvvisiLan.rpt"),
            // The recipient's names and title fill the fields a notice text may hold. The
            // second key of the order keeps the engine reading the few recipients first, not
            // every contact in name order.
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Indirizzo, "
                "Contatti.Telefono, Contatti.Cellulare, Contatti.Cap, Contatti.CFisc, "
                "Contatti.PIva, Contatti.Numero AS Civico, TempAvvisi.Testo, "
                "Comuni.Comune, Comuni.Provincia, Contatti.Nome, Contatti.Cognome, "
                "Contatti.RagioneSociale, Contatti.NominativoDocumenti, "
                "Titoli.Descrizione AS Titolo FROM (((TempAvvisiContatti INNER JOIN "
                "Contatti ON TempAvvisiContatti.Contatto_ID = Contatti.ID) INNER JOIN "
                "TempAvvisi ON TempAvvisiContatti.NomeComputer = TempAvvisi.NomeComputer) "
                "LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Titoli ON "
                "Contatti.Titolo_id = Titoli.Id WHERE "
                "TempAvvisiContatti.NomeComputer = ? ORDER BY Contatti.NominativoDocumenti, "
                "TempAvvisiContatti.Id"),
            false, true};
    }
    return std::nullopt;
}

db::Status writePrintJob(Tform_DB &m, ReportKind kind, const QString &runnerFolder)
{
    // The options as stored now: saved from this workstation's options window or another's.
    if (db::Status read = m.TableOpzioni.requery(); !read)
        return read;
    db::DataSet &job = m.TableTempStampa;
    // Only this workstation's job is ever replaced, whatever the data set held before.
    job.setSql(QStringLiteral("select * from TempStampa where NomeComputer = ?"),
               {m.computerName()});
    if (db::Status requeried = job.requery(); !requeried)
        return requeried;
    job.first();
    while (!job.isEmpty()) {
        if (db::Status removed = job.remove(); !removed)
            return removed;
    }
    if (db::Status appended = job.append(); !appended)
        return appended;
    const std::optional<ReportDefinition> report =
        reportDefinition(kind, m.TableContatti.asInteger(u"Id"));
    const QDir folder(layoutFolder(runnerFolder));
    QList<std::pair<QString, QVariant>> values;
    if (report) {
        values = {{QStringLiteral("NomeReport"), folder.filePath(report->file)},
                  {QStringLiteral("Query"), report->sql},
                  {QStringLiteral("Filtro"), report->filtro},
                  {QStringLiteral("NomeReportLandscape"), folder.filePath(report->landscapeFile)}};
    }
    values.append({QStringLiteral("Setup"), !m.TableOpzioni.asBoolean(u"StampanteDefault")});
    values.append({QStringLiteral("PresenzaTestata"),
                   kind != ReportKind::ContactLabels && kind != ReportKind::CompanyLabels});
    values.append({QStringLiteral("NomeComputer"), m.computerName()});
    for (const auto &[column, value] : values) {
        if (db::Status set = job.setValue(column, value); !set) {
            job.cancel();
            return set;
        }
    }
    db::Status posted = job.post();
    if (!posted)
        job.cancel();
    return posted;
}

QString runnerPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("stampa"));
}
