#include "common/datasetmodel.h"

#include "common/colours.h"
#include "db/core/datetimes.h"

#include <QLocale>

#include <optional>

namespace {

// Text that stays readable on a saturated row colour; the default on none.
QVariant textColourOn(const QVariant &background)
{
    return background.isValid() ? QVariant(readableTextOn(background.value<QColor>())) : QVariant();
}

} // namespace

DataSetModel::DataSetModel(db::DataSet &dataSet, QObject *parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet)
{
    connect(&m_dataSet, &db::DataSet::reset, this, [this] {
        beginResetModel();
        resolveColumns();
        endResetModel();
    });
    connect(&m_dataSet, &db::DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && !m_columns.isEmpty())
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    resolveColumns();
}

void DataSetModel::setDesign(const QList<GridColumn> &columns)
{
    m_design = columns;
    setColumns(columns);
}

void DataSetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    resolveColumns();
    endResetModel();
    Q_EMIT columnsChanged();
}

void DataSetModel::setColumnWidth(int column, int width)
{
    if (column >= 0 && column < m_columns.size())
        m_columns[column].width = width;
}

void DataSetModel::removeGridColumn(int column)
{
    if (column < 0 || column >= m_columns.size())
        return;
    beginRemoveColumns(QModelIndex(), column, column);
    m_columns.removeAt(column);
    m_dataColumns.removeAt(column);
    m_columnHooks.removeAt(column);
    endRemoveColumns();
    Q_EMIT columnsChanged();
}

void DataSetModel::setDisplayHook(const QString &field, DisplayHook hook)
{
    m_display.insert(field.toLower(), std::move(hook));
    resolveColumns();
}

void DataSetModel::resolveColumns()
{
    m_dataColumns.clear();
    m_columnHooks.clear();
    for (const GridColumn &c : std::as_const(m_columns)) {
        m_dataColumns.append(m_dataSet.columnIndex(c.field));
        const auto hook = m_display.constFind(c.field.toLower());
        m_columnHooks.append(hook == m_display.constEnd() ? nullptr : &*hook);
    }
}

QString DataSetModel::displayText(const QVariant &value, db::FieldKind kind)
{
    if (!value.isValid())
        return {};
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return db::italianDateText(value.toDateTime());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    case QMetaType::Double:
        if (kind == db::FieldKind::Currency)
            return italian.toString(value.toDouble(), 'f', 2) + QStringLiteral(" €");
        return italian.toString(value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QStringLiteral("(dati)");
    default:
        return value.toString();
    }
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_dataSet.recordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int column = m_dataColumns[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        if (index.column() == 0 && m_firstColumnText)
            return m_firstColumnText(m_dataSet, index.row());
        if (column < 0)
            return QString();
        const QVariant value = m_dataSet.valueAt(index.row(), column);
        if (const DisplayHook *hook = m_columnHooks[index.column()])
            return (*hook)(value);
        return displayText(value, m_dataSet.columns()[column].kind);
    }
    case Qt::BackgroundRole:
        return m_background ? m_background(m_dataSet, index.row()) : QVariant();
    case Qt::ForegroundRole:
        return textColourOn(m_background ? m_background(m_dataSet, index.row()) : QVariant());
    case Qt::TextAlignmentRole: {
        if (column < 0)
            return {};
        const db::FieldKind kind = m_dataSet.columns()[column].kind;
        if (kind == db::FieldKind::Currency || kind == db::FieldKind::Real)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    default:
        return {};
    }
}

void DataSetModel::multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const
{
    // A painted cell asks for all its roles at once: the row's colour is worked out once.
    std::optional<QVariant> background;
    for (QModelRoleData &roleData : roleDataSpan) {
        const int role = roleData.role();
        if (role != Qt::BackgroundRole && role != Qt::ForegroundRole) {
            roleData.setData(data(index, role));
            continue;
        }
        if (!background)
            background = data(index, Qt::BackgroundRole);
        roleData.setData(role == Qt::BackgroundRole ? *background : textColourOn(*background));
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    return {};
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
