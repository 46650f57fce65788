#include "tools/stampa/dataexport.h"

#include "db/core/privatefiles.h"
#include "tools/stampa/reportdocument.h"
#include "tools/stampa/valueformat.h"

#include <QFileInfo>
#include <QSaveFile>

namespace stampa {

namespace {

QString csvField(const QString &value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') &&
        !value.contains(u'\r'))
        return value;
    return u'"' + QString(value).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool isNumberColumn(const db::Column &column)
{
    return column.kind == db::FieldKind::Currency || column.kind == db::FieldKind::Real ||
           column.kind == db::FieldKind::Integer;
}

} // namespace

db::Result<ExportFormat> exportFormatOf(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"pdf")
        return ExportFormat::Pdf;
    if (extension == u"csv")
        return ExportFormat::Csv;
    if (extension == u"html" || extension == u"htm")
        return ExportFormat::Html;
    return db::Error{
        QStringLiteral("Formato di esportazione non riconosciuto per il file %1: usare "
                       "l'estensione .pdf, .csv o .html.")
            .arg(path)};
}

QByteArray csvText(const db::RowSet &rows)
{
    QString out;
    QStringList fields;
    for (const db::Column &c : rows.columns)
        fields.append(csvField(c.name));
    out += fields.join(u',') + QStringLiteral("\r\n");
    for (const QVariantList &row : rows.rows) {
        fields.clear();
        for (qsizetype c = 0; c < row.size(); ++c)
            fields.append(csvField(plainValue(row[c], rows.columns[c].kind)));
        out += fields.join(u',') + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QByteArray htmlText(const db::RowSet &rows, const QString &title)
{
    const auto escaped = [](const QString &text) {
        return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
    };
    QString out =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>%1</title>\n<style>\n"
                       "body { font-family: \"DejaVu Sans\", sans-serif; font-size: 10pt; }\n"
                       "table { border-collapse: collapse; }\n"
                       "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; "
                       "vertical-align: top; }\n"
                       "th { background: #e2e2e2; }\n"
                       "td.numero { text-align: right; }\n"
                       "</style>\n</head>\n<body>\n<h1>%1</h1>\n<table>\n<thead>\n<tr>")
            .arg(escaped(title));
    for (const db::Column &c : rows.columns)
        out += QStringLiteral("<th>%1</th>").arg(escaped(c.name));
    out += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
    for (const QVariantList &row : rows.rows) {
        out += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString value = escaped(formatValue(row[c], rows.columns[c].kind));
            out += isNumberColumn(rows.columns[c])
                       ? QStringLiteral("<td class=\"numero\">%1</td>").arg(value)
                       : QStringLiteral("<td>%1</td>").arg(value);
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return out.toUtf8();
}

db::Status exportReport(const ReportDocument &document, const QString &path,
                        const PrintProgress &progress)
{
    db::Result<ExportFormat> format = exportFormatOf(path);
    if (!format)
        return format.error();
    switch (*format) {
    case ExportFormat::Pdf:
        return writePdf(document, path, progress);
    case ExportFormat::Csv:
        return db::writePrivateFile(path, csvText(document.data().rows));
    case ExportFormat::Html:
        return db::writePrivateFile(path, htmlText(document.data().rows, document.layout().title));
    }
    return {};
}

} // namespace stampa
