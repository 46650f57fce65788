#pragma once

#include "mail/mailbatch.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressDialog;
class QToolButton;
namespace db {
class Connection;
}

namespace mail {
class MailSender;
}

// "Email": one message (subject, text, attachments) sent separately to each recipient through
// the SMTP server of the options. Sending runs on a thread of its own behind a progress window
// with "Annulla"; the window stays responsive meanwhile.
class TfrmEmail : public QDialog
{
    Q_OBJECT

public:
    // `askAddress`: the address prompt; returns what the user typed, empty for nothing.
    // The SMTP settings are read from `archive` at each send.
    TfrmEmail(db::Connection &archive, std::function<QString()> askAddress,
              QWidget *parent = nullptr);
    ~TfrmEmail() override;

    // What a caller does before opening the window: both lists emptied, subject and text set,
    // the recipients added one per line.
    void prepara(const QStringList &recipients, const QString &subject, const QString &text);
    // Shows the window modally.
    void apri();

    void spdEmailClick();        // "Invia email"
    void aggiungiDestinatario(); // spdInserisciPiccolo
    void eliminaDestinatario();  // spdEliminaPiccolo
    void eliminaDestinatari();   // SpeedButton6
    void aggiungiAllegati();     // SpeedButton5, "Allega File"
    void eliminaAllegato();      // SpeedButton4
    void eliminaAllegati();      // SpeedButton3
    void azzera();               // BitBtn1, "Azzera"

    QStringList destinatari() const;
    QStringList allegati() const;
    bool isSending() const;
    // The progress window while sending, for the tests; nullptr otherwise.
    QProgressDialog *progressWindow() const { return m_progress; }

Q_SIGNALS:
    // After the end message was shown.
    void sendingFinished(const QString &summary);

private:
    void showProgress(int index, int total);
    void sent(const QList<mail::RecipientOutcome> &outcomes);

    db::Connection &m_archive;
    std::function<QString()> m_askAddress;
    mail::MailSender *m_sender;
    QProgressDialog *m_progress = nullptr;
    // The recipients left out as not addresses, named with the run's outcome.
    QList<mail::RecipientOutcome> m_unreadable;
    QListWidget *m_destinatari;
    QLineEdit *m_oggetto;
    QPlainTextEdit *m_testo;
    QListWidget *m_allegati;
    QToolButton *m_invia;
};
