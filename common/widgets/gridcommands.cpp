#include "common/widgets/gridcommands.h"

#include "common/gridlayout.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace {

void applyWidths(QTableView *view, const DataSetModel *grid)
{
    for (qsizetype i = 0; i < grid->columns().size(); ++i)
        view->setColumnWidth(int(i), grid->columns()[i].width);
}

} // namespace

QMenu *attachGridCommands(QTableView *view, DataSetModel *grid, db::DataSet &griglie,
                          const QString &gridName, const QString &resetCaption,
                          std::function<QString()> computerName)
{
    view->setModel(grid);
    applyWidths(view, grid);
    QObject::connect(grid, &DataSetModel::columnsChanged, view,
                     [view, grid] { applyWidths(view, grid); });
    QObject::connect(grid, &QAbstractItemModel::modelReset, view,
                     [view, grid] { applyWidths(view, grid); });
    QObject::connect(view->horizontalHeader(), &QHeaderView::sectionResized, grid,
                     [grid](int column, int, int width) { grid->setColumnWidth(column, width); });

    auto *menu = new QMenu(view);
    QAction *save = menu->addAction(QStringLiteral("Salva Griglia"));
    save->setObjectName(QStringLiteral("SalvaGriglia1"));
    QAction *drop = menu->addAction(QStringLiteral("Elimina Colonna"));
    drop->setObjectName(QStringLiteral("EliminaColonna1"));
    QAction *reset = menu->addAction(resetCaption);
    reset->setObjectName(resetCaption == u"Reset Colonne" ? QStringLiteral("ResetColonne1")
                                                          : QStringLiteral("ResetGriglia1"));

    db::DataSet *layouts = &griglie;
    QObject::connect(save, &QAction::triggered, view,
                     [=] { (void)SalvaLayout(gridName, *grid, *layouts, false, computerName()); });
    QObject::connect(drop, &QAction::triggered, view, [=] {
        const int column = view->currentIndex().isValid() ? view->currentIndex().column() : -1;
        grid->removeGridColumn(column);
    });
    QObject::connect(reset, &QAction::triggered, view, [=] {
        if (RipristinaLayout(gridName, *grid, *layouts, true, computerName()))
            (void)SalvaLayout(gridName, *grid, *layouts, false, computerName());
    });

    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        view, &QWidget::customContextMenuRequested, menu,
        [view, menu](const QPoint &at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    return menu;
}
