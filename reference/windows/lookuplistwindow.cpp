#include "reference/windows/lookuplistwindow.h"

#include "common/datasetmodel.h"
#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "reference/windows/lookupdetailwindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using reference::LookupTable;

LookupListWindow::LookupListWindow(ReferenceStore &store, const LookupTable &table,
                                   db::DataSet ReferenceStore::*dataSet, LookupDetailWindow &detail)
    : QDialog(nullptr, Qt::Window), m_dataSet(store.*dataSet), m_table(table), m_detail(detail)
{
    setWindowTitle(table.listCaption);
    setHelpContext(this, table.listHelpContext);

    auto *layout = new QVBoxLayout(this);
    const ListToolbar toolbar = makeListToolbar(this);
    layout->addWidget(toolbar.bar);
    if (table.captionlessAddAndOpen) {
        toolbar.aggiungi->setText(QString());
        toolbar.avanti->setText(QString());
        toolbar.avanti->setToolTip(QStringLiteral("Avanti"));
        toolbar.aggiungi->setToolButtonStyle(Qt::ToolButtonIconOnly);
        toolbar.avanti->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    connect(toolbar.indietro, &QToolButton::clicked, this, &QDialog::close);
    connect(toolbar.ricarica, &QToolButton::clicked, this, &LookupListWindow::Ricarica);
    connect(toolbar.aggiungi, &QToolButton::clicked, this, &LookupListWindow::Aggiungi);
    connect(toolbar.elimina, &QToolButton::clicked, this, &LookupListWindow::Elimina);
    connect(toolbar.avanti, &QToolButton::clicked, this, &LookupListWindow::apriDettaglio);

    m_model = new DataSetModel(this->dataSet(), this);
    m_model->setDesign(
        {GridColumn{QStringLiteral("Descrizione"), 300, QStringLiteral("Descrizione")}});
    m_grid = new DataGrid(m_model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &DataGrid::rowActivated, this, &LookupListWindow::apriDettaglio);
    layout->addWidget(m_grid, 1);

    layout->addWidget(new QLabel(table.searchLabel, this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Edit1"));
    connect(m_search, &QLineEdit::textChanged, this, &LookupListWindow::search);
    layout->addWidget(m_search);
    resize(460, 520);

    InputConventions::attach(this, table.searchMovesFocus ? InputConventions::Kind::Detail
                                                          : InputConventions::Kind::List);
}

void LookupListWindow::search(const QString &text)
{
    if (db::Status filtered = dataSet().setFilter(reference::descriptionFilter(text)); !filtered)
        dialogs().error(filtered.message());
}

void LookupListWindow::Aggiungi()
{
    db::DataSet &ds = dataSet();
    db::Status added = ds.setFilter(QString());
    if (added)
        added = ds.append();
    if (added && m_table.add == LookupTable::Add::Stored)
        added = ds.setValue(m_table.defaultColumn, m_table.defaultValue);
    if (!added) {
        ds.cancel();
        dialogs().error(added.message());
        return;
    }
    LookupDetailWindow &window = m_detail;
    window.setModified(true);
    if (m_table.add == LookupTable::Add::Plain) {
        window.startNew(false);
        window.apri();
        return;
    }
    if (!SalvaRecord(ds, QStringLiteral("Id"))) {
        // Not stored (the reason was shown): nothing is left to complete.
        ds.cancel();
        window.setModified(false);
        return;
    }
    window.startNew(true);
    apriDettaglio();
}

void LookupListWindow::apriDettaglio()
{
    if (dataSet().isEmpty())
        return;
    m_detail.apri();
}

void LookupListWindow::Elimina()
{
    db::DataSet &ds = dataSet();
    if (ds.isEmpty() || !dialogs().confirm(m_table.deleteQuestion))
        return;
    if (db::Status prepared = beforeDelete(); !prepared) {
        dialogs().error(prepared.message());
        return;
    }
    (void)EliminaRecord(ds, QStringLiteral("Id"));
}

void LookupListWindow::Ricarica()
{
    if (db::Status reread = dataSet().requery(); !reread)
        dialogs().error(reread.message());
}
