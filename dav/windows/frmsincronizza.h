#pragma once

#include "dav/davsync.h"
#include "db/core/connection.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class WorkerThread;

// "Sincronizzazione": one sync of the contacts and the agenda with the phones' server, run on a
// thread of its own with a connection of its own, so that the window never waits on the
// network. It shows what it is doing, offers "Annulla" while it runs, and at the end says what
// was done, conflicts included, or why nothing was.
class TfrmSincronizza : public QDialog
{
    Q_OBJECT

public:
    // A connection to the archive for the sync alone, opened on the window's thread (where the
    // server's password may be asked) and then used only by the sync's.
    using OpenConnection = std::function<db::Result<std::unique_ptr<db::Connection>>()>;

    TfrmSincronizza(db::Connection &archive, OpenConnection openOwn, QWidget *parent = nullptr);
    ~TfrmSincronizza() override;

    // Reads the settings and starts the sync; with no server set it says where to set one. While
    // a sync runs, brings the window forward.
    void apri();
    bool isRunning() const;
    QString summary() const;

    // For the tests: the office's zone and clock, otherwise the system's.
    void setOptions(const dav::SyncOptions &options) { m_options = options; }

Q_SIGNALS:
    // The sync ended; `archiveChanged` when it changed contacts or appointments.
    void syncFinished(bool archiveChanged);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void showStep(const QString &what, int done, int total);
    void showEnd(const db::Result<dav::SyncReport> &result);

    db::Connection &m_archive;
    OpenConnection m_openOwn;
    dav::SyncOptions m_options;
    QLabel *m_state;
    QProgressBar *m_bar;
    QPlainTextEdit *m_summary;
    QPushButton *m_cancel;
    QPushButton *m_close;
    WorkerThread *m_worker;
    bool m_cancelled = false;
};
