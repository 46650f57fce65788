#pragma once

#include "reference/lookupdetailwindow.h"
#include "reference/lookuplistwindow.h"

// The professions, titles, payment types and appointment types: lists and detail windows that
// differ only in their table's texts and rules (reference/lookuptables.h).

class TfrmProfessioni_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmProfessioni_Dettaglio(Program &program);
};

class TfrmGriglia_Professioni : public LookupListWindow
{
    Q_OBJECT

public:
    explicit TfrmGriglia_Professioni(Program &program);

protected:
    LookupDetailWindow &detail() override;
};

class TfrmTitoli_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTitoli_Dettaglio(Program &program);
};

class TfrmGriglia_Titoli : public LookupListWindow
{
    Q_OBJECT

public:
    explicit TfrmGriglia_Titoli(Program &program);

protected:
    LookupDetailWindow &detail() override;
};

class TfrmTipoPagamenti_Dettaglio : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTipoPagamenti_Dettaglio(Program &program);
};

class TfrmGriglia_TipoPagamenti : public LookupListWindow
{
    Q_OBJECT

public:
    explicit TfrmGriglia_TipoPagamenti(Program &program);

protected:
    LookupDetailWindow &detail() override;
};

class TfrmTipologiaCalendario : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmTipologiaCalendario(Program &program);
};

class TfrmGrigliaTipologieCalendario : public LookupListWindow
{
    Q_OBJECT

public:
    explicit TfrmGrigliaTipologieCalendario(Program &program);

protected:
    LookupDetailWindow &detail() override;
};
