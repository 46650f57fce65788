#pragma once

#include <QString>

#include <memory>

class TfrmInizio;
class TfrmPass;
class Tform_DB;
class TfrmPromemoriaScadenze;

// Every window of the program, created once at start in a fixed order (a window may use only
// those created before it) and kept until the end: windows are shown and hidden, never
// re-created, so their searches, filters and flags last from one opening to the next.
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
    TfrmPromemoriaScadenze &frmPromemoriaScadenze() { return *m_promemoria; }

private:
    QString m_programFolder;
    std::unique_ptr<TfrmInizio> m_inizio;
    std::unique_ptr<TfrmPass> m_pass;
    std::unique_ptr<Tform_DB> m_formDb;
    std::unique_ptr<TfrmPromemoriaScadenze> m_promemoria;
};
