#pragma once

#include <QDialog>

class QPlainTextEdit;

// "Indirizzi Email": the addresses of the selected contacts, one per line, ready to copy.
class TfrmIndirizziEmail : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmIndirizziEmail(QWidget *parent = nullptr);

    void clear();
    void addLine(const QString &line);
    QString text() const;

    void copiaTutto(); // "Copia Tutto"
    void copia();      // "Copia"

private:
    QPlainTextEdit *m_text;
};

// "Inserisci Email": asks for one address.
class TfrmInsEmail : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmInsEmail(QWidget *parent = nullptr);

    void clear();
    QString email() const;

private:
    class QLineEdit *m_email;
};
