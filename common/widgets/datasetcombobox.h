#pragma once

#include <functional>

#include "db/datasets/dataset.h"

#include <QComboBox>

// A list box over a data set's visible rows: it shows one column and stands for the key
// column of the row chosen. The data set is shared, so its filter narrows this list too, and
// choosing an item makes that row the data set's current row.
class DataSetComboBox : public QComboBox
{
    Q_OBJECT

public:
    DataSetComboBox(db::DataSet &dataSet, const QString &keyColumn, const QString &shownColumn,
                    QWidget *parent = nullptr);

    db::DataSet &dataSet() const { return m_dataSet; }
    // The key of the chosen row; an invalid QVariant when nothing is chosen.
    QVariant key() const;
    // Chooses the row with this key; nothing chosen for an invalid key, 0 or "" or a key the
    // list does not hold.
    void setKey(const QVariant &key);
    // The shown column's value of the chosen row (whatever extra the list shows beside it).
    QString shownText() const;
    // Each item shows the town with its province, "Castro (BG)": for lists of municipalities,
    // where towns of one name are otherwise told apart by nothing.
    void showProvince(const QString &provinceColumn);
    const QString &keyColumn() const { return m_keyColumn; }
    // Runs `add` (which may add rows to the list, through a window of its own) and, when it
    // added one, chooses it as the user would: the data set on that row, chosen() emitted.
    void addAndChoose(const std::function<void()> &add);
    const QString &shownColumn() const { return m_shownColumn; }

Q_SIGNALS:
    // The user chose a row (by click or keyboard); the data set is on that row.
    void chosen();

private:
    void reload();

    db::DataSet &m_dataSet;
    QString m_keyColumn;
    QString m_shownColumn;
    QVariant m_key;
};
