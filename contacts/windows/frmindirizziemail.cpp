#include "contacts/windows/frmindirizziemail.h"

#include "common/widgets/inputconventions.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfrmIndirizziEmail::TfrmIndirizziEmail(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIndirizziEmail"));
    setWindowTitle(QStringLiteral("Indirizzi Email"));
    setHelpContext(this, 3500);
    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *menu = new QMenu(this);
    QAction *all = menu->addAction(QStringLiteral("Copia Tutto"));
    all->setObjectName(QStringLiteral("Cop1"));
    QAction *selected = menu->addAction(QStringLiteral("Copia"));
    selected->setObjectName(QStringLiteral("Copia1"));
    connect(all, &QAction::triggered, this, &TfrmIndirizziEmail::copiaTutto);
    connect(selected, &QAction::triggered, this, &TfrmIndirizziEmail::copia);
    connect(m_text, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint &at) { menu->popup(m_text->viewport()->mapToGlobal(at)); });
    layout->addWidget(m_text);
    resize(420, 360);
}

void TfrmIndirizziEmail::clear()
{
    m_text->clear();
}

void TfrmIndirizziEmail::addLine(const QString &line)
{
    m_text->appendPlainText(line);
}

QString TfrmIndirizziEmail::text() const
{
    return m_text->toPlainText();
}

void TfrmIndirizziEmail::copiaTutto()
{
    m_text->selectAll();
    m_text->copy();
}

void TfrmIndirizziEmail::copia()
{
    if (m_text->textCursor().hasSelection())
        m_text->copy();
}

TfrmInsEmail::TfrmInsEmail(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInsEmail"));
    setWindowTitle(QStringLiteral("Inserisci Email"));
    setHelpContext(this, 3510);
    auto *layout = new QFormLayout(this);
    m_email = new QLineEdit(this);
    m_email->setObjectName(QStringLiteral("txtEmail"));
    layout->addRow(QStringLiteral("email"), m_email);
    connect(m_email, &QLineEdit::returnPressed, this, &QDialog::accept);
    resize(360, 80);
}

void TfrmInsEmail::clear()
{
    m_email->clear();
}

QString TfrmInsEmail::email() const
{
    return m_email->text();
}
