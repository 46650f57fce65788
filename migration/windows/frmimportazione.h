#pragma once

#include "migration/importrunner.h"

#include <QObject>

class QProgressDialog;
class QWidget;

// The import of a Windows version's archive, with its progress window ("Annulla" stops it and
// nothing is written) and, at the end, the summary or the reason it failed.
class TfrmImportazione : public QObject
{
    Q_OBJECT

public:
    explicit TfrmImportazione(QWidget *parent = nullptr);
    ~TfrmImportazione() override;

    // Runs `work` for `source` while the progress window shows; returns when it has ended, with
    // the user told what was done. True when the new archive was written.
    bool esegui(const QString &source, const migration::ImportRunner::Work &work);

    // The progress window while an import runs (for the tests); nullptr otherwise.
    QProgressDialog *progressWindow() const { return m_progress; }

Q_SIGNALS:
    void started();

private:
    QWidget *m_parent;
    migration::ImportRunner m_runner;
    QProgressDialog *m_progress = nullptr;
};
