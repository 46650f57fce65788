#include "reference/lookupwindows.h"

#include "app/program.h"

TfrmProfessioni_Dettaglio::TfrmProfessioni_Dettaglio(Program &program)
    : LookupDetailWindow(program, reference::professioni(), &Tform_DB::TableProfessioni)
{
    setObjectName(QStringLiteral("frmProfessioni_Dettaglio"));
}

TfrmGriglia_Professioni::TfrmGriglia_Professioni(Program &program)
    : LookupListWindow(program, reference::professioni(), &Tform_DB::TableProfessioni)
{
    setObjectName(QStringLiteral("frmGriglia_Professioni"));
}

LookupDetailWindow &TfrmGriglia_Professioni::detail()
{
    return m_program.frmProfessioniDettaglio();
}

TfrmTitoli_Dettaglio::TfrmTitoli_Dettaglio(Program &program)
    : LookupDetailWindow(program, reference::titoli(), &Tform_DB::TableTitoli)
{
    setObjectName(QStringLiteral("frmTitoli_Dettaglio"));
}

TfrmGriglia_Titoli::TfrmGriglia_Titoli(Program &program)
    : LookupListWindow(program, reference::titoli(), &Tform_DB::TableTitoli)
{
    setObjectName(QStringLiteral("frmGriglia_Titoli"));
}

LookupDetailWindow &TfrmGriglia_Titoli::detail()
{
    return m_program.frmTitoliDettaglio();
}

TfrmTipoPagamenti_Dettaglio::TfrmTipoPagamenti_Dettaglio(Program &program)
    : LookupDetailWindow(program, reference::tipoPagamenti(), &Tform_DB::TableTipoPagamenti)
{
    setObjectName(QStringLiteral("frmTipoPagamenti_Dettaglio"));
}

TfrmGriglia_TipoPagamenti::TfrmGriglia_TipoPagamenti(Program &program)
    : LookupListWindow(program, reference::tipoPagamenti(), &Tform_DB::TableTipoPagamenti)
{
    setObjectName(QStringLiteral("frmGriglia_TipoPagamenti"));
}

LookupDetailWindow &TfrmGriglia_TipoPagamenti::detail()
{
    return m_program.frmTipoPagamentiDettaglio();
}

TfrmTipologiaCalendario::TfrmTipologiaCalendario(Program &program)
    : LookupDetailWindow(program, reference::tipologieCalendario(),
                         &Tform_DB::TableTipologiaCalendario)
{
    setObjectName(QStringLiteral("frmTipologiaCalendario"));
}

TfrmGrigliaTipologieCalendario::TfrmGrigliaTipologieCalendario(Program &program)
    : LookupListWindow(program, reference::tipologieCalendario(),
                       &Tform_DB::TableTipologiaCalendario)
{
    setObjectName(QStringLiteral("frmGrigliaTipologieCalendario"));
}

LookupDetailWindow &TfrmGrigliaTipologieCalendario::detail()
{
    return m_program.frmTipologiaCalendario();
}
