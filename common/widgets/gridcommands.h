#pragma once

#include "common/datasetmodel.h"

#include <QString>

#include <functional>

class QMenu;
class QTableView;

// Attaches a data-set grid to its view (column widths follow the grid's columns and back) and
// gives the view the context menu every list window has: "Salva Griglia", "Elimina Colonna"
// and the reset command (`resetCaption`: "Reset Griglia" or "Reset Colonne"). Returns the menu
// so that a window can add its own commands.
QMenu *attachGridCommands(QTableView *view, DataSetModel *grid, db::DataSet &griglie,
                          const QString &gridName, const QString &resetCaption,
                          std::function<QString()> computerName);
