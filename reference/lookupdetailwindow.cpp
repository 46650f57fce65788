#include "reference/lookupdetailwindow.h"

#include "app/program.h"
#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "reference/toolbuttons.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

LookupDetailWindow::LookupDetailWindow(Program &program, const reference::LookupTable &table,
                                       db::DataSet Tform_DB::*dataSet)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_program(program), m_table(table), m_dataSet(dataSet)
{
    setWindowTitle(table.detailCaption);
    setHelpContext(this, table.detailHelpContext);

    auto *layout = new QVBoxLayout(this);
    const DetailToolbar toolbar = makeDetailToolbar(this, table.detailHasHelpButton);
    layout->addWidget(toolbar.bar);
    connect(toolbar.salva, &QToolButton::clicked, this, &LookupDetailWindow::spdSalvaClick);
    connect(toolbar.indietro, &QToolButton::clicked, this, &LookupDetailWindow::spdIndietroClick);

    layout->addWidget(new QLabel(QStringLiteral("Descrizione"), this));
    m_description = new QLineEdit(this);
    m_description->setObjectName(table.descriptionField);
    m_description->setMaxLength(100);
    m_description->installEventFilter(this);
    layout->addWidget(m_description);
    m_fields = new QVBoxLayout;
    layout->addLayout(m_fields);
    layout->addStretch();
    resize(420, 200);

    InputConventions::attach(this, InputConventions::Kind::Detail);
}

db::DataSet &LookupDetailWindow::dataSet() const
{
    return m_program.formDb().*m_dataSet;
}

FieldBinder &LookupDetailWindow::binder()
{
    if (!m_binder) {
        m_binder = new FieldBinder(dataSet(), this);
        m_binder->bindText(m_description, QStringLiteral("Descrizione"));
    }
    return *m_binder;
}

void LookupDetailWindow::apri()
{
    binder().refresh();
    showRow();
    m_description->setFocus();
    dialogs().showModal(this);
}

void LookupDetailWindow::spdSalvaClick()
{
    m_saveRefused = false;
    if (m_description->text().isEmpty()) {
        dialogs().error(m_table.missingDescription);
        m_saveRefused = true;
        m_description->setFocus();
        return;
    }
    db::DataSet &ds = dataSet();
    db::Status stored = writeRow();
    if (!stored)
        dialogs().error(stored.message());
    else if (m_table.store == reference::LookupTable::Store::Confirm)
        stored = ConfermaRecord(ds, QStringLiteral("Id"));
    else
        stored = SalvaRecord(ds, QStringLiteral("Id"));
    // The record operations have shown why; the row keeps what was typed, so the user may
    // correct it or try again instead of losing it on the way out.
    if (!stored) {
        m_saveRefused = true;
        return;
    }
    m_modified = false;
}

void LookupDetailWindow::spdIndietroClick()
{
    if (m_modified)
        spdSalvaClick();
    if (!m_saveRefused)
        accept();
}

void LookupDetailWindow::reject()
{
    // Escape does not leave: only "Indietro" saves on the way out.
}

void LookupDetailWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

bool LookupDetailWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_description) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
                m_modified = true;
        } else if (event->type() == QEvent::MouseButtonPress &&
                   static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_modified = true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
