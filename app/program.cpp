#include "app/program.h"

#include "app/datamodule.h"
#include "app/frminizio.h"
#include "app/frmpass.h"
#include "app/frmpromemoriascadenze.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "payments/windows/frmpagamenticontatto.h"
#include "payments/windows/pagamentipage.h"
#include "reference/categorie.h"
#include "reference/frmcomunidett.h"
#include "reference/frmgrigliacomuni.h"
#include "reference/frmtrovacap.h"
#include "reference/lookupwindows.h"

// The contact windows bind to the data module's data sets when they are made, so the data
// module comes before them; the others follow the program's order.
Program::Program(const QString &programFolder) : m_programFolder(programFolder)
{
    m_inizio = std::make_unique<TfrmInizio>(*this);
    m_formDb = std::make_unique<Tform_DB>();
    m_contattiDett = std::make_unique<TfrmContattiDett>(*m_formDb);
    m_indirizziEmail = std::make_unique<TfrmIndirizziEmail>();
    m_contatti = std::make_unique<TfrmContatti>(*m_formDb, *m_contattiDett, *m_indirizziEmail);
    m_categorie = std::make_unique<TfrmCategorie>(*this);
    m_insEmail = std::make_unique<TfrmInsEmail>();
    m_pass = std::make_unique<TfrmPass>();
    m_trovaCap = std::make_unique<TfrmTrovaCap>(*this);
    createReferenceWindows();
    m_pagamentiContatto = std::make_unique<TfrmPagamentiContatto>(*m_formDb);
    m_importaPagamento = std::make_unique<TfrmImportaPagamento>(*m_formDb);
    m_tipologieGriglia = std::make_unique<TfrmGrigliaTipologieCalendario>(*this);
    m_promemoria = std::make_unique<TfrmPromemoriaScadenze>();
    m_tipologia = std::make_unique<TfrmTipologiaCalendario>(*this);
    linkContactWindows();
}

void Program::linkContactWindows()
{
    m_pagamentiContatto->setPicker(m_importaPagamento.get());
    m_contattiDett->findChild<PagamentiPage *>()->setPaymentWindow(m_pagamentiContatto.get());
    ContactEditorLinks links;
    links.categorie = {[this] { m_categorieGriglia->Aggiungi(); }, [this] { m_categorieGriglia->apriDettaglio(); }};
    links.professioni = {[this] { m_professioniGriglia->Aggiungi(); }, [this] { m_professioniGriglia->apriDettaglio(); }};
    links.titoli = {[this] { m_titoliGriglia->Aggiungi(); }, [this] { m_titoliGriglia->apriDettaglio(); }};
    links.comuni = {[this] { m_comuniGriglia->Aggiungi(); }, [this] { m_comuniGriglia->apriDettaglio(); }};
    links.trovaCap = [this](const QString &comune) { return m_trovaCap->trovaCap(comune); };
    links.print = [this](int kind) { m_inizio->print(kind); };
    m_contattiDett->setLinks(std::move(links));
}

Program::~Program() = default;

void Program::createReferenceWindows()
{
    m_categorieGriglia = std::make_unique<TfrmCategorieContatti_Griglia>(*this);
    m_professioniGriglia = std::make_unique<TfrmGriglia_Professioni>(*this);
    m_professioni = std::make_unique<TfrmProfessioni_Dettaglio>(*this);
    m_comuniGriglia = std::make_unique<TfrmGrigliaComuni>(*this);
    m_comuni = std::make_unique<TfrmComuniDett>(*this);
    m_titoliGriglia = std::make_unique<TfrmGriglia_Titoli>(*this);
    m_titoli = std::make_unique<TfrmTitoli_Dettaglio>(*this);
    m_tipoPagamentiGriglia = std::make_unique<TfrmGriglia_TipoPagamenti>(*this);
    m_tipoPagamenti = std::make_unique<TfrmTipoPagamenti_Dettaglio>(*this);
}
