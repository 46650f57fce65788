#include "db/datasets/rowstore.h"

#include <QDateTime>

#include <algorithm>
#include <bit>
#include <iterator>
#include <limits>

namespace db {

RowStore::RowStore(int columnCount) : m_columns(size_t(std::max(columnCount, 0))) {}

namespace {

// Rows a list gains after its load (contacts added) before its columns need more room.
constexpr size_t kRowsRoom = 1024;

// A vector with room for `room` more elements and not much more. A full vector that grows by
// one is copied whole: after a load of a million rows that made the first save, which writes
// one row, cost ten times the next.
template <typename T> void keepRoom(std::vector<T> &v, size_t room)
{
    const size_t wanted = v.size() + room;
    if (v.capacity() >= wanted && v.capacity() <= wanted + room)
        return;
    std::vector<T> fitted;
    fitted.reserve(wanted);
    std::move(v.begin(), v.end(), std::back_inserter(fitted));
    v.swap(fitted);
}

} // namespace

void RowStore::squeeze()
{
    // Texts, numbers and others written later go into the room a column keeps for them, unless
    // they take the place of the cell's own value (see store()).
    for (ColumnData &c : m_columns) {
        keepRoom(c.types, kRowsRoom);
        keepRoom(c.slots, kRowsRoom);
        keepRoom(c.text, c.text.size() / 64 + 4096);
        keepRoom(c.words, c.words.size() / 64 + kRowsRoom);
        keepRoom(c.others, c.others.size() / 64 + 16);
    }
}

void RowStore::store(ColumnData &column, size_t row, const QVariant &value)
{
    // A cell written again takes the place of the value it held when the new one fits there:
    // a saved row leaves nothing behind, and the columns do not grow with every save.
    const bool replacing = row < column.types.size();
    const Type was = replacing ? column.types[row] : Type::Null;
    const quint32 wasSlot = replacing ? column.slots[row] : 0;
    Type type = Type::Other;
    quint64 slot = 0;
    const auto word = [&](Type kind, quint64 bits) {
        type = kind;
        if (was == Type::Integer || was == Type::Real || was == Type::Date) {
            slot = wasSlot;
            column.words[wasSlot] = bits;
            return;
        }
        slot = column.words.size();
        column.words.push_back(bits);
    };
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        type = Type::Null;
        break;
    case QMetaType::Bool:
        type = Type::Bool;
        slot = value.toBool() ? 1 : 0;
        break;
    case QMetaType::LongLong:
        word(Type::Integer, quint64(value.toLongLong()));
        break;
    case QMetaType::Double:
        word(Type::Real, std::bit_cast<quint64>(value.toDouble()));
        break;
    case QMetaType::QDateTime: {
        const auto *d = static_cast<const QDateTime *>(value.constData());
        if (d->isValid() && d->timeSpec() == Qt::UTC)
            word(Type::Date, quint64(d->toMSecsSinceEpoch()));
        break;
    }
    case QMetaType::QString: {
        const auto *s = static_cast<const QString *>(value.constData());
        if (s->isNull()) {
            type = Type::NullText;
            break;
        }
        const auto length = quint32(s->size());
        const auto lengthAt = [&](size_t at) {
            return quint32(column.text[at]) | (quint32(column.text[at + 1]) << 16);
        };
        if (was == Type::Text && lengthAt(wasSlot) >= length) {
            type = Type::Text;
            slot = wasSlot;
            column.text[wasSlot] = char16_t(length & 0xFFFF);
            column.text[wasSlot + 1] = char16_t(length >> 16);
            std::copy(s->utf16(), s->utf16() + s->size(), column.text.begin() + wasSlot + 2);
            break;
        }
        // A column whose texts outgrow 32-bit places keeps the rest as they are.
        if (column.text.size() + 2 + size_t(s->size()) > std::numeric_limits<quint32>::max())
            break;
        type = Type::Text;
        slot = column.text.size();
        column.text.push_back(char16_t(length & 0xFFFF));
        column.text.push_back(char16_t(length >> 16));
        column.text.insert(column.text.end(), s->utf16(), s->utf16() + s->size());
        break;
    }
    default:
        break;
    }
    if (type == Type::Other) {
        if (was == Type::Other) {
            slot = wasSlot;
            column.others[wasSlot] = value;
        } else {
            slot = column.others.size();
            column.others.push_back(value);
        }
    }
    if (!replacing) {
        column.types.push_back(type);
        column.slots.push_back(quint32(slot));
    } else {
        column.types[row] = type;
        column.slots[row] = quint32(slot);
    }
}

void RowStore::append(const QVariantList &row)
{
    for (size_t c = 0; c < m_columns.size(); ++c)
        store(m_columns[c], size_t(m_size),
              c < size_t(row.size()) ? row[qsizetype(c)] : QVariant());
    ++m_size;
}

void RowStore::replace(qsizetype row, const QVariantList &values)
{
    for (size_t c = 0; c < m_columns.size(); ++c)
        store(m_columns[c], size_t(row),
              c < size_t(values.size()) ? values[qsizetype(c)] : QVariant());
}

double RowStore::real(qsizetype row, int column) const
{
    return std::bit_cast<double>(word(row, column));
}

QDateTime RowStore::date(qsizetype row, int column) const
{
    return QDateTime::fromMSecsSinceEpoch(qint64(word(row, column)), Qt::UTC);
}

QVariant RowStore::value(qsizetype row, int column) const
{
    switch (type(row, column)) {
    case Type::Null:
        return {};
    case Type::NullText:
        return QString();
    case Type::Bool:
        return m_columns[size_t(column)].slots[size_t(row)] != 0;
    case Type::Integer:
        return qlonglong(integer(row, column));
    case Type::Real:
        return real(row, column);
    case Type::Date:
        return date(row, column);
    case Type::Text:
        return text(row, column).toString();
    case Type::Other:
        return other(row, column);
    }
    return {};
}

QVariantList RowStore::row(qsizetype row) const
{
    QVariantList values;
    values.reserve(columnCount());
    for (int c = 0; c < columnCount(); ++c)
        values.append(value(row, c));
    return values;
}

} // namespace db
