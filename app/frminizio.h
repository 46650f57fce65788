#pragma once

#include <QMainWindow>

class QLineEdit;

// The main window: the launcher of every other window.
class TfrmInizio : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmInizio(QWidget *parent = nullptr);

    // "Calvetra - " followed by the company name.
    void setCompanyName(const QString &companyName);
    void setArchivePath(const QString &path);

private:
    QLineEdit *m_path;
};
