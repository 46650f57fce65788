// Writing a sheet of contacts as an .xlsx file through libxlsxwriter, which writes to a file
// name: a private temporary file beside the one asked for, renamed over it once complete.

#include "sheets/xlsxfile.h"

#include "db/core/privatefiles.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sheets {

namespace {

constexpr qsizetype kSheetRows = 1'048'576;
constexpr qsizetype kSheetColumns = 16'384;
// The most characters a cell holds.
constexpr qsizetype kCellText = 32'767;
constexpr qsizetype kMaxWidth = 60;
const QDate kFirstDate(1900, 3, 1);

QString dateText(QDate date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

// A text as a cell holds it: cut at its limit, never between the two halves of a character.
QByteArray cellUtf8(QString text)
{
    if (text.size() > kCellText) {
        text.truncate(kCellText);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text.toUtf8();
}

// The width a text takes in a column: its longest line.
qsizetype shownWidth(const QString &text)
{
    qsizetype widest = 0;
    for (const QStringView line : QStringView(text).tokenize(u'\n'))
        widest = std::max(widest, line.size());
    return widest;
}

db::Error failed(const QString &path, const QString &why)
{
    return db::Error{QStringLiteral("Impossibile scrivere il file %1: %2.")
                         .arg(QDir::toNativeSeparators(path), why)};
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Why libxlsxwriter failed, for the user.
QString reason(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("memoria insufficiente");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("impossibile crearlo nella cartella");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("impossibile usare i file temporanei (disco pieno?)");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("errore di scrittura (disco pieno?)");
    default:
        return QStringLiteral("errore %1 della libreria dei file .xlsx (%2)")
            .arg(int(error))
            .arg(QString::fromUtf8(lxw_strerror(error)));
    }
}

// The cells of `rows` into `sheet`, the first row in bold; the widths they need in `widths`.
lxw_error writeCells(lxw_workbook *workbook, lxw_worksheet *sheet, const SheetRows &rows,
                     QList<qsizetype> *widths)
{
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format(date, "dd/mm/yyyy");
    lxw_format *boldDate = workbook_add_format(workbook);
    format_set_bold(boldDate);
    format_set_num_format(boldDate, "dd/mm/yyyy");

    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QVariantList &cells = rows[r];
        const auto row = lxw_row_t(r);
        lxw_format *textFormat = r == 0 ? bold : nullptr;
        lxw_format *dateFormat = r == 0 ? boldDate : date;
        if (widths->size() < cells.size())
            widths->resize(cells.size());
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QVariant &cell = cells[c];
            const auto column = lxw_col_t(c);
            QString text;
            lxw_error error = LXW_NO_ERROR;
            switch (cell.typeId()) {
            case QMetaType::UnknownType:
                continue;
            case QMetaType::QDate: {
                const QDate value = cell.toDate();
                if (!value.isValid())
                    continue;
                text = dateText(value);
                if (value >= kFirstDate && value.year() <= 9999) {
                    lxw_datetime when = {value.year(), value.month(), value.day(), 0, 0, 0.0};
                    error = worksheet_write_datetime(sheet, row, column, &when, dateFormat);
                    text.clear();
                    (*widths)[c] = std::max<qsizetype>((*widths)[c], 10);
                }
                break;
            }
            case QMetaType::Bool:
                error = worksheet_write_boolean(sheet, row, column, cell.toBool(), textFormat);
                (*widths)[c] = std::max<qsizetype>((*widths)[c], 5);
                break;
            case QMetaType::Double:
            case QMetaType::Float:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort: {
                const double value = cell.toDouble();
                if (std::isfinite(value)) {
                    error = worksheet_write_number(sheet, row, column, value, textFormat);
                    (*widths)[c] = std::max((*widths)[c], cell.toString().size());
                } else {
                    text = cell.toString();
                }
                break;
            }
            default:
                text = cell.toString();
                break;
            }
            if (!text.isEmpty()) {
                const QByteArray utf8 = cellUtf8(text);
                error = worksheet_write_string(sheet, row, column, utf8.constData(), textFormat);
                (*widths)[c] = std::max((*widths)[c], shownWidth(text));
            }
            if (error != LXW_NO_ERROR)
                return error;
        }
    }
    return LXW_NO_ERROR;
}

} // namespace

db::Status writeXlsx(const QString &path, const SheetRows &rows)
{
    if (rows.size() > kSheetRows)
        return failed(path, QStringLiteral("più di 1.048.576 righe non entrano in un foglio"));
    for (const QVariantList &cells : rows) {
        if (cells.size() > kSheetColumns)
            return failed(path, QStringLiteral("più di 16.384 colonne non entrano in un foglio"));
    }

    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    // Private before anything is written into it; libxlsxwriter opens it again by name,
    // which keeps its permissions.
    QTemporaryFile temporary(folder + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return failed(path, temporary.errorString());
    if (!temporary.setPermissions(db::privatePermissions(folder)))
        return failed(path, QStringLiteral("impossibile proteggerlo"));
    temporary.close();
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());

    lxw_workbook *workbook = workbook_new(temporaryName.constData());
    if (!workbook)
        return failed(path, QStringLiteral("memoria insufficiente"));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Contatti");
    QList<qsizetype> widths;
    lxw_error error =
        sheet ? writeCells(workbook, sheet, rows, &widths) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (error == LXW_NO_ERROR) {
        for (qsizetype c = 0; c < widths.size(); ++c) {
            if (widths[c] > 0)
                worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                     double(std::min(widths[c] + 2, kMaxWidth)), nullptr);
        }
        if (!rows.isEmpty())
            worksheet_freeze_panes(sheet, 1, 0);
    }
    // The workbook is closed (and freed) whatever happened; its file is complete only when
    // everything before went well.
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return failed(path, reason(error));

    // On the disk before it takes the place of the old file, as QSaveFile does.
    const int fd = ::open(temporaryName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failed(path, errnoText());
    const bool synced = ::fsync(fd) == 0;
    const QString syncError = synced ? QString() : errnoText();
    ::close(fd);
    if (!synced)
        return failed(path, syncError);
    if (::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0)
        return failed(path, errnoText());
    temporary.setAutoRemove(false);
    return {};
}

} // namespace sheets
