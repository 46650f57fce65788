#include "mail/windows/frmemail.h"

#include "common/dialogs.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "mail/mailsender.h"
#include "mail/smtpsettings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kAvviso = QStringLiteral("Messaggio di Avviso");

QStringList itemsOf(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

void removeSelected(QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

// A column of small buttons beside a list: add, remove the selected one, remove all.
QVBoxLayout *listButtons(QWidget *parent, const QList<QToolButton *> &buttons)
{
    auto *column = new QVBoxLayout;
    for (QToolButton *b : buttons) {
        b->setParent(parent);
        column->addWidget(b);
    }
    column->addStretch();
    return column;
}

QToolButton *smallButton(const QString &name, const QString &text, const QString &hint)
{
    auto *b = new QToolButton;
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TfrmEmail::TfrmEmail(db::Connection &archive, std::function<QString()> askAddress, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_archive(archive), m_askAddress(std::move(askAddress)), m_sender(new mail::MailSender(this))
{
    setObjectName(QStringLiteral("frmEmail"));
    setWindowTitle(QStringLiteral("Email"));
    setHelpContext(this, 18100);
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    auto *aiuto = toolButton(this, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                             QStyle::SP_DialogHelpButton);
    m_invia = toolButton(this, QStringLiteral("spdEmail"), QStringLiteral("Invia email"),
                         QStringLiteral("Invia il messaggio a ogni destinatario"),
                         QStyle::SP_MessageBoxInformation);
    auto *indietro = toolButton(this, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"),
                                QString(), QStyle::SP_ArrowBack);
    for (QToolButton *b : {aiuto, m_invia, indietro})
        toolbar->addWidget(b);
    toolbar->addStretch();
    layout->addLayout(toolbar);

    auto *grid = new QGridLayout;
    m_destinatari = new QListWidget(this);
    m_destinatari->setObjectName(QStringLiteral("txtDestinatario"));
    auto *aggiungi = smallButton(QStringLiteral("spdInserisciPiccolo"), QStringLiteral("+"),
                                 QStringLiteral("Aggiunge un destinatario"));
    auto *elimina = smallButton(QStringLiteral("spdEliminaPiccolo"), QStringLiteral("-"),
                                QStringLiteral("Elimina il destinatario selezionato"));
    auto *eliminaTutti = smallButton(QStringLiteral("SpeedButton6"), QStringLiteral("x"),
                                     QStringLiteral("Elimina tutti i destinatari"));
    grid->addWidget(new QLabel(QStringLiteral("Destinatari"), this), 0, 0, Qt::AlignTop);
    grid->addWidget(m_destinatari, 0, 1);
    grid->addLayout(listButtons(this, {aggiungi, elimina, eliminaTutti}), 0, 2);

    m_oggetto = new QLineEdit(this);
    m_oggetto->setObjectName(QStringLiteral("txtOggetto"));
    grid->addWidget(new QLabel(QStringLiteral("Oggetto"), this), 1, 0);
    grid->addWidget(m_oggetto, 1, 1);

    m_testo = new QPlainTextEdit(this);
    m_testo->setObjectName(QStringLiteral("txtTesto"));
    grid->addWidget(new QLabel(QStringLiteral("Testo"), this), 2, 0, Qt::AlignTop);
    grid->addWidget(m_testo, 2, 1);

    m_allegati = new QListWidget(this);
    m_allegati->setObjectName(QStringLiteral("txtAllegati"));
    auto *allega = smallButton(QStringLiteral("SpeedButton5"), QStringLiteral("+"),
                               QStringLiteral("Allega File"));
    auto *togli = smallButton(QStringLiteral("SpeedButton4"), QStringLiteral("-"),
                              QStringLiteral("Elimina l'allegato selezionato"));
    auto *togliTutti = smallButton(QStringLiteral("SpeedButton3"), QStringLiteral("x"),
                                   QStringLiteral("Elimina tutti gli allegati"));
    grid->addWidget(new QLabel(QStringLiteral("Allegati"), this), 3, 0, Qt::AlignTop);
    grid->addWidget(m_allegati, 3, 1);
    grid->addLayout(listButtons(this, {allega, togli, togliTutti}), 3, 2);
    grid->setRowStretch(2, 3);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(3, 1);
    layout->addLayout(grid, 1);

    auto *azzeraButton = new QPushButton(QStringLiteral("Azzera"), this);
    azzeraButton->setObjectName(QStringLiteral("BitBtn1"));
    azzeraButton->setAutoDefault(false);
    layout->addWidget(azzeraButton, 0, Qt::AlignRight);

    InputConventions::attach(this, InputConventions::Kind::List);
    InputConventions::connectHelpButton(aiuto);
    connect(m_invia, &QToolButton::clicked, this, &TfrmEmail::spdEmailClick);
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(aggiungi, &QToolButton::clicked, this, &TfrmEmail::aggiungiDestinatario);
    connect(elimina, &QToolButton::clicked, this, &TfrmEmail::eliminaDestinatario);
    connect(eliminaTutti, &QToolButton::clicked, this, &TfrmEmail::eliminaDestinatari);
    connect(allega, &QToolButton::clicked, this, &TfrmEmail::aggiungiAllegati);
    connect(togli, &QToolButton::clicked, this, &TfrmEmail::eliminaAllegato);
    connect(togliTutti, &QToolButton::clicked, this, &TfrmEmail::eliminaAllegati);
    connect(azzeraButton, &QPushButton::clicked, this, &TfrmEmail::azzera);
    connect(m_sender, &mail::MailSender::progress, this, &TfrmEmail::showProgress);
    connect(m_sender, &mail::MailSender::finished, this, &TfrmEmail::sent);
    resize(760, 620);
}

TfrmEmail::~TfrmEmail() = default;

void TfrmEmail::prepara(const QStringList &recipients, const QString &subject, const QString &text)
{
    m_destinatari->clear();
    m_allegati->clear();
    m_oggetto->setText(subject);
    m_testo->setPlainText(text);
    m_destinatari->addItems(recipients);
}

void TfrmEmail::apri()
{
    dialogs().showModal(this);
}

QStringList TfrmEmail::destinatari() const
{
    return itemsOf(m_destinatari);
}

QStringList TfrmEmail::allegati() const
{
    return itemsOf(m_allegati);
}

bool TfrmEmail::isSending() const
{
    return m_sender->isRunning();
}

void TfrmEmail::aggiungiDestinatario()
{
    const QString address = m_askAddress ? m_askAddress() : QString();
    if (!address.trimmed().isEmpty())
        m_destinatari->addItem(address);
}

void TfrmEmail::eliminaDestinatario()
{
    removeSelected(m_destinatari);
}

void TfrmEmail::eliminaDestinatari()
{
    m_destinatari->clear();
}

void TfrmEmail::aggiungiAllegati()
{
    m_allegati->addItems(
        dialogs().chooseOpenFiles(QStringLiteral("Allega File"), QString(), QString()));
}

void TfrmEmail::eliminaAllegato()
{
    removeSelected(m_allegati);
}

void TfrmEmail::eliminaAllegati()
{
    m_allegati->clear();
}

void TfrmEmail::azzera()
{
    m_allegati->clear();
    m_destinatari->clear();
    m_oggetto->clear();
    m_testo->clear();
}

void TfrmEmail::spdEmailClick()
{
    if (m_sender->isRunning())
        return;
    QStringList lines = destinatari();
    lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
    if (lines.isEmpty()) {
        dialogs().inform(MessageKind::Warning, QStringLiteral("Manca il destinatario"), kAvviso);
        return;
    }
    // Everything that can be known before the first message is checked once, here: the
    // settings, every address, every attachment.
    db::Result<mail::SmtpSettings> settings = mail::readSmtpSettings(m_archive);
    if (!settings) {
        dialogs().error(settings.message());
        return;
    }
    if (const QString missing = mail::missingSetting(*settings); !missing.isEmpty()) {
        dialogs().inform(MessageKind::Warning, missing, kAvviso);
        return;
    }
    // A line that is not an address is left out and named at the end; the others are sent.
    mail::RecipientLines read = mail::readRecipientLines(lines);
    if (read.addresses.isEmpty()) {
        dialogs().inform(MessageKind::Warning,
                         read.unreadable.isEmpty() ? QStringLiteral("Manca il destinatario")
                                                   : read.unreadable.first().result.reason,
                         kAvviso);
        return;
    }
    const QList<mail::MailAddress> *recipients = &read.addresses;
    const mail::MailDraft draft{m_oggetto->text(), m_testo->toPlainText(), allegati()};
    if (const QString missing = mail::checkAttachments(draft.attachmentPaths); !missing.isEmpty()) {
        dialogs().inform(MessageKind::Warning, missing, kAvviso);
        return;
    }

    m_progress = new QProgressDialog(this);
    m_progress->setObjectName(QStringLiteral("frmInvio"));
    m_progress->setWindowTitle(QStringLiteral("Invio email"));
    m_progress->setCancelButtonText(QStringLiteral("Annulla"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->setRange(0, int(recipients->size()));
    connect(m_progress, &QProgressDialog::canceled, m_sender, &mail::MailSender::cancel);
    showProgress(0, int(recipients->size()));
    m_progress->show();
    m_invia->setEnabled(false);
    m_unreadable = read.unreadable;
    m_sender->start(*settings, draft, *recipients);
}

void TfrmEmail::showProgress(int index, int total)
{
    if (!m_progress)
        return;
    m_progress->setLabelText(QStringLiteral("Invio %1 di %2").arg(index + 1).arg(total));
    m_progress->setValue(index);
}

void TfrmEmail::sent(const QList<mail::RecipientOutcome> &outcomes)
{
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    m_invia->setEnabled(true);
    const QList<mail::RecipientOutcome> all = outcomes + std::exchange(m_unreadable, {});
    const mail::BatchReport report = mail::batchReport(all);
    // The icon says how it went: everything sent, part of it, nothing.
    const MessageKind kind = report.sent == report.total ? MessageKind::Information
                             : report.sent == 0          ? MessageKind::Error
                                                         : MessageKind::Warning;
    dialogs().informWithDetails(kind, report.summary, report.details, kAvviso);
    Q_EMIT sendingFinished(mail::batchSummary(all));
}
