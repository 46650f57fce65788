#include "app/program.h"

#include "app/datamodule.h"
#include "app/frminizio.h"
#include "app/frmpass.h"
#include "app/frmpromemoriascadenze.h"

Program::Program(const QString &programFolder) : m_programFolder(programFolder)
{
    m_inizio = std::make_unique<TfrmInizio>(*this);
    m_pass = std::make_unique<TfrmPass>();
    m_formDb = std::make_unique<Tform_DB>();
    m_promemoria = std::make_unique<TfrmPromemoriaScadenze>();
}

Program::~Program() = default;
