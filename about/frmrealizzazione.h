#pragma once

#include "about/makerinfo.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;

// "Realizzazione": the program line, the maker's lines (the web and mail lines open the
// desktop's browser and mail program) and a message to the support service, sent through the
// e-mail window.
class TfrmRealizzazione : public QDialog
{
    Q_OBJECT

public:
    // `compose`: fills the e-mail window with the recipient, subject and text given and opens it.
    // `openUrl`: asks the desktop to open an address ("open" verb).
    // `maker`: the lines shown (readMakerInfo()); what is empty there is not shown, and without a
    // support address there is no support mail.
    TfrmRealizzazione(
        about::MakerInfo maker,
        std::function<void(const QString &to, const QString &subject, const QString &text)> compose,
        std::function<void(const QUrl &)> openUrl, QWidget *parent = nullptr);

    void SpeedButton1Click(); // "Invia"
    void Label8Click();       // the web address
    void Label2Click();       // the support address

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    about::MakerInfo m_maker;
    std::function<void(const QString &, const QString &, const QString &)> m_compose;
    std::function<void(const QUrl &)> m_openUrl;
    QPlainTextEdit *m_memo;
};
