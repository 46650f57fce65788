#pragma once

#include <QDialog>

class QLineEdit;

// The administrator password prompt: one masked field, "OK" (Enter) and "Annulla" (Esc). It
// does not judge the text: the start-up sequence compares it.
class TfrmPass : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmPass(QWidget *parent = nullptr);

    QString password() const;
    void clear();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_edit;
};
