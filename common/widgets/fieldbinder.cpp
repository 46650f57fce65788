#include "common/widgets/fieldbinder.h"

#include "common/amounts.h"
#include "common/dates.h"
#include "common/widgets/datasetcombobox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

FieldBinder::FieldBinder(db::DataSet &dataSet, QObject *parent)
    : QObject(parent), m_dataSet(dataSet)
{
    connect(&m_dataSet, &db::DataSet::currentChanged, this, [this] { refresh(); });
    connect(&m_dataSet, &db::DataSet::reset, this, [this] { refresh(); });
}

void FieldBinder::add(QWidget *widget, const QString &column, Kind kind)
{
    m_bindings.append(Binding{widget, column, kind});
    const Binding binding = m_bindings.last();
    const auto changed = [this, binding] {
        if (m_refreshing)
            return;
        write(binding);
        Q_EMIT edited(binding.widget);
    };
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        connect(line, &QLineEdit::textEdited, this, changed);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
        connect(memo, &QPlainTextEdit::textChanged, this, changed);
    else if (auto *check = qobject_cast<QCheckBox *>(widget))
        connect(check, &QCheckBox::clicked, this, changed);
    else if (auto *lookup = qobject_cast<DataSetComboBox *>(widget))
        connect(lookup, &DataSetComboBox::chosen, this, changed);
}

void FieldBinder::bindText(QLineEdit *edit, const QString &column)
{
    add(edit, column, Kind::Text);
}

void FieldBinder::bindText(QPlainTextEdit *edit, const QString &column)
{
    add(edit, column, Kind::Memo);
}

void FieldBinder::bindDate(QLineEdit *edit, const QString &column)
{
    edit->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    // A date, and after a blank the time an appointment has: a letter typed here is refused as
    // it is typed, a time never.
    static const QRegularExpression dateCharacters(
        QStringLiteral("[0-9/.-]{0,10}( [0-9:.]{0,8})?"));
    edit->setValidator(new QRegularExpressionValidator(dateCharacters, edit));
    add(edit, column, Kind::Date);
}

void FieldBinder::bindAmount(QLineEdit *edit, const QString &column)
{
    edit->setAlignment(Qt::AlignRight);
    add(edit, column, Kind::Amount);
}

void FieldBinder::bindCheck(QCheckBox *box, const QString &column)
{
    add(box, column, Kind::Check);
}

void FieldBinder::bindLookup(DataSetComboBox *box, const QString &column)
{
    add(box, column, Kind::Lookup);
}

void FieldBinder::write(const Binding &b)
{
    QVariant value;
    switch (b.kind) {
    case Kind::Text: {
        const QString text = static_cast<QLineEdit *>(b.widget.data())->text();
        value = text.isEmpty() ? QVariant() : QVariant(text);
        break;
    }
    case Kind::Memo: {
        const QString text = static_cast<QPlainTextEdit *>(b.widget.data())->toPlainText();
        value = text.isEmpty() ? QVariant() : QVariant(text);
        break;
    }
    case Kind::Check:
        value = static_cast<QCheckBox *>(b.widget.data())->isChecked();
        break;
    case Kind::Lookup:
        value = static_cast<DataSetComboBox *>(b.widget.data())->key();
        break;
    case Kind::Date:
    case Kind::Amount:
        return; // read at commit
    }
    (void)m_dataSet.setValue(b.column, value);
}

void FieldBinder::refresh()
{
    for (const Binding &b : std::as_const(m_bindings))
        show(b);
}

void FieldBinder::refresh(const QString &column)
{
    for (const Binding &b : std::as_const(m_bindings)) {
        if (b.column.compare(column, Qt::CaseInsensitive) == 0)
            show(b);
    }
}

QString FieldBinder::shownText(const Binding &b) const
{
    const QVariant value = m_dataSet.value(b.column);
    if (!value.isValid())
        return {};
    if (b.kind == Kind::Date)
        return ScriviDataItaliana(m_dataSet.asDateTime(b.column));
    if (b.kind == Kind::Amount)
        return QLocale(QLocale::Italian).toString(value.toDouble(), 'f', 2);
    return value.toString();
}

void FieldBinder::show(const Binding &b)
{
    if (!b.widget)
        return;
    m_refreshing = true;
    const QVariant value = m_dataSet.value(b.column);
    switch (b.kind) {
    case Kind::Text:
        static_cast<QLineEdit *>(b.widget.data())->setText(value.toString());
        // The beginning shown, not the end: an address longer than its box starts with its name.
        static_cast<QLineEdit *>(b.widget.data())->setCursorPosition(0);
        break;
    case Kind::Memo:
        static_cast<QPlainTextEdit *>(b.widget.data())->setPlainText(value.toString());
        break;
    case Kind::Date:
    case Kind::Amount:
        static_cast<QLineEdit *>(b.widget.data())->setText(shownText(b));
        break;
    case Kind::Check:
        static_cast<QCheckBox *>(b.widget.data())->setChecked(value.toBool());
        break;
    case Kind::Lookup:
        static_cast<DataSetComboBox *>(b.widget.data())->setKey(value);
        break;
    }
    m_refreshing = false;
}

namespace {

// What the window calls a field: the caption of its label ("Data di Nascita"), else its
// column.
QString captionOf(QWidget *field, const QString &column)
{
    for (QWidget *window = field->window();
         const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy() == field) {
            QString caption = label->text();
            caption.remove(u'&');
            while (caption.endsWith(u':') || caption.endsWith(u' '))
                caption.chop(1);
            if (!caption.isEmpty())
                return caption;
        }
    }
    return column;
}

} // namespace

db::Status FieldBinder::commit(QWidget **failedField)
{
    for (const Binding &b : std::as_const(m_bindings)) {
        if (!b.widget || (b.kind != Kind::Date && b.kind != Kind::Amount))
            continue;
        const QString text = static_cast<QLineEdit *>(b.widget.data())->text().trimmed();
        // A field the user left as it was shown writes nothing: the stored value may hold more
        // than the field shows (seconds, a fourth decimal).
        if (text == shownText(b).trimmed())
            continue;
        QVariant value;
        if (!text.isEmpty() && b.kind == Kind::Date) {
            db::Result<QDateTime> date = LeggiDataItaliana(text);
            if (!date) {
                if (failedField)
                    *failedField = b.widget;
                return db::Error{QStringLiteral("«%1»: %2 non è una data valida (gg/mm/aaaa).")
                                     .arg(captionOf(b.widget, b.column), text)};
            }
            value = *date;
        } else if (!text.isEmpty()) {
            const std::optional<double> amount = LeggiImporto(text);
            if (!amount) {
                if (failedField)
                    *failedField = b.widget;
                return db::Error{QStringLiteral("«%1»: %2 non è un importo valido.")
                                     .arg(captionOf(b.widget, b.column), text)};
            }
            value = *amount;
        }
        if (db::Status set = m_dataSet.setValue(b.column, value); !set)
            return set;
    }
    return {};
}
