#pragma once

#include "app/mainwindowlinks.h"

#include <QString>

#include <memory>

class TfrmInizio;
class TfrmPass;
class Tform_DB;
class AgendaStore;
class ContactStore;
class NoticeStore;
class OptionsStore;
class ReferenceStore;
class PaymentStore;
class TfrmPromemoriaScadenze;
struct AppointmentEditorLinks;
struct ContactEditorLinks;

class TfrmContatti;
class TfrmContattiDett;
class TfrmIndirizziEmail;
class TfrmInsEmail;
class TfrmPagamentiContatto;
class TfrmImportaPagamento;

class TfrmCategorie;
class TfrmTrovaCap;
class TfrmCategorieContatti_Griglia;
class TfrmGriglia_Professioni;
class TfrmProfessioni_Dettaglio;
class TfrmGrigliaComuni;
class TfrmComuniDett;
class TfrmGriglia_Titoli;
class TfrmTitoli_Dettaglio;
class TfrmGriglia_TipoPagamenti;
class TfrmTipoPagamenti_Dettaglio;
class TfrmGrigliaTipologieCalendario;
class TfrmTipologiaCalendario;
class TfrmCalendario;
class TfrmEmail;
class TfrmRealizzazione;
class TfrmGrigliaCalendario;
class TfrmAvvisi;
class TfrmGrigliaAvvisi;
class TfrmAvvisiClienti_Campi;
class TfrmAvvisiClienti_Filtri;
class TfrmAvvisiClienti_Griglia;
struct NoticeLinks;

class TfrmOpzioni;
class TfrmSincronizza;

// Every window of the program, created once at start and kept until the end: windows are
// shown and hidden, never re-created, so their searches, filters and flags last from one
// opening to the next.
//
// The one place that knows every window. A window receives at construction the store of its
// feature (the data module while it has none) and what it opens: the windows of its own subsystem
// by reference, those of other subsystems through a link struct of callbacks (ContactEditorLinks)
// filled here. No window reaches the program itself.
class Program
{
public:
    // `programFolder`: where the program, percorso.txt and the report runner are.
    explicit Program(const QString &programFolder);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    QString programFolder() const { return m_programFolder; }

    TfrmInizio &frmInizio() { return *m_inizio; }
    TfrmPass &frmPass() { return *m_pass; }
    Tform_DB &formDb() { return *m_formDb; }
    // The features' data, made after the data module.
    PaymentStore &payments() { return *m_payments; }
    AgendaStore &agenda() { return *m_agenda; }
    ContactStore &contacts() { return *m_contacts; }
    NoticeStore &notices() { return *m_notices; }
    OptionsStore &options() { return *m_options; }
    ReferenceStore &reference() { return *m_reference; }
    TfrmPromemoriaScadenze &frmPromemoriaScadenze() { return *m_promemoria; }

    // Contacts and their payments.
    TfrmContatti &frmContatti() { return *m_contatti; }
    TfrmContattiDett &frmContattiDett() { return *m_contattiDett; }
    TfrmIndirizziEmail &frmIndirizziEmail() { return *m_indirizziEmail; }
    TfrmInsEmail &frmInsEmail() { return *m_insEmail; }
    TfrmPagamentiContatto &frmPagamentiContatto() { return *m_pagamentiContatto; }
    TfrmImportaPagamento &frmImportaPagamento() { return *m_importaPagamento; }

    // Reference data: the small lookup tables, the municipalities, the postal-code finder.
    TfrmCategorie &frmCategorie() { return *m_categorie; }
    TfrmTrovaCap &frmTrovaCap() { return *m_trovaCap; }
    TfrmCategorieContatti_Griglia &frmCategorieContattiGriglia() { return *m_categorieGriglia; }
    TfrmGriglia_Professioni &frmGrigliaProfessioni() { return *m_professioniGriglia; }
    TfrmProfessioni_Dettaglio &frmProfessioniDettaglio() { return *m_professioni; }
    TfrmGrigliaComuni &frmGrigliaComuni() { return *m_comuniGriglia; }
    TfrmComuniDett &frmComuniDett() { return *m_comuni; }
    TfrmGriglia_Titoli &frmGrigliaTitoli() { return *m_titoliGriglia; }
    TfrmTitoli_Dettaglio &frmTitoliDettaglio() { return *m_titoli; }
    TfrmGriglia_TipoPagamenti &frmGrigliaTipoPagamenti() { return *m_tipoPagamentiGriglia; }
    TfrmTipoPagamenti_Dettaglio &frmTipoPagamentiDettaglio() { return *m_tipoPagamenti; }
    TfrmGrigliaTipologieCalendario &frmGrigliaTipologieCalendario() { return *m_tipologieGriglia; }
    TfrmTipologiaCalendario &frmTipologiaCalendario() { return *m_tipologia; }

    // The agenda.
    TfrmCalendario &frmCalendario() { return *m_calendario; }
    TfrmGrigliaCalendario &frmGrigliaCalendario() { return *m_grigliaCalendario; }

    // Notices: the templates and the three steps of the notice wizard.
    TfrmAvvisi &frmAvvisi() { return *m_avvisi; }
    TfrmGrigliaAvvisi &frmGrigliaAvvisi() { return *m_grigliaAvvisi; }
    TfrmAvvisiClienti_Campi &frmAvvisiClientiCampi() { return *m_avvisiCampi; }
    TfrmAvvisiClienti_Filtri &frmAvvisiClientiFiltri() { return *m_avvisiFiltri; }
    TfrmAvvisiClienti_Griglia &frmAvvisiClientiGriglia() { return *m_avvisiGriglia; }
    // The options and the company's data.
    TfrmOpzioni &frmOpzioni() { return *m_opzioni; }
    TfrmSincronizza &frmSincronizza() { return *m_sincronizza; }
    // E-mail and the about box.
    TfrmEmail &frmEmail() { return *m_email; }
    TfrmRealizzazione &frmRealizzazione() { return *m_realizzazione; }

private:
    // What the contact editor opens in the windows of the other subsystems.
    ContactEditorLinks contactEditorLinks();
    // What the appointment editor opens in the type and contact windows.
    AppointmentEditorLinks appointmentEditorLinks();
    // What the notice wizard's last step reaches: the report hand-off.
    NoticeLinks noticeLinks();
    // What the main window reaches: every window its buttons open, the print hand-off.
    MainWindowLinks mainWindowLinks();

    QString m_programFolder;
    std::unique_ptr<TfrmInizio> m_inizio;
    std::unique_ptr<Tform_DB> m_formDb;
    std::unique_ptr<PaymentStore> m_payments;
    std::unique_ptr<AgendaStore> m_agenda;
    std::unique_ptr<ContactStore> m_contacts;
    std::unique_ptr<NoticeStore> m_notices;
    std::unique_ptr<ReferenceStore> m_reference;
    std::unique_ptr<OptionsStore> m_options;

    // Declared after the data module, so that they go before the data sets they show; each
    // after the windows it opens, so that it goes before them.
    std::unique_ptr<TfrmCategorie> m_categorie;
    std::unique_ptr<TfrmCategorieContatti_Griglia> m_categorieGriglia;
    std::unique_ptr<TfrmProfessioni_Dettaglio> m_professioni;
    std::unique_ptr<TfrmGriglia_Professioni> m_professioniGriglia;
    std::unique_ptr<TfrmComuniDett> m_comuni;
    std::unique_ptr<TfrmGrigliaComuni> m_comuniGriglia;
    std::unique_ptr<TfrmTitoli_Dettaglio> m_titoli;
    std::unique_ptr<TfrmGriglia_Titoli> m_titoliGriglia;
    std::unique_ptr<TfrmTipoPagamenti_Dettaglio> m_tipoPagamenti;
    std::unique_ptr<TfrmGriglia_TipoPagamenti> m_tipoPagamentiGriglia;
    std::unique_ptr<TfrmTipologiaCalendario> m_tipologia;
    std::unique_ptr<TfrmGrigliaTipologieCalendario> m_tipologieGriglia;
    std::unique_ptr<TfrmTrovaCap> m_trovaCap;
    std::unique_ptr<TfrmOpzioni> m_opzioni;
    std::unique_ptr<TfrmSincronizza> m_sincronizza;
    std::unique_ptr<TfrmImportaPagamento> m_importaPagamento;
    std::unique_ptr<TfrmPagamentiContatto> m_pagamentiContatto;
    std::unique_ptr<TfrmContattiDett> m_contattiDett;
    std::unique_ptr<TfrmIndirizziEmail> m_indirizziEmail;
    std::unique_ptr<TfrmEmail> m_email;
    std::unique_ptr<TfrmContatti> m_contatti;
    std::unique_ptr<TfrmCalendario> m_calendario;
    std::unique_ptr<TfrmGrigliaCalendario> m_grigliaCalendario;
    std::unique_ptr<TfrmAvvisi> m_avvisi;
    std::unique_ptr<TfrmGrigliaAvvisi> m_grigliaAvvisi;
    std::unique_ptr<TfrmAvvisiClienti_Griglia> m_avvisiGriglia;
    std::unique_ptr<TfrmAvvisiClienti_Filtri> m_avvisiFiltri;
    std::unique_ptr<TfrmAvvisiClienti_Campi> m_avvisiCampi;
    std::unique_ptr<TfrmInsEmail> m_insEmail;
    std::unique_ptr<TfrmRealizzazione> m_realizzazione;
    std::unique_ptr<TfrmPass> m_pass;
    std::unique_ptr<TfrmPromemoriaScadenze> m_promemoria;
};
