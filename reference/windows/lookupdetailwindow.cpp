#include "reference/windows/lookupdetailwindow.h"

#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "reference/referencestore.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

LookupDetailWindow::LookupDetailWindow(ReferenceStore &store, const reference::LookupTable &table,
                                       db::DataSet ReferenceStore::*dataSet)
    : m_dataSet(store.*dataSet), m_table(table)
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

    m_binder = new FieldBinder(m_dataSet, this);
    m_binder->bindText(m_description, QStringLiteral("Descrizione"));

    InputConventions::attach(this, InputConventions::Kind::Detail);
}

void LookupDetailWindow::apri()
{
    m_binder->refresh();
    showRow();
    m_description->setFocus();
    dialogs().showModal(this);
    m_new = false;
}

bool LookupDetailWindow::mayLeave()
{
    if (!m_new || !m_description->text().trimmed().isEmpty())
        return true;
    // Nothing typed on a new row: never a blank row left behind, never a refusal without a
    // way out. A row written at "Aggiungi" is deleted after asking; one only begun is dropped.
    db::DataSet &ds = dataSet();
    if (m_newStored) {
        if (!dialogs().confirm(QStringLiteral("Il record è vuoto. Eliminarlo?")))
            return false;
        if (!EliminaRecord(ds, QStringLiteral("Id")))
            return false;
    } else {
        ds.cancel();
    }
    m_new = false;
    setModified(false);
    return true;
}

bool LookupDetailWindow::save()
{
    if (m_description->text().isEmpty()) {
        dialogs().error(m_table.missingDescription);
        m_description->setFocus();
        return false;
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
    if (!stored.ok())
        return false;
    if (db::Status followed = afterSave(); !followed)
        dialogs().error(followed.message());
    return true;
}

bool LookupDetailWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_description && InputConventions::isEditingGesture(event))
        setModified(true);
    return DetailWindow::eventFilter(watched, event);
}
