#include "migration/windows/frmimportazione.h"

#include "common/dialogs.h"

#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>

TfrmImportazione::TfrmImportazione(QWidget *parent) : m_parent(parent) {}

TfrmImportazione::~TfrmImportazione() = default;

bool TfrmImportazione::esegui(const QString &source, const migration::ImportRunner::Work &work)
{
    if (m_runner.isRunning())
        return false;
    m_progress = new QProgressDialog(m_parent);
    m_progress->setObjectName(QStringLiteral("frmImportazione"));
    m_progress->setProperty("helpContext", 1050);
    m_progress->setWindowTitle(QStringLiteral("Archivio della versione per Windows"));
    m_progress->setLabelText(
        QStringLiteral("Conversione di %1…").arg(QDir::toNativeSeparators(source)));
    m_progress->setCancelButtonText(QStringLiteral("Annulla"));
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    // Wide enough for its caption and the file's name.
    m_progress->setMinimumWidth(480);
    m_progress->setRange(0, 0);

    migration::ImportOutcome outcome;
    QEventLoop loop;
    const auto progressed =
        connect(&m_runner, &migration::ImportRunner::progress, m_progress,
                [this](qint64 done, qint64 total) {
                    // The bar counts thousands: an int holds any archive.
                    m_progress->setRange(0, int(std::max<qint64>(total, 1) / 1000 + 1));
                    m_progress->setValue(int(done / 1000));
                });
    const auto ended = connect(&m_runner, &migration::ImportRunner::finished, &loop,
                               [&](const migration::ImportOutcome &o) {
                                   outcome = o;
                                   loop.quit();
                               });
    connect(m_progress, &QProgressDialog::canceled, &m_runner, [this] {
        m_runner.cancel();
        m_progress->setLabelText(QStringLiteral("Interruzione in corso…"));
    });
    m_progress->show();
    m_runner.start(work);
    Q_EMIT started();
    loop.exec();
    disconnect(progressed);
    disconnect(ended);
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;

    if (!outcome.ok) {
        dialogs().error(outcome.message);
        return false;
    }
    dialogs().information(
        QStringLiteral("Archivio convertito.\n\n") +
            // A table and its rows as "Contatti: 20000": tabs do not line
            // up in a message box's proportional font.
            migration::describeImport(outcome.summary).replace(u'\t', QStringLiteral(": ")),
        QStringLiteral("Archivio della versione per Windows"));
    return true;
}
