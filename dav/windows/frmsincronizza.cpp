#include "dav/windows/frmsincronizza.h"

#include "common/dialogs.h"
#include "common/workerthread.h"
#include "dav/syncstore.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSincronizza::TfrmSincronizza(db::Connection &archive, OpenConnection openOwn, QWidget *parent)
    : QDialog(parent), m_archive(archive), m_openOwn(std::move(openOwn))
{
    setObjectName(QStringLiteral("frmSincronizza"));
    setWindowTitle(QStringLiteral("Sincronizzazione con i telefoni"));
    setProperty("helpContext", 1060);
    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("lblStato"));
    m_state->setWordWrap(true);
    layout->addWidget(m_state);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("barProgresso"));
    layout->addWidget(m_bar);
    auto *title = new QLabel(QStringLiteral("&Riepilogo"), this);
    layout->addWidget(title);
    m_summary = new QPlainTextEdit(this);
    m_summary->setObjectName(QStringLiteral("txtRiepilogo"));
    m_summary->setReadOnly(true);
    title->setBuddy(m_summary);
    layout->addWidget(m_summary, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancel = new QPushButton(QStringLiteral("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("btnAnnulla"));
    m_close = new QPushButton(QStringLiteral("Chiudi"), this);
    m_close->setObjectName(QStringLiteral("btnChiudi"));
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    m_worker = new WorkerThread(this);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_worker->requestStop();
        m_cancelled = true;
        m_cancel->setEnabled(false);
        m_state->setText(QStringLiteral("Annullamento in corso…"));
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    resize(620, 380);
}

TfrmSincronizza::~TfrmSincronizza() = default;

bool TfrmSincronizza::isRunning() const
{
    return m_worker->isRunning();
}

QString TfrmSincronizza::summary() const
{
    return m_summary->toPlainText();
}

void TfrmSincronizza::apri()
{
    if (isRunning()) {
        show();
        raise();
        activateWindow();
        return;
    }
    const db::Result<dav::StoredSettings> stored = dav::readStoredSettings(m_archive);
    if (!stored) {
        dialogs().error(stored.message());
        return;
    }
    if (stored->server.trimmed().isEmpty()) {
        dialogs().information(QStringLiteral("Prima di sincronizzare indicare il server della "
                                             "rubrica e del calendario nelle Opzioni, scheda "
                                             "«Sincronizzazione»."),
                              windowTitle());
        return;
    }
    db::Result<std::unique_ptr<db::Connection>> own = m_openOwn();
    if (!own) {
        dialogs().error(own.message());
        return;
    }
    dav::DavSettings settings;
    settings.server = stored->server;
    settings.user = stored->user;
    settings.password = stored->password;
    const dav::SyncOptions options = m_options;

    m_summary->clear();
    m_cancelled = false;
    m_state->setText(QStringLiteral("Ricerca della rubrica e del calendario sul server…"));
    m_bar->setRange(0, 0);
    m_cancel->setEnabled(true);
    m_close->setEnabled(false);
    show();
    raise();
    activateWindow();

    // The connection moves to the sync's thread, which alone uses it and closes it.
    std::shared_ptr<db::Connection> connection(std::move(*own));
    m_worker->start([this, connection, settings,
                     options](const std::atomic_bool &stop) -> std::function<void()> {
        dav::SyncProgress progress;
        progress.keepGoing = [&stop] { return !stop.load(); };
        progress.step = [this](const QString &what, int done, int total) {
            m_worker->post([this, what, done, total] { showStep(what, done, total); });
        };
        db::Result<dav::SyncReport> result =
            dav::synchronise(*connection, settings, options, progress);
        return [this, result = std::move(result)] { showEnd(result); };
    });
}

void TfrmSincronizza::showStep(const QString &what, int done, int total)
{
    if (total <= 0) {
        m_bar->setRange(0, 0);
        m_state->setText(QStringLiteral("%1: lettura delle modifiche sul server…").arg(what));
        return;
    }
    m_bar->setRange(0, total);
    m_bar->setValue(done);
    m_state->setText(QStringLiteral("%1: %2 di %3").arg(what).arg(done).arg(total));
}

void TfrmSincronizza::showEnd(const db::Result<dav::SyncReport> &result)
{
    // Full only when it was all done.
    m_bar->setRange(0, 1);
    m_bar->setValue(result ? 1 : 0);
    m_cancel->setEnabled(false);
    m_close->setEnabled(true);
    m_close->setDefault(true);
    m_close->setFocus();
    if (!result) {
        m_state->setText(m_cancelled ? QStringLiteral("Sincronizzazione annullata.")
                                     : QStringLiteral("Sincronizzazione non riuscita."));
        m_summary->setPlainText(
            m_cancelled ? result.message()
                        : result.message() +
                              QStringLiteral("\n\nL'indirizzo del server, l'utente e la password "
                                             "sono nelle Opzioni, scheda «Sincronizzazione»."));
        Q_EMIT syncFinished(false);
        return;
    }
    const int changed = result->contacts.updated + result->agenda.updated;
    m_state->setText(result->conflicts.isEmpty()
                         ? QStringLiteral("Sincronizzazione conclusa.")
                         : QStringLiteral("Sincronizzazione conclusa, con conflitti: per ogni "
                                          "campo cambiato da entrambe le parti è stato tenuto "
                                          "il valore dell'archivio."));
    m_summary->setPlainText(result->text());
    Q_EMIT syncFinished(changed > 0);
}

void TfrmSincronizza::closeEvent(QCloseEvent *event)
{
    // Closing a running sync stops it, as "Annulla" does; the window stays to say so.
    if (isRunning()) {
        if (m_cancel->isEnabled())
            m_cancel->click();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmSincronizza::reject()
{
    if (isRunning()) {
        m_cancel->click();
        return;
    }
    QDialog::reject();
}
