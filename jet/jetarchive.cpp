#include "jet/jetarchive.h"

#include "jet/jetvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <mdbtools.h>

#include <cstring>
#include <optional>
#include <vector>

namespace jet {

namespace {

// The flags of a row's offset on its page, which the library leaves in place.
constexpr int kOffsetMask = 0x1fff;
// A memo or OLE value starts with a 12-byte header: its length (the two high bits are flags)
// and where the rest lies.
constexpr int kLongValueHeader = 12;

db::Error damaged(const QString &path, const QString &table)
{
    return db::Error{QStringLiteral("Il file %1 è danneggiato: la tabella %2 non si legge per "
                                    "intero.")
                         .arg(QDir::toNativeSeparators(path), table)};
}

ColumnType typeOf(const MdbColumn &column)
{
    switch (column.col_type) {
    case MDB_BOOL:
        return ColumnType::YesNo;
    case MDB_BYTE:
        return ColumnType::Byte;
    case MDB_INT:
        return ColumnType::Integer;
    case MDB_LONGINT:
        return ColumnType::Long;
    case MDB_MONEY:
        return ColumnType::Currency;
    case MDB_FLOAT:
        return ColumnType::Single;
    case MDB_DOUBLE:
        return ColumnType::Double;
    case MDB_DATETIME:
        return ColumnType::DateTime;
    case MDB_BINARY:
        return ColumnType::Binary;
    case MDB_TEXT:
        return ColumnType::Text;
    case MDB_MEMO:
        return ColumnType::Memo;
    case MDB_OLE:
        return ColumnType::LongBinary;
    default:
        return ColumnType::Other;
    }
}

struct TableDef
{
    MdbTableDef *def = nullptr;
    ~TableDef()
    {
        if (def)
            mdb_free_tabledef(def);
    }
};

} // namespace

struct Archive::Handle
{
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }

    // The stored bytes of a memo or OLE value whose header is at `start` on the current page;
    // nothing when its pages cannot all be read.
    // `name`'s definition, with its columns read when asked; nothing when the file does not
    // hold it whole.
    std::unique_ptr<TableDef> table(const QString &name, bool withColumns);

    std::optional<QByteArray> longValue(MdbColumn &column, int start, int size)
    {
        if (size < kLongValueHeader)
            return QByteArray();
        char header[kLongValueHeader];
        std::memcpy(header, mdb->pg_buf + start, kLongValueHeader);
        const quint32 declared = qFromLittleEndian<quint32>(header) & 0x3fffffffu;
        std::vector<char> chunk(std::max<size_t>(mdb->fmt->pg_size, 4096) * 2);
        QByteArray bytes;
        column.bind_ptr = chunk.data();
        column.cur_value_start = start;
        column.cur_value_len = size;
        size_t read = mdb_ole_read(mdb, &column, header, chunk.size());
        bytes.append(chunk.data(), qsizetype(read));
        // A chain of pages that loops (a damaged file) ends when it passes the declared length.
        while (bytes.size() < qsizetype(declared) &&
               (read = mdb_ole_read_next(mdb, &column, header)) > 0)
            bytes.append(chunk.data(), qsizetype(read));
        column.bind_ptr = nullptr;
        if (bytes.size() != qsizetype(declared))
            return std::nullopt;
        return bytes;
    }
};

Archive::Archive(QString path, std::unique_ptr<Handle> handle, QStringList tables)
    : m_path(std::move(path)), m_handle(std::move(handle)), m_tables(std::move(tables))
{
}

Archive::~Archive() = default;

db::Result<std::unique_ptr<Archive>> Archive::open(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return db::Error{QStringLiteral("Il file %1 non esiste o non si può leggere.").arg(shown)};
    auto handle = std::make_unique<Handle>();
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb)
        return db::Error{
            QStringLiteral("Il file %1 non è un archivio della versione per Windows.").arg(shown)};
    if (handle->mdb->f->jet_version != MDB_VER_JET4)
        return db::Error{QStringLiteral("Il file %1 non è un archivio della versione per Windows: "
                                        "è di un altro formato di Access (si legge solo Jet 4).")
                             .arg(shown)};
    // A file cut short no longer ends on a page.
    if (info.size() % handle->mdb->fmt->pg_size != 0)
        return db::Error{QStringLiteral("Il file %1 è danneggiato o incompleto.").arg(shown)};
    if (!mdb_read_catalog(handle->mdb, MDB_TABLE))
        return db::Error{
            QStringLiteral("Il file %1 è danneggiato: il suo elenco delle tabelle non si legge.")
                .arg(shown)};
    QStringList tables;
    for (guint i = 0; i < handle->mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(handle->mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            tables.append(QString::fromUtf8(entry->object_name));
    }
    return std::unique_ptr<Archive>(new Archive(path, std::move(handle), tables));
}

std::unique_ptr<TableDef> Archive::Handle::table(const QString &name, bool withColumns)
{
    QByteArray utf8 = name.toUtf8();
    auto def = std::make_unique<TableDef>();
    def->def = mdb_read_table_by_name(mdb, utf8.data(), MDB_TABLE);
    if (!def->def || (withColumns && !mdb_read_columns(def->def)))
        return nullptr;
    return def;
}

db::Result<qint64> Archive::rowCount(const QString &table)
{
    const std::unique_ptr<TableDef> def = m_handle->table(table, false);
    if (!def)
        return damaged(m_path, table);
    return qint64(def->def->num_rows);
}

db::Result<QList<Column>> Archive::columns(const QString &table)
{
    const std::unique_ptr<TableDef> found = m_handle->table(table, true);
    if (!found)
        return damaged(m_path, table);
    const TableDef &def = *found;
    QList<Column> columns;
    for (guint i = 0; i < def.def->num_cols; ++i) {
        const auto *c = static_cast<const MdbColumn *>(g_ptr_array_index(def.def->columns, i));
        columns.append({QString::fromUtf8(c->name), typeOf(*c),
                        c->col_type == MDB_TEXT ? c->col_size / 2 : c->col_size,
                        c->is_long_auto != 0});
    }
    return columns;
}

db::Status Archive::readRows(const QString &table, const RowHandler &handler)
{
    MdbHandle *mdb = m_handle->mdb;
    const std::unique_ptr<TableDef> def = m_handle->table(table, true);
    if (!def)
        return damaged(m_path, table);
    MdbTableDef *t = def->def;
    const guint count = t->num_cols;
    std::vector<MdbField> fields(std::max<guint>(count, 1));
    QVariantList row(count);
    guint read = 0;
    mdb_rewind_table(t);
    while (mdb_fetch_row(t)) {
        // The row just fetched, read again for what the library keeps to itself: which values
        // are null, so that an empty text stays apart from a null.
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(t->cur_row) - 1, &start, &size) != 0)
            return damaged(m_path, table);
        if (mdb_crack_row(t, start & kOffsetMask, size, fields.data()) < int(count))
            return damaged(m_path, table);
        for (guint i = 0; i < count; ++i) {
            const MdbField &f = fields[i];
            if (f.colnum < 0 || guint(f.colnum) >= count)
                return damaged(m_path, table);
            auto *column = static_cast<MdbColumn *>(g_ptr_array_index(t->columns, f.colnum));
            QVariant &value = row[f.colnum];
            if (column->col_type == MDB_BOOL) {
                // A yes/no value is its null bit: set means yes.
                value = !f.is_null;
                continue;
            }
            if (f.is_null) {
                value = QVariant();
                continue;
            }
            const unsigned char *at = mdb->pg_buf + f.start;
            if (f.start < 0 || f.siz < 0 ||
                size_t(f.start) + size_t(f.siz) > size_t(mdb->fmt->pg_size))
                return damaged(m_path, table);
            switch (column->col_type) {
            case MDB_BYTE:
                value = qint64(at[0]);
                break;
            case MDB_INT:
                value = qint64(qFromLittleEndian<qint16>(at));
                break;
            case MDB_LONGINT:
                value = qint64(qFromLittleEndian<qint32>(at));
                break;
            case MDB_MONEY:
                value = moneyFromJet(qFromLittleEndian<qint64>(at));
                break;
            case MDB_FLOAT:
                value = double(qFromLittleEndian<float>(at));
                break;
            case MDB_DOUBLE:
                value = qFromLittleEndian<double>(at);
                break;
            case MDB_DATETIME: {
                const QDateTime date = dateTimeFromJet(qFromLittleEndian<double>(at));
                value = date.isValid() ? QVariant(date) : QVariant();
                break;
            }
            case MDB_TEXT:
                value = textFromJet(QByteArrayView(at, f.siz));
                break;
            case MDB_BINARY:
                value = QByteArray(reinterpret_cast<const char *>(at), f.siz);
                break;
            case MDB_MEMO:
            case MDB_OLE: {
                const std::optional<QByteArray> bytes =
                    m_handle->longValue(*column, f.start, f.siz);
                if (!bytes)
                    return damaged(m_path, table);
                value =
                    column->col_type == MDB_MEMO ? QVariant(textFromJet(*bytes)) : QVariant(*bytes);
                break;
            }
            default:
                value = QVariant();
                break;
            }
        }
        ++read;
        if (!handler(row))
            return {};
    }
    if (read != t->num_rows)
        return damaged(m_path, table);
    return {};
}

} // namespace jet
