#include "app/frmpass.h"

#include "common/widgets/inputconventions.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("btnAnnulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
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
