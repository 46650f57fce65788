#include "notices/windows/frmgrigliaavvisi.h"

#include "common/datasetmodel.h"
#include "common/dialogs.h"
#include "common/gridsort.h"
#include "common/textfunctions.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/gridcommands.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "notices/noticequery.h"
#include "notices/noticestore.h"
#include "notices/windows/frmavvisi.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmGrigliaAvvisi::TfrmGrigliaAvvisi(NoticeStore &store, GridLayouts layouts, TfrmAvvisi &editor)
    : QDialog(nullptr, Qt::Window), m_store(store), m_dataSet(store.TableAvvisi), m_editor(editor)
{
    setObjectName(QStringLiteral("frmGrigliaAvvisi"));
    setWindowTitle(QStringLiteral("Avvisi"));
    setHelpContext(this, 7100);
    setWindowState(Qt::WindowMaximized);

    auto *layout = new QVBoxLayout(this);
    const ListToolbar toolbar = makeListToolbar(this);
    layout->addWidget(toolbar.bar);
    connect(toolbar.indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(toolbar.ricarica, &QToolButton::clicked, this, &TfrmGrigliaAvvisi::Ricarica);
    connect(toolbar.aggiungi, &QToolButton::clicked, this, &TfrmGrigliaAvvisi::spdInserisciClick);
    connect(toolbar.elimina, &QToolButton::clicked, this, &TfrmGrigliaAvvisi::Elimina);
    connect(toolbar.avanti, &QToolButton::clicked, this, &TfrmGrigliaAvvisi::apriDettaglio);

    m_model = new DataSetModel(m_dataSet, this);
    m_model->setDesign({
        GridColumn{QStringLiteral("Descrizione"), 503, QStringLiteral("Descrizione")},
        GridColumn{QStringLiteral("Testo"), 356, QStringLiteral("Testo")},
    });
    m_model->setDisplayHook(QStringLiteral("Testo"), &ConvertiMemo);
    m_grid = new DataGrid(m_model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    attachGridCommands(m_grid, m_model, layouts.griglie, QStringLiteral("frmGrigliaAvvisi"),
                       QStringLiteral("Reset Griglia"), layouts.computerName);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmGrigliaAvvisi::apriDettaglio);
    connect(m_grid, &DataGrid::titleClicked, this, &TfrmGrigliaAvvisi::sortBy);
    layout->addWidget(m_grid, 1);

    layout->addWidget(new QLabel(QStringLiteral("Ricerca Per Descrizione"), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Edit1"));
    connect(m_search, &QLineEdit::textChanged, this, &TfrmGrigliaAvvisi::search);
    layout->addWidget(m_search);
    resize(900, 600);

    InputConventions::attach(this, InputConventions::Kind::List);
}

void TfrmGrigliaAvvisi::search(const QString &text)
{
    if (db::Status filtered = m_dataSet.setFilter(notices::templateFilter(text)); !filtered)
        dialogs().error(filtered.message());
}

void TfrmGrigliaAvvisi::sortBy(const QString &field)
{
    // The texts are too long to be put in order.
    if (field.compare(u"Testo", Qt::CaseInsensitive) == 0)
        return;
    if (db::Status sorted = m_dataSet.setSort(toggledSort(m_dataSet.sort(), field)); !sorted)
        dialogs().error(sorted.message());
}

void TfrmGrigliaAvvisi::spdInserisciClick()
{
    // A name of one blank lets the row be stored; the editor then asks for a real one.
    if (db::Status added = m_store.appendTemplate(); !added) {
        dialogs().error(added.message());
        return;
    }
    m_editor.setModified(true);
    if (!m_store.storeTemplate()) {
        m_editor.setModified(false); // not stored; the reason was shown
        return;
    }
    if (db::Status cleared = m_dataSet.setValue(u"Descrizione", QString()); !cleared) {
        dialogs().error(cleared.message());
        return;
    }
    m_editor.apri();
}

void TfrmGrigliaAvvisi::apriDettaglio()
{
    if (!m_dataSet.isEmpty())
        m_editor.apri();
}

void TfrmGrigliaAvvisi::Elimina()
{
    if (m_dataSet.isEmpty() ||
        !dialogs().confirm(QStringLiteral("Sei sicuro di voler eliminare il tipo di avviso ?")))
        return;
    (void)m_store.removeTemplate();
}

void TfrmGrigliaAvvisi::Ricarica()
{
    if (db::Status reread = m_dataSet.requery(); !reread)
        dialogs().error(reread.message());
}

void TfrmGrigliaAvvisi::reset()
{
    m_search->clear();
    if (db::Status cleared = m_dataSet.setFilter(QString()); !cleared)
        dialogs().error(cleared.message());
}
