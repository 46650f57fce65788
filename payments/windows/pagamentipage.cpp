#include "payments/windows/pagamentipage.h"

#include "common/dialogs.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/toolbuttons.h"
#include "payments/paymentstore.h"
#include "payments/windows/frmpagamenticontatto.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

PagamentiPage::PagamentiPage(PaymentStore &store, TfrmPagamentiContatto &window,
                             std::function<QVariant()> contactId, QWidget *parent)
    : QWidget(parent), m_store(store), m_window(window), m_contactId(std::move(contactId))
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
    auto *model = new DataSetModel(m_store.TablePagamenti, this);
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
    if (!m_store.TablePagamenti.isOpen())
        return;
    if (db::Status added = m_store.append(m_contactId()); !added) {
        dialogs().error(added.message());
        return;
    }
    m_window.setModified(true);
    m_window.setNew(true);
    dialogs().showModal(&m_window);
    m_window.setNew(false);
}

void PagamentiPage::modifica()
{
    if (!m_store.TablePagamenti.isEmpty())
        dialogs().showModal(&m_window);
}

void PagamentiPage::elimina()
{
    if (m_store.TablePagamenti.isEmpty() ||
        !dialogs().confirm(QStringLiteral("Sei sicuro di voler eliminare il Pagamento?")))
        return;
    (void)m_store.remove();
}

void PagamentiPage::ordina(const QString &field)
{
    (void)m_store.TablePagamenti.setSort(field);
}
