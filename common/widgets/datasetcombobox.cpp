#include "common/widgets/datasetcombobox.h"

DataSetComboBox::DataSetComboBox(db::DataSet &dataSet, const QString &keyColumn,
                                 const QString &shownColumn, QWidget *parent)
    : QComboBox(parent), m_dataSet(dataSet), m_keyColumn(keyColumn), m_shownColumn(shownColumn)
{
    setMaxVisibleItems(16);
    connect(&m_dataSet, &db::DataSet::reset, this, &DataSetComboBox::reload);
    connect(&m_dataSet, &db::DataSet::rowChanged, this, &DataSetComboBox::reload);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_key = itemData(index);
        m_dataSet.setPosition(index);
        Q_EMIT chosen();
    });
    reload();
}

QVariant DataSetComboBox::key() const
{
    return currentIndex() < 0 ? QVariant() : itemData(currentIndex());
}

void DataSetComboBox::setKey(const QVariant &key)
{
    m_key = key;
    const bool none = !key.isValid() || key.toString().isEmpty() || key.toString() == u"0";
    const int index = none ? -1 : findData(key.toString(), Qt::UserRole, Qt::MatchFixedString);
    setCurrentIndex(index);
    if (index < 0)
        setEditText(QString());
}

void DataSetComboBox::reload()
{
    const QSignalBlocker quiet(this);
    clear();
    const int key = m_dataSet.columnIndex(m_keyColumn);
    const int shown = m_dataSet.columnIndex(m_shownColumn);
    for (int row = 0; row < m_dataSet.recordCount(); ++row)
        addItem(m_dataSet.valueAt(row, shown).toString(), m_dataSet.valueAt(row, key).toString());
    setKey(m_key);
}
