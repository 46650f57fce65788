#include "app/frmpass.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TfrmPass::TfrmPass(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(QStringLiteral("Password"));
    setProperty("helpContext", 1010);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Inserisci la Password"), this));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->installEventFilter(this);
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

bool TfrmPass::eventFilter(QObject *watched, QEvent *event)
{
    // An apostrophe would break the SQL texts the password may end up in; it becomes "´".
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == u"'") {
            m_edit->insert(QStringLiteral("\u00B4"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
