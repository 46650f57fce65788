#pragma once

#include "common/datasetmodel.h"
#include "db/datasets/dataset.h"

// The column layouts of the list grids, kept per workstation and grid in Griglie (through its
// shared data set): the user's layout and a default one that "Reset" goes back to. Each list is
// "|"-terminated: field names, widths, titles, element i of each describing column i.

// Stores the grid's current columns as the user layout, and as the default layout too when
// `alsoAsDefault` or when none is stored yet.
db::Status SalvaLayout(const QString &gridName, DataSetModel &grid, db::DataSet &griglie,
                       bool alsoAsDefault, const QString &computerName);

// Rebuilds the grid's columns from the stored user layout (or the default one). When nothing
// usable is stored, or the grid's design has a different number of columns than the stored
// default (a new version of the window), the grid's current columns are stored as both
// layouts instead.
db::Status RipristinaLayout(const QString &gridName, DataSetModel &grid, db::DataSet &griglie,
                            bool useDefault, const QString &computerName);
