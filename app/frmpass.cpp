#include "app/frmpass.h"

#include "common/widgets/inputconventions.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TfrmPass::TfrmPass(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(QStringLiteral("Password"));
    setHelpContext(this, 1010);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Inserisci la Password"), this));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setEchoMode(QLineEdit::Password);
    InputConventions::replaceApostrophes(m_edit);
    layout->addWidget(m_edit);
    connect(m_edit, &QLineEdit::returnPressed, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
}

QString TfrmPass::password() const
{
    return m_edit->text();
}

void TfrmPass::clear()
{
    m_edit->clear();
}

void TfrmPass::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_edit->setFocus();
}
