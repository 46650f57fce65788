#pragma once

#include "reference/windows/lookupdetailwindow.h"
#include "reference/windows/lookuplistwindow.h"

// The professions, titles, payment types and appointment types: lists and detail windows that
// differ only in their table's texts and rules (reference/lookuptables.h).

class TfrmProfessioni_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmProfessioni_Dettaglio(ReferenceStore &store);
};

class TfrmGriglia_Professioni : public LookupListWindow
{
    Q_OBJECT

public:
    TfrmGriglia_Professioni(ReferenceStore &store, TfrmProfessioni_Dettaglio &detail);
};

class TfrmTitoli_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTitoli_Dettaglio(ReferenceStore &store);
};

class TfrmGriglia_Titoli : public LookupListWindow
{
    Q_OBJECT

public:
    TfrmGriglia_Titoli(ReferenceStore &store, TfrmTitoli_Dettaglio &detail);
};

class TfrmTipoPagamenti_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTipoPagamenti_Dettaglio(ReferenceStore &store);
};

class TfrmGriglia_TipoPagamenti : public LookupListWindow
{
    Q_OBJECT

public:
    TfrmGriglia_TipoPagamenti(ReferenceStore &store, TfrmTipoPagamenti_Dettaglio &detail);
};

class TfrmTipologiaCalendario : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTipologiaCalendario(ReferenceStore &store);
};

class TfrmGrigliaTipologieCalendario : public LookupListWindow
{
    Q_OBJECT

public:
    TfrmGrigliaTipologieCalendario(ReferenceStore &store, TfrmTipologiaCalendario &detail);
};
