#include "common/widgets/datasetcombobox.h"

#include "common/datasetmodel.h"

#include <QSet>

DataSetComboBox::DataSetComboBox(db::DataSet &dataSet, const QString &keyColumn,
                                 const QString &shownColumn, QWidget *parent)
    : QComboBox(parent), m_dataSet(dataSet), m_keyColumn(keyColumn), m_shownColumn(shownColumn)
{
    setMaxVisibleItems(16);
    // The items are the data set's rows themselves, not a copy: a filter typed in another
    // window narrows this list at no cost.
    auto *model = new DataSetModel(m_dataSet, this);
    model->setColumns({GridColumn{shownColumn, 100, shownColumn}});
    setModel(model);
    setCurrentIndex(-1); // nothing chosen until the program or the user chooses
    connect(model, &QAbstractItemModel::modelReset, this, &DataSetComboBox::reload);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_dataSet.setPosition(index);
        m_key = m_dataSet.value(m_keyColumn);
        Q_EMIT chosen();
    });
}

QString DataSetComboBox::shownText() const
{
    if (currentIndex() < 0)
        return {};
    return m_dataSet.valueAt(currentIndex(), m_dataSet.columnIndex(m_shownColumn)).toString();
}

void DataSetComboBox::showProvince(const QString &provinceColumn)
{
    auto *rows = static_cast<DataSetModel *>(model());
    rows->setFirstColumnText(
        [shown = m_shownColumn, provinceColumn](const db::DataSet &ds, int row) {
            const QString name = ds.valueAt(row, ds.columnIndex(shown)).toString();
            const QString province =
                ds.valueAt(row, ds.columnIndex(provinceColumn)).toString().trimmed();
            return province.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, province);
        });
}

QVariant DataSetComboBox::key() const
{
    if (currentIndex() < 0)
        return {};
    return m_dataSet.valueAt(currentIndex(), m_dataSet.columnIndex(m_keyColumn));
}

void DataSetComboBox::setKey(const QVariant &key)
{
    m_key = key;
    int index = -1;
    const bool none = !key.isValid() || key.toString().isEmpty() || key.toString() == u"0";
    const int column = m_dataSet.columnIndex(m_keyColumn);
    for (int row = 0; !none && column >= 0 && row < m_dataSet.recordCount(); ++row) {
        if (m_dataSet.valueAt(row, column)
                .toString()
                .compare(key.toString(), Qt::CaseInsensitive) == 0) {
            index = row;
            break;
        }
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    if (index < 0 && isEditable())
        setEditText(QString());
}

void DataSetComboBox::addAndChoose(const std::function<void()> &add)
{
    if (!add)
        return;
    const int column = m_dataSet.columnIndex(m_keyColumn);
    QSet<QString> before;
    for (int row = 0; column >= 0 && row < m_dataSet.recordCount(); ++row)
        before.insert(m_dataSet.valueAt(row, column).toString());
    add();
    for (int row = 0; column >= 0 && row < m_dataSet.recordCount(); ++row) {
        const QVariant key = m_dataSet.valueAt(row, column);
        if (before.contains(key.toString()))
            continue;
        m_dataSet.setPosition(row);
        setKey(key);
        Q_EMIT chosen();
        return;
    }
}

void DataSetComboBox::reload()
{
    setKey(m_key);
}
