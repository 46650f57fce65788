#pragma once

#include "db/datasets/dataset.h"

#include <QAbstractTableModel>

#include <functional>

// One column of a list grid: the data-set column it shows, its width in pixels, its title.
struct GridColumn
{
    QString field;
    int width = 64;
    QString title;

    friend bool operator==(const GridColumn &, const GridColumn &) = default;
};

// A read-only grid over a data set: one row per visible row of the data set, in its order, and
// the columns the grid was given. Follows the data set's changes as they happen.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSetModel(db::DataSet &dataSet, QObject *parent = nullptr);

    db::DataSet &dataSet() const { return m_dataSet; }

    // The columns the window was designed with; they become the current columns too.
    void setDesign(const QList<GridColumn> &columns);
    const QList<GridColumn> &design() const { return m_design; }
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    void setColumnWidth(int column, int width);
    void removeGridColumn(int column);

    // The background of a row (for BackgroundRole), e.g. from the data set's colour columns.
    using RowHook = std::function<QVariant(const db::DataSet &dataSet, int row)>;
    void setRowBackground(RowHook hook) { m_background = std::move(hook); }
    // How the values of one field are shown, instead of the default form.
    using DisplayHook = std::function<QString(const QVariant &value)>;
    void setDisplayHook(const QString &field, DisplayHook hook);
    // The text of every cell of the first column made from the whole row (a town with its
    // province), instead of the column's value alone.
    using RowTextHook = std::function<QString(const db::DataSet &dataSet, int row)>;
    void setFirstColumnText(RowTextHook hook) { m_firstColumnText = std::move(hook); }

    // The shown text of a value: dates dd/mm/yyyy, yes/no as Sì/No, amounts with two decimals
    // and the euro sign, other numbers the Italian way.
    static QString displayText(const QVariant &value, db::FieldKind kind);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void columnsChanged();

private:
    void resolveColumns();

    db::DataSet &m_dataSet;
    QList<GridColumn> m_design;
    QList<GridColumn> m_columns;
    QList<int> m_dataColumns; // data-set column of each grid column; -1 when it has none
    QList<const DisplayHook *> m_columnHooks; // the display hook of each grid column, if any
    QHash<QString, DisplayHook> m_display;
    RowHook m_background;
    RowTextHook m_firstColumnText;
};
