#pragma once

#include "common/datasetmodel.h"

#include <QSet>
#include <QTableView>

// A read-only grid over a data set: its current row is the data set's current row, both ways;
// with several rows selectable, the selection is a list of the data set's bookmarks.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    DataGrid(DataSetModel *model, bool multiSelection, QWidget *parent = nullptr);

    DataSetModel *grid() const { return m_model; }
    db::DataSet &dataSet() const { return m_model->dataSet(); }

    // The selected rows as bookmarks, in the order they were selected.
    QList<db::DataSet::Bookmark> selectedBookmarks() const;
    void selectRow(int row, bool selected);

Q_SIGNALS:
    // A click on the title of this data-set column.
    void titleClicked(const QString &field);
    // A double click on a row (the data set is on it).
    void rowActivated();

private:
    void followDataSet();
    // The arrow on the title of the column the rows are sorted by, pointing the sort's way;
    // none while the rows keep the query's order.
    void showSortColumn();

    DataSetModel *m_model;
    QList<db::DataSet::Bookmark> m_selectionOrder;
    QSet<db::DataSet::Bookmark> m_selected;
};
