#include "app/frminizio.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmInizio::TfrmInizio(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmInizio"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *welcome = new QLabel(QStringLiteral("Archivio contatti, agenda, pagamenti e avvisi."), central);
    layout->addWidget(welcome, 1, Qt::AlignCenter);
    m_path = new QLineEdit(central);
    m_path->setObjectName(QStringLiteral("Memo1"));
    m_path->setReadOnly(true);
    layout->addWidget(m_path);
    auto *esci = new QPushButton(QStringLiteral("Esci"), central);
    esci->setObjectName(QStringLiteral("cmdEsci"));
    connect(esci, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(esci, 0, Qt::AlignRight);
    setCentralWidget(central);
    resize(800, 560);
    setCompanyName(QString());
}

void TfrmInizio::setCompanyName(const QString &companyName)
{
    setWindowTitle(QStringLiteral("Calvetra - ") + companyName);
}

void TfrmInizio::setArchivePath(const QString &path)
{
    m_path->setText(path);
}
