#!/usr/bin/python3
"""Makes the spreadsheet files the tests read, and reads back the files the program writes, with
Python's csv module and Debian's python3-openpyxl: writers and readers nobody here wrote.

Usage: /usr/bin/python3 sheetfiles.py csv OUT ENCODING DELIMITER LINEEND   rows as JSON on stdin
       /usr/bin/python3 sheetfiles.py xlsx OUT KIND        contacts, order, date1904, noworkbook,
                                                           brokenxml, toobig
       /usr/bin/python3 sheetfiles.py readcsv FILE         rows as JSON
       /usr/bin/python3 sheetfiles.py readxlsx FILE        the first sheet's cells, widths, panes

openpyxl writes every text inline and every relationship's target from the root; the files are
rewritten afterwards where a test needs what other spreadsheets write (shared strings, rich text,
relative targets, a formula's stored result, prefixed elements, sheets listed out of file order).
"""
import datetime
import json
import re
import sys
import zipfile

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904

MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
SHARED_STRINGS_TYPE = ('http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
                       'sharedStrings')


def write_csv(path, encoding, delimiter, line_end):
    import csv
    rows = json.load(sys.stdin)
    with open(path, 'w', encoding=encoding, newline='') as f:
        csv.writer(f, delimiter=delimiter, lineterminator=line_end).writerows(rows)


def rewrite(path, change):
    """Replaces the parts of the package at `path` by change(name, text), which returns the new
    text, or None to leave the part out; change(None, None) returns the parts to add."""
    with zipfile.ZipFile(path) as z:
        parts = [(info.filename, z.read(info.filename).decode('utf-8')) for info in z.infolist()]
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, text in parts:
            text = change(name, text)
            if text is not None:
                z.writestr(name, text)
        for name, text in change(None, None).items():
            z.writestr(name, text)


def shared_strings(sheet_xml, strings):
    """The inline texts of a sheet moved to the shared strings, as most spreadsheets keep them."""
    def moved(match):
        strings.append(match.group(3))
        return '<c r="%s"%s t="s"><v>%d</v></c>' % (match.group(1), match.group(2),
                                                    len(strings) - 1)
    return re.sub(r'<c r="([A-Z]+[0-9]+)"((?: s="[0-9]+")?) t="inlineStr"><is><t>(.*?)</t></is></c>',
                  moved, sheet_xml)


def contacts(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = 'Contatti'
    ws.append(['Cognome', 'Nome', 'CAP', 'Nato il', 'Importo', 'Attivo', 'Doppio', 'Ricco'])
    ws.append(['Rossi', 'Mario', 118, datetime.date(1975, 12, 31), 12.5, True, '=E2*2',
               'RICCO'])
    ws.append(["D'Angelo", 'Lucia è già', '00118', '01/02/1850', 0.1, False, None, None])
    # A gap in the rows (4) and in the cells (B5).
    ws['A5'] = 'Verdi'
    ws['C5'] = 'Forlì'
    # Dates whose format is the user's, with a time, with a locale; a number that is no date;
    # a date of the first two months of 1900.
    ws['A6'] = datetime.datetime(2024, 3, 5, 14, 30)
    ws['A6'].number_format = 'dd/mm/yyyy hh:mm'
    ws['B6'] = datetime.date(2001, 9, 11)
    ws['B6'].number_format = '[$-410]d mmmm yyyy;@'
    ws['C6'] = 45000
    ws['C6'].number_format = '0.00'
    ws['D6'] = datetime.date(1900, 2, 1)
    ws['E6'] = datetime.time(14, 30)
    ws['F6'] = 'A_x000D_B'
    wb.save(path)

    strings = []

    def change(name, text):
        if name is None:
            items = ''.join('<si><t>%s</t></si>' % s if s != 'RICCO' else
                            '<si><r><rPr><b/></rPr><t>Ric</t></r><r><t xml:space="preserve">'
                            'co </t></r><rPh sb="0" eb="1"><t>fonetica</t></rPh></si>'
                            for s in strings)
            return {'xl/sharedStrings.xml':
                    '<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>'
                    % (MAIN, len(strings), len(strings), items)}
        if name == 'xl/worksheets/sheet1.xml':
            text = text.replace('<f>E2*2</f><v></v>', '<f>E2*2</f><v>25</v>')
            return shared_strings(text, strings)
        if name == 'xl/_rels/workbook.xml.rels':
            text = text.replace('Target="/xl/', 'Target="')
            return text.replace('</Relationships>',
                                '<Relationship Type="%s" Target="sharedStrings.xml" Id="rId9"/>'
                                '</Relationships>' % SHARED_STRINGS_TYPE)
        if name == '[Content_Types].xml':
            return text.replace('</Types>',
                                '<Override PartName="/xl/sharedStrings.xml" ContentType="'
                                'application/vnd.openxmlformats-officedocument.spreadsheetml.'
                                'sharedStrings+xml"/></Types>')
        return text
    rewrite(path, change)


def order(path):
    """Two sheets, the one listed first kept in sheet2.xml, its elements prefixed."""
    wb = openpyxl.Workbook()
    wb.active.title = 'Secondo'
    wb.active['A1'] = 'sbagliato'
    first = wb.create_sheet('Primo')
    first['A1'] = 'giusto'
    first['B1'] = 7
    wb.save(path)

    def change(name, text):
        if name is None:
            return {}
        if name == 'xl/workbook.xml':
            sheets = re.findall(r'<sheet [^>]*/>', text)
            return text.replace(''.join(sheets), ''.join(reversed(sheets)))
        if name == 'xl/worksheets/sheet2.xml':
            text = re.sub(r'<(/?)([A-Za-z]+)', r'<\1x:\2', text)
            return text.replace('xmlns=', 'xmlns:x=')
        return text
    rewrite(path, change)


def date1904(path):
    wb = openpyxl.Workbook()
    wb.epoch = CALENDAR_MAC_1904
    ws = wb.active
    ws['A1'] = datetime.date(2024, 3, 5)
    ws['B1'] = datetime.date(1904, 1, 1)
    wb.save(path)


def no_workbook(path):
    with zipfile.ZipFile(path, 'w') as z:
        z.writestr('leggimi.txt', 'nessuna cartella di lavoro')


def broken_xml(path):
    contacts(path)

    def change(name, text):
        if name is None:
            return {}
        return text[:len(text) // 2] if name == 'xl/worksheets/sheet1.xml' else text
    rewrite(path, change)


def too_big(path):
    wb = openpyxl.Workbook()
    wb.active['A1'] = 'primo'
    wb.save(path)

    def change(name, text):
        if name is None:
            return {}
        if name == 'xl/worksheets/sheet1.xml':
            return text.replace('</sheetData>',
                                '<row r="1000001"><c r="A1000001"><v>1</v></c></row>'
                                '</sheetData>')
        return text
    rewrite(path, change)


def read_csv(path):
    import csv
    with open(path, encoding='utf-8-sig', newline='') as f:
        print(json.dumps(list(csv.reader(f, delimiter=';'))))


def cell_json(cell):
    value = cell.value
    if isinstance(value, bool):
        kind = 'bool'
    elif isinstance(value, (int, float)):
        kind = 'number'
    elif isinstance(value, datetime.datetime):
        kind, value = 'date', value.date().isoformat()
    elif isinstance(value, datetime.date):
        kind, value = 'date', value.isoformat()
    elif isinstance(value, str):
        kind = 'str'
    else:
        kind, value = 'empty', None
    return {'type': kind, 'value': value, 'bold': bool(cell.font.b),
            'format': cell.number_format}


def read_xlsx(path):
    wb = openpyxl.load_workbook(path)
    ws = wb.worksheets[0]
    print(json.dumps({
        'sheets': wb.sheetnames,
        'rows': [[cell_json(c) for c in row] for row in ws.iter_rows()],
        'widths': {letter: d.width for letter, d in ws.column_dimensions.items()},
        'panes': ws.freeze_panes,
    }))


def main():
    command, path = sys.argv[1], sys.argv[2]
    if command == 'csv':
        write_csv(path, sys.argv[3], sys.argv[4], sys.argv[5])
    elif command == 'xlsx':
        {'contacts': contacts, 'order': order, 'date1904': date1904, 'noworkbook': no_workbook,
         'brokenxml': broken_xml, 'toobig': too_big}[sys.argv[3]](path)
    elif command == 'readcsv':
        read_csv(path)
    elif command == 'readxlsx':
        read_xlsx(path)


if __name__ == '__main__':
    main()
