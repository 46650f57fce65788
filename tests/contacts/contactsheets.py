#!/usr/bin/python3
"""Spreadsheets of contacts as other programs write them, and readers of the program's own, for
the tests of the spreadsheet import and export: Python's csv module and Debian's openpyxl.

Usage: /usr/bin/python3 contactsheets.py KIND PATH
  google | outlook | outlookit | italian | workbook   write PATH
  readxlsx | readcsv                                   print PATH's rows as JSON
"""
import csv
import datetime
import json
import sys

import openpyxl


def write(path, rows, encoding, delimiter):
    with open(path, 'w', encoding=encoding, newline='') as f:
        csv.writer(f, delimiter=delimiter, lineterminator='\r\n').writerows(rows)


def google(path):
    header = ['Name', 'Given Name', 'Additional Name', 'Family Name', 'Name Prefix', 'Birthday',
              'Notes', 'Group Membership', 'E-mail 1 - Type', 'E-mail 1 - Value',
              'E-mail 2 - Type', 'E-mail 2 - Value', 'Phone 1 - Type', 'Phone 1 - Value',
              'Phone 2 - Type', 'Phone 2 - Value', 'Phone 3 - Type', 'Phone 3 - Value',
              'Address 1 - Type', 'Address 1 - Formatted', 'Address 1 - Street',
              'Address 1 - City', 'Address 1 - Postal Code', 'Address 1 - Region',
              'Address 1 - Country', 'Organization 1 - Type', 'Organization 1 - Name',
              'Organization 1 - Title']
    rows = [header,
            ['Zoë Dell\'Orto', 'Zoë', '', 'Dell\'Orto', '', '1975-12-31', 'Conosciuta, a Roma',
             '* myContacts ::: Amici', '* Home', 'zoe@esempio.it', 'Work', 'zoe@ufficio.it',
             'Mobile', '+39 333 111 2222', 'Work', '06 555 1234', 'Home', '06 777 ::: 06 888',
             'Home', 'Via Appia 5\n00178 Roma', 'Via Appia 5', 'Roma', '00178', 'RM', 'Italia',
             '', 'Studio Dell\'Orto', 'Architetto'],
            ['Pietro', 'Pietro', '', 'Neri', '', '--12-31', '', '* myContacts', '', '', '', '',
             'Work Fax', '06 999', '', '', '', '', '', '', '', '', '', '', '', '', '', ''],
            ['', '', '', '', '', '', '', '* myContacts', '', 'solo@esempio.it', '', '', '', '',
             '', '', '', '', '', '', '', '', '', '', '', '', '', '']]
    write(path, rows, 'utf-8', ',')


def outlook(path):
    header = ['Title', 'First Name', 'Middle Name', 'Last Name', 'Suffix', 'Company',
              'Job Title', 'Business Street', 'Business City', 'Business State',
              'Business Postal Code', 'Home Street', 'Home City', 'Home State',
              'Home Postal Code', 'Business Fax', 'Business Phone', 'Home Phone',
              'Mobile Phone', 'Birthday', 'E-mail Address', 'E-mail 2 Address', 'Notes',
              'Web Page', 'Categories']
    rows = [header,
            ['Dott.', 'Luca', '', 'Bianchi', '', 'Bianchi & C. Snc', 'Avvocato',
             'Corso Italia 3', 'Milano', 'MI', '20122', '', '', '', '', '02 111', '02 222', '',
             '347 000 1111', '15/04/1968', 'luca@bianchi.it', 'luca@casa.it', '',
             'www.bianchi.it', 'Clienti']]
    write(path, rows, 'utf-8-sig', ',')


def outlook_it(path):
    header = ['Titolo', 'Nome', 'Secondo nome', 'Cognome', 'Società', 'Posizione',
              'Via (uff.)', 'Città (uff.)', 'Provincia (uff.)', 'CAP (uff.)', 'Via (ab.)',
              'Città (ab.)', 'Provincia (ab.)', 'CAP (ab.)', 'Telefono (uff.)',
              'Telefono (ab.)', 'Cellulare', 'Compleanno', 'Indirizzo posta elettronica',
              'Note']
    rows = [header,
            ['', 'Anna', '', 'Sartò', '', 'Ragioniera', '', '', '', '', 'Via Garibaldi 9',
             'Napoli', 'NA', '80142', '', '081 123', '338 5', '02/03/1990', 'anna@esempio.it',
             'L\'ultima; con «virgolette» "doppie"']]
    write(path, rows, 'cp1252', ';')


def italian(path):
    rows = [['Cognome', 'Nome', 'Ragione sociale', 'Indirizzo', 'CAP', 'Città', 'Provincia',
             'Telefono', 'Cellulare', 'E-mail', 'Codice fiscale', 'Partita IVA',
             'Data di nascita', 'Note', 'Colore preferito'],
            ['D\'Angelo', 'Niccolò', '', 'Via Roma 1', '118', 'Roma', 'RM', '06 1234', '333 1',
             'niccolo@esempio.it', 'dngncl80a01h501x', '', '01/01/1980',
             'nota; con punto e virgola\nsu due righe', 'blu'],
            ['', '', 'Caffè Srl', 'Via Po 2', '10121', 'Torino', '', '011 55', '',
             'info@caffe.it', '', '01234567890', '', '', ''],
            ['Rossi', 'Maria', '', '', '', 'Paperopoli', '', '', '', '', '', '', '1990-02-31', '',
             ''],
            ['', '', '', '', '', '', '', '', '', '', '', '', '', 'riga senza nome', '']]
    write(path, rows, 'cp1252', ';')


def workbook(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = 'Clienti'
    ws.append(['Cognome', 'Nome', 'CAP', 'Comune', 'Provincia', 'Cellulare', 'Data di nascita',
               'Partita IVA'])
    ws.append(['Verdi', 'Giuseppe', 118, 'Roma', 'RM', 3331234567,
               datetime.datetime(1975, 12, 31), '01234567891'])
    ws['G2'].number_format = 'DD/MM/YYYY'
    ws.append(['Bassi', 'Eva', '20121', 'Milano', 'MI', '', '31/01/1961', ''])
    wb.save(path)


def cell(value):
    if isinstance(value, (datetime.datetime, datetime.date)):
        return {'date': value.strftime('%Y-%m-%d')}
    return value


def read_xlsx(path):
    wb = openpyxl.load_workbook(path)
    ws = wb.worksheets[0]
    rows = [[cell(c) for c in row] for row in ws.iter_rows(values_only=True)]
    print(json.dumps({'title': ws.title, 'rows': rows}))


def read_csv(path):
    with open(path, encoding='utf-8-sig', newline='') as f:
        print(json.dumps(list(csv.reader(f, delimiter=';'))))


def main():
    kind, path = sys.argv[1], sys.argv[2]
    {'google': google, 'outlook': outlook, 'outlookit': outlook_it, 'italian': italian,
     'workbook': workbook, 'readxlsx': read_xlsx, 'readcsv': read_csv}[kind](path)


main()
