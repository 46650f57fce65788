#include "reference/windows/lookupwindows.h"

TfrmProfessioni_Dettaglio::TfrmProfessioni_Dettaglio(Tform_DB &db)
    : LookupDetailWindow(db, reference::professioni(), &Tform_DB::TableProfessioni)
{
    setObjectName(QStringLiteral("frmProfessioni_Dettaglio"));
}

TfrmGriglia_Professioni::TfrmGriglia_Professioni(Tform_DB &db, TfrmProfessioni_Dettaglio &detail)
    : LookupListWindow(db, reference::professioni(), &Tform_DB::TableProfessioni, detail)
{
    setObjectName(QStringLiteral("frmGriglia_Professioni"));
}

TfrmTitoli_Dettaglio::TfrmTitoli_Dettaglio(Tform_DB &db)
    : LookupDetailWindow(db, reference::titoli(), &Tform_DB::TableTitoli)
{
    setObjectName(QStringLiteral("frmTitoli_Dettaglio"));
}

TfrmGriglia_Titoli::TfrmGriglia_Titoli(Tform_DB &db, TfrmTitoli_Dettaglio &detail)
    : LookupListWindow(db, reference::titoli(), &Tform_DB::TableTitoli, detail)
{
    setObjectName(QStringLiteral("frmGriglia_Titoli"));
}

TfrmTipoPagamenti_Dettaglio::TfrmTipoPagamenti_Dettaglio(Tform_DB &db)
    : LookupDetailWindow(db, reference::tipoPagamenti(), &Tform_DB::TableTipoPagamenti)
{
    setObjectName(QStringLiteral("frmTipoPagamenti_Dettaglio"));
}

TfrmGriglia_TipoPagamenti::TfrmGriglia_TipoPagamenti(Tform_DB &db,
                                                     TfrmTipoPagamenti_Dettaglio &detail)
    : LookupListWindow(db, reference::tipoPagamenti(), &Tform_DB::TableTipoPagamenti, detail)
{
    setObjectName(QStringLiteral("frmGriglia_TipoPagamenti"));
}

TfrmTipologiaCalendario::TfrmTipologiaCalendario(Tform_DB &db)
    : LookupDetailWindow(db, reference::tipologieCalendario(), &Tform_DB::TableTipologiaCalendario)
{
    setObjectName(QStringLiteral("frmTipologiaCalendario"));
}

TfrmGrigliaTipologieCalendario::TfrmGrigliaTipologieCalendario(Tform_DB &db,
                                                               TfrmTipologiaCalendario &detail)
    : LookupListWindow(db, reference::tipologieCalendario(), &Tform_DB::TableTipologiaCalendario,
                       detail)
{
    setObjectName(QStringLiteral("frmGrigliaTipologieCalendario"));
}
