#include "reference/windows/lookupwindows.h"

TfrmProfessioni_Dettaglio::TfrmProfessioni_Dettaglio(ReferenceStore &store)
    : LookupDetailWindow(store, reference::professioni(), &ReferenceStore::TableProfessioni)
{
    setObjectName(QStringLiteral("frmProfessioni_Dettaglio"));
}

TfrmGriglia_Professioni::TfrmGriglia_Professioni(ReferenceStore &store,
                                                 TfrmProfessioni_Dettaglio &detail)
    : LookupListWindow(store, reference::professioni(), &ReferenceStore::TableProfessioni, detail)
{
    setObjectName(QStringLiteral("frmGriglia_Professioni"));
}

TfrmTitoli_Dettaglio::TfrmTitoli_Dettaglio(ReferenceStore &store)
    : LookupDetailWindow(store, reference::titoli(), &ReferenceStore::TableTitoli)
{
    setObjectName(QStringLiteral("frmTitoli_Dettaglio"));
}

TfrmGriglia_Titoli::TfrmGriglia_Titoli(ReferenceStore &store, TfrmTitoli_Dettaglio &detail)
    : LookupListWindow(store, reference::titoli(), &ReferenceStore::TableTitoli, detail)
{
    setObjectName(QStringLiteral("frmGriglia_Titoli"));
}

TfrmTipoPagamenti_Dettaglio::TfrmTipoPagamenti_Dettaglio(ReferenceStore &store)
    : LookupDetailWindow(store, reference::tipoPagamenti(), &ReferenceStore::TableTipoPagamenti)
{
    setObjectName(QStringLiteral("frmTipoPagamenti_Dettaglio"));
}

TfrmGriglia_TipoPagamenti::TfrmGriglia_TipoPagamenti(ReferenceStore &store,
                                                     TfrmTipoPagamenti_Dettaglio &detail)
    : LookupListWindow(store, reference::tipoPagamenti(), &ReferenceStore::TableTipoPagamenti,
                       detail)
{
    setObjectName(QStringLiteral("frmGriglia_TipoPagamenti"));
}

TfrmTipologiaCalendario::TfrmTipologiaCalendario(ReferenceStore &store)
    : LookupDetailWindow(store, reference::tipologieCalendario(),
                         &ReferenceStore::TableTipologiaCalendario)
{
    setObjectName(QStringLiteral("frmTipologiaCalendario"));
}

TfrmGrigliaTipologieCalendario::TfrmGrigliaTipologieCalendario(ReferenceStore &store,
                                                               TfrmTipologiaCalendario &detail)
    : LookupListWindow(store, reference::tipologieCalendario(),
                       &ReferenceStore::TableTipologiaCalendario, detail)
{
    setObjectName(QStringLiteral("frmGrigliaTipologieCalendario"));
}
