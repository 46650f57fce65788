#include "payments/windows/pagamentipage.h"

#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/toolbuttons.h"
#include "db/core/datetimes.h"
#include "payments/windows/frmpagamenticontatto.h"
#include "session/datamodule.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

PagamentiPage::PagamentiPage(Tform_DB &db, TfrmPagamentiContatto &window, QWidget *parent)
    : QWidget(parent), m_db(db), m_window(window)
{
    auto *layout = new QVBoxLayout(this);
    auto *toolbar = new QHBoxLayout;
    QToolButton *elimina =
        toolButton(this, QStringLiteral("SpeedButton10"), QStringLiteral("Elimina"),
                   QStringLiteral("Elimina il record corrente "), QStyle::SP_TrashIcon);
    QToolButton *aggiungi =
        toolButton(this, QStringLiteral("SpeedButton11"), QStringLiteral("Aggiungi"),
                   QStringLiteral("Inserisce un nuovo Record"), QStyle::SP_FileIcon);
    QToolButton *modifica =
        toolButton(this, QStringLiteral("spdAvanti_Versamenti"), QStringLiteral("Modifica"),
                   QStringLiteral("Accedi alla scheda selezionata"), QStyle::SP_ArrowForward);
    for (QToolButton *b : {elimina, aggiungi, modifica})
        toolbar->addWidget(b);
    toolbar->addStretch();
    layout->addLayout(toolbar);
    auto *model = new DataSetModel(m_db.TablePagamenti, this);
    model->setDesign({{QStringLiteral("data"), 100, QStringLiteral("Data")},
                      {QStringLiteral("Descrizione"), 320, QStringLiteral("Descrizione")},
                      {QStringLiteral("Importo"), 110, QStringLiteral("Importo")}});
    m_grid = new DataGrid(model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid2"));
    layout->addWidget(m_grid, 1);
    connect(elimina, &QToolButton::clicked, this, &PagamentiPage::elimina);
    connect(aggiungi, &QToolButton::clicked, this, &PagamentiPage::aggiungi);
    connect(modifica, &QToolButton::clicked, this, &PagamentiPage::modifica);
    connect(m_grid, &DataGrid::rowActivated, this, &PagamentiPage::modifica);
    connect(m_grid, &DataGrid::titleClicked, this, &PagamentiPage::ordina);
}

void PagamentiPage::aggiungi()
{
    db::DataSet &pagamenti = m_db.TablePagamenti;
    if (!pagamenti.isOpen())
        return;
    (void)pagamenti.setFilter(QString());
    db::Status added = pagamenti.append();
    if (added)
        added = pagamenti.setValue(u"Contatto_ID", m_db.TableContatti.value(u"ID"));
    if (added)
        added = pagamenti.setValue(u"data", db::naiveDateTime(db::clock::today()));
    if (!added) {
        dialogs().error(added.message());
        return;
    }
    m_window.setModified(true);
    dialogs().showModal(&m_window);
}

void PagamentiPage::modifica()
{
    if (!m_db.TablePagamenti.isEmpty())
        dialogs().showModal(&m_window);
}

void PagamentiPage::elimina()
{
    if (m_db.TablePagamenti.isEmpty() ||
        !dialogs().confirm(QStringLiteral("Sei sicuro di voler eliminare il Pagamento?")))
        return;
    (void)EliminaRecord(m_db.TablePagamenti, QStringLiteral("Id"));
}

void PagamentiPage::ordina(const QString &field)
{
    (void)m_db.TablePagamenti.setSort(field);
}
