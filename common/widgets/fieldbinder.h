#pragma once

#include "db/datasets/dataset.h"

#include <QList>
#include <QPointer>

#include <functional>

class DataSetComboBox;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Binds a detail window's fields to the columns of a data set's current row. Texts and yes/no
// values are written to the row as the user changes them; dates and amounts are read from
// their typed text when the window saves (commit), so a half-typed date is never stored.
class FieldBinder : public QObject
{
    Q_OBJECT

public:
    explicit FieldBinder(db::DataSet &dataSet, QObject *parent = nullptr);

    void bindText(QLineEdit *edit, const QString &column);
    void bindText(QPlainTextEdit *edit, const QString &column);
    void bindDate(QLineEdit *edit, const QString &column);
    void bindAmount(QLineEdit *edit, const QString &column);
    void bindCheck(QCheckBox *box, const QString &column);
    void bindLookup(DataSetComboBox *box, const QString &column);

    // Shows the current row's values in every field, or in the fields of one column.
    void refresh();
    void refresh(const QString &column);
    // Writes the typed dates and amounts to the row. A text that is not a date ("Data non
    // valida") or an amount ("Importo non valido") is refused and `failedField` names the field.
    db::Status commit(QWidget **failedField = nullptr);

    db::DataSet &dataSet() const { return m_dataSet; }

Q_SIGNALS:
    // The user changed a bound field.
    void edited(QWidget *field);

private:
    enum class Kind
    {
        Text,
        Memo,
        Date,
        Amount,
        Check,
        Lookup
    };
    struct Binding
    {
        QPointer<QWidget> widget;
        QString column;
        Kind kind;
    };
    void add(QWidget *widget, const QString &column, Kind kind);
    void write(const Binding &binding);
    void show(const Binding &binding);
    QString shownText(const Binding &binding) const;

    db::DataSet &m_dataSet;
    QList<Binding> m_bindings;
    bool m_refreshing = false;
};
