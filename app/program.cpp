#include "app/program.h"

#include "about/frmrealizzazione.h"
#include "agenda/agendastore.h"
#include "agenda/windows/frmcalendario.h"
#include "agenda/windows/frmgrigliacalendario.h"
#include "app/frminizio.h"
#include "app/frmpass.h"
#include "app/frmpromemoriascadenze.h"
#include "app/reports.h"
#include "app/startupsequence.h"
#include "common/dialogs.h"
#include "contacts/contactstore.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "dav/windows/frmsincronizza.h"
#include "db/core/archive.h"
#include "mail/windows/frmemail.h"
#include "notices/noticestore.h"
#include "notices/windows/frmavvisi.h"
#include "notices/windows/frmavvisiclienti_campi.h"
#include "notices/windows/frmavvisiclienti_filtri.h"
#include "notices/windows/frmavvisiclienti_griglia.h"
#include "notices/windows/frmgrigliaavvisi.h"
#include "options/optionsstore.h"
#include "options/windows/frmopzioni.h"
#include "payments/paymentstore.h"
#include "payments/windows/frmpagamenticontatto.h"
#include "reference/referencestore.h"
#include "reference/windows/categorie.h"
#include "reference/windows/frmcomunidett.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "reference/windows/frmtrovacap.h"
#include "reference/windows/lookupwindows.h"
#include "session/archivelocation.h"
#include "session/datamodule.h"

#include <QDesktopServices>

Program::Program(const QString &programFolder) : m_programFolder(programFolder)
{
    m_inizio = std::make_unique<TfrmInizio>();
    m_formDb = std::make_unique<Tform_DB>();
    Tform_DB &db = *m_formDb;
    m_reference = std::make_unique<ReferenceStore>(db.shared());
    m_options = std::make_unique<OptionsStore>(db.shared());
    ReferenceStore &reference = *m_reference;
    m_payments = std::make_unique<PaymentStore>(db.shared());
    m_agenda = std::make_unique<AgendaStore>(db.shared());
    m_contacts = std::make_unique<ContactStore>(db.shared(), *m_agenda);
    m_notices = std::make_unique<NoticeStore>(db.shared());
    m_categorie = std::make_unique<TfrmCategorie>(reference);
    m_categorieGriglia = std::make_unique<TfrmCategorieContatti_Griglia>(reference, *m_categorie);
    // A category's new colour shows in the contact list at once, when it is open.
    QObject::connect(m_categorie.get(), &TfrmCategorie::contactColoursChanged, [this] {
        if (!m_contacts->TableCercaContatti.isOpen())
            return;
        if (db::Status reread = m_contacts->reload(); !reread)
            dialogs().error(reread.message());
    });
    m_professioni = std::make_unique<TfrmProfessioni_Dettaglio>(reference);
    m_professioniGriglia = std::make_unique<TfrmGriglia_Professioni>(reference, *m_professioni);
    m_comuni = std::make_unique<TfrmComuniDett>(reference);
    m_comuniGriglia = std::make_unique<TfrmGrigliaComuni>(reference, db.gridLayouts(), *m_comuni);
    m_titoli = std::make_unique<TfrmTitoli_Dettaglio>(reference);
    m_titoliGriglia = std::make_unique<TfrmGriglia_Titoli>(reference, *m_titoli);
    m_tipoPagamenti = std::make_unique<TfrmTipoPagamenti_Dettaglio>(reference);
    m_tipoPagamentiGriglia =
        std::make_unique<TfrmGriglia_TipoPagamenti>(reference, *m_tipoPagamenti);
    m_tipologia = std::make_unique<TfrmTipologiaCalendario>(reference);
    m_tipologieGriglia = std::make_unique<TfrmGrigliaTipologieCalendario>(reference, *m_tipologia);
    m_trovaCap = std::make_unique<TfrmTrovaCap>(reference, db.gridLayouts());
    m_opzioni = std::make_unique<TfrmOpzioni>(*m_options);
    QObject::connect(m_opzioni.get(), &TfrmOpzioni::saved, m_inizio.get(),
                     [this] { m_inizio->showCompanyName(); });
    // The sync and the spreadsheet import work with a connection of their own, to the archive
    // percorso.txt names, which is the one in use.
    const auto openOwn = [programFolder] {
        const db::Result<ArchiveLocation> location = locateArchive(programFolder);
        if (!location)
            return db::Result<std::unique_ptr<db::Connection>>(location.error());
        return db::openArchive(location->archive);
    };
    m_sincronizza = std::make_unique<TfrmSincronizza>(db.Connessione(), openOwn, m_inizio.get());
    // What the phones changed shows in the lists that are open.
    QObject::connect(m_sincronizza.get(), &TfrmSincronizza::syncFinished, [this](bool changed) {
        if (!changed)
            return;
        for (db::Status reread :
             {m_contacts->TableCercaContatti.isOpen() ? m_contacts->reload() : db::Status(),
              m_agenda->TableCalendario.isOpen() ? m_agenda->reload() : db::Status()}) {
            if (!reread)
                dialogs().error(reread.message());
        }
    });
    m_importaPagamento = std::make_unique<TfrmImportaPagamento>(reference.TableTipoPagamenti);
    m_pagamentiContatto = std::make_unique<TfrmPagamentiContatto>(*m_payments, *m_importaPagamento);
    m_contattiDett = std::make_unique<TfrmContattiDett>(*m_contacts, reference, *m_payments,
                                                        *m_pagamentiContatto, contactEditorLinks());
    m_indirizziEmail = std::make_unique<TfrmIndirizziEmail>();
    m_email = std::make_unique<TfrmEmail>(db.Connessione(), [this] {
        m_insEmail->clear();
        dialogs().showModal(m_insEmail.get());
        return m_insEmail->email();
    });
    m_contatti =
        std::make_unique<TfrmContatti>(*m_contacts, reference, *m_payments, *m_agenda, *m_options,
                                       db.gridLayouts(), *m_contattiDett, *m_indirizziEmail);
    // The spreadsheet import writes with a connection of its own, off the window's thread.
    m_contatti->setOpenConnection(openOwn);
    m_contatti->setSendEmail([this](const QStringList &addresses) {
        m_email->prepara(addresses, QString(), QString());
        m_email->apri();
    });
    m_calendario =
        std::make_unique<TfrmCalendario>(*m_agenda, reference.TableTipologiaCalendario,
                                         m_contacts->TableCercaContatti, appointmentEditorLinks());
    m_grigliaCalendario = std::make_unique<TfrmGrigliaCalendario>(
        *m_agenda, db.gridLayouts(), m_options->TablePersonalizzazioni, *m_calendario);
    m_grigliaCalendario->setPrint([this](ReportKind kind) { m_inizio->print(kind); });
    m_avvisi = std::make_unique<TfrmAvvisi>(*m_notices);
    m_grigliaAvvisi = std::make_unique<TfrmGrigliaAvvisi>(*m_notices, db.gridLayouts(), *m_avvisi);
    m_avvisiGriglia = std::make_unique<TfrmAvvisiClienti_Griglia>(*m_notices, noticeLinks());
    m_avvisiFiltri = std::make_unique<TfrmAvvisiClienti_Filtri>(
        reference.TableProfessioni, reference.TableCategorie, reference.TableComuni,
        reference.TableProvince, *m_avvisiGriglia);
    m_avvisiCampi =
        std::make_unique<TfrmAvvisiClienti_Campi>(*m_notices, *m_grigliaAvvisi, *m_avvisiFiltri);
    m_insEmail = std::make_unique<TfrmInsEmail>();
    m_realizzazione = std::make_unique<TfrmRealizzazione>(
        about::readMakerInfo(about::makerInfoFiles(programFolder)),
        [this](const QString &to, const QString &subject, const QString &text) {
            m_email->prepara({to}, subject, text);
            m_email->apri();
        },
        [](const QUrl &address) { QDesktopServices::openUrl(address); });
    m_pass = std::make_unique<TfrmPass>();
    m_promemoria = std::make_unique<TfrmPromemoriaScadenze>();
    m_promemoria->setOpenAppointment([this](qint64 id) { m_calendario->apriAppuntamento(id); });
    m_inizio->setLinks(mainWindowLinks(),
                       std::make_unique<StartupSequence>(StartupSequence::Parts{
                           programFolder, db.Connessione(), [&db] { return db.computerName(); },
                           *m_options, [&db] { return db.reopenSharedDataSets(); }}));
}

Program::~Program() = default;

ContactEditorLinks Program::contactEditorLinks()
{
    ContactEditorLinks links;
    links.categorie = {[this] { m_categorieGriglia->Aggiungi(); },
                       [this] { m_categorieGriglia->apriDettaglio(); }};
    links.professioni = {[this] { m_professioniGriglia->Aggiungi(); },
                         [this] { m_professioniGriglia->apriDettaglio(); }};
    links.titoli = {[this] { m_titoliGriglia->Aggiungi(); },
                    [this] { m_titoliGriglia->apriDettaglio(); }};
    links.comuni = {[this] { m_comuniGriglia->Aggiungi(); },
                    [this] { m_comuniGriglia->apriDettaglio(); }};
    links.trovaCap = [this](const QString &comune) { return m_trovaCap->trovaCap(comune); };
    links.print = [this](ReportKind kind) { m_inizio->print(kind); };
    links.programFolder = m_programFolder;
    return links;
}

AppointmentEditorLinks Program::appointmentEditorLinks()
{
    AppointmentEditorLinks links;
    links.addType = [this] { m_tipologieGriglia->Aggiungi(); };
    links.openType = [this] { m_tipologia->apri(); };
    links.addContact = [this] { m_contatti->aggiungi(); };
    links.openContact = [this] { m_contatti->avanti(); };
    return links;
}

MainWindowLinks Program::mainWindowLinks()
{
    MainWindowLinks links;
    links.programFolder = m_programFolder;
    // The lists of the reference tables open beside the main window (brought forward when they
    // are open already); the appointment types' list opens modally.
    const auto beside = [](QWidget *window) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    };
    links.openers = {
        {QStringLiteral("btnCategorie"), [=, this] { beside(m_categorieGriglia.get()); }},
        {QStringLiteral("btnProfessioni"), [=, this] { beside(m_professioniGriglia.get()); }},
        {QStringLiteral("btnTitoli"), [=, this] { beside(m_titoliGriglia.get()); }},
        {QStringLiteral("btnModalitaPagamento"),
         [=, this] { beside(m_tipoPagamentiGriglia.get()); }},
        {QStringLiteral("btnComuni"), [=, this] { beside(m_comuniGriglia.get()); }},
        {QStringLiteral("btnTipoCalendario"),
         [this] { dialogs().showModal(m_tipologieGriglia.get()); }},
        // The contact list, without any search left from the last time.
        {QStringLiteral("btnClienti"),
         [this] {
             m_contatti->reset();
             dialogs().showModal(m_contatti.get());
         }},
        {QStringLiteral("btnCalendario"),
         [this] { dialogs().showModal(m_grigliaCalendario.get()); }},
        // The template list, unfiltered when it opens and when it closes.
        {QStringLiteral("btnArchivioAvvisi"),
         [this] {
             m_grigliaAvvisi->reset();
             dialogs().showModal(m_grigliaAvvisi.get());
             m_grigliaAvvisi->reset();
         }},
        {QStringLiteral("btnAttivitaAvvisiClienti"), [this] { m_avvisiCampi->apri(); }},
        {QStringLiteral("btnAttivitaOpzioni"), [this] { m_opzioni->apri(); }},
        {QStringLiteral("btnAttivitaSincronizza"), [this] { m_sincronizza->apri(); }},
        {QStringLiteral("btnUtilityRealizzazione"), [=, this] { beside(m_realizzazione.get()); }},
    };
    links.password = m_pass.get();
    links.reminders = m_promemoria.get();
    links.layoutGrids = {
        {QStringLiteral("frmContatti"), m_contatti->gridModel()},
        {QStringLiteral("frmGrigliaComuni"), &m_comuniGriglia->gridModel()},
        {QStringLiteral("frmTrovaCap"), &m_trovaCap->gridModel()},
        {QStringLiteral("frmGrigliaCalendario"), &m_grigliaCalendario->gridModel()},
        {QStringLiteral("frmGrigliaAvvisi"), &m_grigliaAvvisi->gridModel()},
    };
    links.gridLayouts = [this] { return m_formDb->gridLayouts(); };
    links.companyName = [this] { return m_options->TableDitta.asString(u"RagSoc"); };
    links.archiveLocation = [this] { return m_formDb->Connessione().location(); };
    // The options window keeps what is typed until it is left: leaving the program leaves it.
    links.mayQuit = [this] {
        if (!m_opzioni->isVisible() || !m_opzioni->hasUnsavedChanges())
            return true;
        if (!dialogs().ask(QStringLiteral("Nelle Opzioni ci sono modifiche non salvate. "
                                          "Salvarle prima di uscire?"),
                           QStringLiteral("Opzioni"), Dialogs::Answer::Yes))
            return true;
        return m_opzioni->saveAndClose();
    };
    links.writePrintJob = [this](ReportKind kind) -> db::Status {
        const std::optional<ReportDefinition> report =
            reportDefinition(kind, m_contacts->TableContatti.asInteger(u"Id"), m_agenda->listing());
        if (!report)
            return db::Error{QStringLiteral("Stampa sconosciuta.")};
        const db::Result<bool> askPrinter = m_options->askPrinter();
        if (!askPrinter)
            return askPrinter.error();
        // Labels are printed for the contacts with an address: the others are counted first.
        if (kind == ReportKind::ContactLabels) {
            const db::Result<db::RowSet> left =
                m_formDb->Connessione().run(ContactStore::withoutAddressSql());
            if (left && left->value(0, u"Quanti").toLongLong() > 0)
                dialogs().information(
                    QStringLiteral("%1 contatti senza indirizzo non avranno l'etichetta.")
                        .arg(left->value(0, u"Quanti").toLongLong()),
                    QStringLiteral("Etichette Contatti"));
        }
        return writePrintJob(*m_formDb, *report, *askPrinter, m_programFolder);
    };
    return links;
}

NoticeLinks Program::noticeLinks()
{
    NoticeLinks links;
    links.print = [this](ReportKind kind) { m_inizio->print(kind); };
    return links;
}
