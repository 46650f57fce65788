#pragma once

#include "app/mainwindowlinks.h"
#include "app/startupsequence.h"
#include "db/core/result.h"
#include "session/reporthandoff.h"

#include <QMainWindow>

class QPlainTextEdit;
class QTabWidget;
class QToolButton;

// The main window: the launcher of every other window, the archive path and the birthdays of
// the month. Its first activation runs the start-up sequence.
class TfrmInizio : public QMainWindow
{
    Q_OBJECT

public:
    TfrmInizio();

    // What the window reaches and what its first activation runs: given once the windows and
    // the data they work on exist. The buttons work from then on.
    void setLinks(MainWindowLinks links, std::unique_ptr<StartupSequence> sequence);
    // The start-up sequence; later activations do nothing.
    void FormActivate();
    bool startupDone() const { return m_startupDone; }
    // Set when the program was told to end (a refused password, a refused new archive).
    bool terminationRequested() const { return m_terminate; }

    // The report hand-off: writes this workstation's print job of the report kind and starts
    // the report runner.
    void setReportKind(ReportKind kind) { m_reportKind = kind; }
    void Button1Click();
    // "Contatti": the contact list, without any search left from the last time.
    void btnClientiClick();
    // "Copia di sicurezza": a checked copy of the archive in use, in a file the user chooses
    // (for an archive on a PostgreSQL server, the pg_dump line to run instead).
    void btnCopiaDiSicurezzaClick();
    // "Ripristina copia…": puts a backup copy the user chooses back as the archive in use,
    // once no other window of the program and no other program has it open, after a question;
    // then uses it as at a start.
    void btnRipristinaCopiaClick();
    // "Da Windows": converts an archive of the Windows version the user chooses into a new
    // archive, then uses it as at a start.
    void btnArchivioWindowsClick();
    void print(ReportKind kind);

    QStringList birthdays() const;
    // The caption: "Calvetra - " and the company's name (as stored, or as given); "Calvetra"
    // while it has none.
    void showCompanyName();
    void showCompanyName(const QString &name);

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showReminders();
    void connectReferenceButtons();
    void terminate();
    QWidget *buildArchivioTab();
    QWidget *buildAttivitaTab();
    QWidget *buildStampeTab();
    QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption,
                               const QString &glyph, const QColor &colour);

    MainWindowLinks m_links;
    std::unique_ptr<StartupSequence> m_sequence;
    QTabWidget *m_tabs;
    QPlainTextEdit *m_path;
    QPlainTextEdit *m_birthdays;
    bool m_startupDone = false;
    bool m_starting = false;
    bool m_terminate = false;
    ReportKind m_reportKind = ReportKind::ContactBook;
};
