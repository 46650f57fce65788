#!/usr/bin/env bash
# Renders the first page of each report layout from a small made-up archive into
# docs/images/ (the pictures docs/reports.md shows). Usage: docimages.sh [BUILD_BIN_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/bin}
out=$root/docs/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
archive=$work/archivio.sqlite
sql() { "$bin/calvetra-sql" "$archive" "$1" >/dev/null; }

"$bin/calvetra-sql" --init "$archive" >/dev/null
sql "insert into Categorie (Descrizione) values ('Clienti')"
sql "insert into Categorie (Descrizione) values ('Fornitori')"
sql "insert into Categorie (Descrizione) values ('Amici')"

# name|street|number|municipality|phone|mobile|e-mail|category|tax code|notes
while IFS='|' read -r name street number town phone mobile mail category taxcode notes; do
  q=${name//\'/\'\'}
  sql "insert into Contatti (NominativoDocumenti, Indirizzo, Numero, Citta_ID, Telefono, Cellulare,
       email, Categoria_ID, CFisc, Note)
       select '$q', '${street//\'/\'\'}', '$number', Comuni.ID, '$phone', '$mobile', '$mail',
       (select Id from Categorie where Descrizione = '$category'), '$taxcode', '${notes//\'/\'\'}'
       from Comuni where Comune = '${town//\'/\'\'}'"
done <<'EOF'
Àlberti Niccolò|Via Emilia|12|Forlì|0543 123456|333 1234567|niccolo.alberti@esempio.it|Clienti|LBRNCL80A01D704X|Preferisce essere contattato al mattino
Bianchi Anna|Via Garibaldi|8|Cesena|0547 223344||anna.bianchi@esempio.it|Clienti||
Caffè Centrale di Martini Luca|Piazza Saffi|3|Forlì|0543 998877||info@caffecentrale.it|Fornitori||
Conti Roberto|Via Bertini|12|Forlì|0543 701234|339 7654321||Clienti||
Costa Giulia|Via Zanardelli|45|Ravenna||347 5556677|giulia.costa@esempio.it|Amici||Compleanno a maggio
D'Amico Lucia|Corso Mazzini|3/b|Forlì|0543 654321|338 1112233||Clienti|DMCLCU75C41D704Y|
Èlite Costruzioni S.r.l.|Viale Italia|100|Rimini|0541 777888||amministrazione@elitecostruzioni.it|Fornitori||Preventivi entro il 15 del mese
Ferrari Marco|Via dei Mille|21|Bologna|051 6543210|335 4445566|marco.ferrari@esempio.it|Clienti||
Gallo Francesca|Via Ravegnana|150|Forlì|0543 402010|||Amici||
Lombardi Paolo|Via Cavour|7|Faenza|0546 21212||paolo.lombardi@esempio.it|Clienti||
Marino Sara|Via Giorgio Regnoli|64|Forlì||328 9090909|sara.marino@esempio.it|Clienti||
Moretti Chiara|Via Roma|88|Cantù|031 717171|349 8889990||Fornitori||
Ricci Giovanni|Via Matteotti|2|Forlimpopoli|0543 744555|||Clienti||
Santoro Elena|Viale dell'Appennino|310|Forlì||320 1122334|elena.santoro@esempio.it|Nessuna||
Studio Commercialista Associato Bianchi, Verdi & Esposito|Via Giuseppe Garibaldi|150/B|Bolzano|+39 0471 123456 int. 22|+39 347 123 4567|amministrazione.contabilita@studiocommercialistabianchi.it|Clienti||
Zanetti Società Cooperativa Agricola di Produzione e Lavoro della Romagna Forlivese|Via Decio Raggi|50|Forlì|0543 300300||coop@zanetti.it|Fornitori||
EOF
sql "update Contatti set Telefono = null where Telefono = ''"
sql "update Contatti set Cellulare = null where Cellulare = ''"
sql "update Contatti set email = null where email = ''"

while IFS='|' read -r name day text amount; do
  sql "insert into Pagamenti (Contatto_ID, data, Descrizione, Importo)
       select ID, #$day#, '$text', $amount from Contatti where NominativoDocumenti = '${name//\'/\'\'}'"
done <<'EOF'
Àlberti Niccolò|1/10/2026|Acconto pratica 12/2026|350.00
Àlberti Niccolò|3/2/2026|Saldo pratica 12/2026|1234.56
Bianchi Anna|2/14/2026|Consulenza|180.50
Conti Roberto|4/30/2026|Dichiarazione dei redditi|220.00
Conti Roberto|5/15/2026|Spese di spedizione|12.35
D'Amico Lucia|6/1/2026|Rata 1 di 3|400.00
D'Amico Lucia|7/1/2026|Rata 2 di 3|400.00
D'Amico Lucia|8/1/2026|Rata 3 di 3|400.01
Ferrari Marco|9/12/2026|Visura catastale|45.90
EOF

# date and time (m/d/yyyy)|contact|type|notes|concluded|reminder
while IFS='|' read -r when name type text done reminder; do
  [ -n "$reminder" ] && reminder="#$reminder#" || reminder=null
  sql "insert into Calendario (Data, Cliente_ID, Cliente, TipologiaCalendario, Note, Conclusa,
       DataAvviso, Storico)
       select #$when#, ID, NominativoDocumenti, '$type', '${text//\'/\'\'}', $done,
       $reminder, false
       from Contatti where NominativoDocumenti = '${name//\'/\'\'}'"
done <<'EOF'
10/5/2026 09:30:00|Àlberti Niccolò|Visita|Firma del contratto di locazione|true|
10/6/2026 15:00:00|D'Amico Lucia|Telefonata|Richiamare per la seconda rata|false|10/5/2026
10/8/2026|Conti Roberto|Scadenza|Dichiarazione dei redditi: consegna dei documenti mancanti (spese mediche e interessi del mutuo)|false|10/1/2026
10/9/2026 11:15:00|Èlite Costruzioni S.r.l.|Visita|Sopralluogo in cantiere|false|
10/12/2026 17:30:00|Studio Commercialista Associato Bianchi, Verdi & Esposito|Riunione|Bilancio 2026|false|10/10/2026
EOF

sql "update ditta set RagSoc = 'Studio Rossi & Figli S.n.c.', Via = 'Corso Garibaldi', Numero = '5',
     Cap = '47121', Comune = 'Forlì', Provincia = 'FC', PIva = '01234567890',
     CodFisc = '01234567890', Tel = '0543 111222', Email = 'info@studiorossi.it'"
sqlite3 "$archive" "update ditta set Logo = readfile('$out/logo-esempio.png')"
sql "update opzioni set EtichettePiccole = true"

sql "insert into TempAvvisi (NomeComputer, Testo) values ('PC', 'Gentile cliente,

desideriamo informarLa che dal 24 dicembre al 6 gennaio il nostro ufficio resterà chiuso per le festività. Per le pratiche urgenti può scriverci all''indirizzo info@studiorossi.it: risponderemo al più presto.

Ricordiamo inoltre che i documenti per la dichiarazione dei redditi vanno consegnati entro la fine di aprile, così da poter preparare tutto con la dovuta cura.

Cogliamo l''occasione per augurarLe buone feste.')"
sql "insert into TempAvvisiContatti (NomeComputer, Contatto_ID)
     select 'PC', ID from Contatti where NominativoDocumenti in ('Àlberti Niccolò', 'D''Amico Lucia')"

agenda="SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Sesso,Contatti.Telefono, Contatti.Cellulare, Contatti.SecondoCell as UfficioCellulare, Contatti.Indirizzo,Contatti.Numero, Contatti.email, Contatti.Internet, Contatti.Fax, Contatti.Note, Comuni.Comune, Comuni.Provincia, Comuni.CAP, Categorie.descrizione AS Categoria, Contatti.secTelefono as UfficioTelefono,  Regioni.Descrizione as Regione FROM (((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione ORDER BY Contatti.NominativoDocumenti"
categorie=${agenda/Contatti.Sesso,/}
etichette="SELECT Contatti.NominativoDocumenti as Nominativo, Contatti.Indirizzo, Comuni.Comune, Comuni.Provincia, Comuni.Cap, Contatti.Numero AS NumCasa, Categorie.descrizione as Categoria, Regioni.Descrizione as Regione FROM (((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione ORDER BY Contatti.NominativoDocumenti"
azienda="SELECT ditta.RagSoc AS Descrizione, ditta.Via, ditta.Comune AS Citta, ditta.Provincia, ditta.Cap, ditta.Numero AS NumCasa FROM ditta"
privacy="SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, Contatti.Cellulare, Contatti.Indirizzo, Contatti.email, Contatti.Internet, Contatti.PIva, Contatti.CFisc, Contatti.Numero, Comuni.Comune, Comuni.Provincia, Comuni.CAP FROM Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID Where Contatti.Id = 1"
pagamenti="SELECT Contatti.NominativoDocumenti as Nominativo, Pagamenti.data, Pagamenti.Descrizione as Pagamento, Pagamenti.Importo, Contatti.Telefono,Contatti.Cellulare,  Comuni.Comune, Comuni.Provincia, Comuni.CAP, Contatti.ID AS IdContatto, Categorie.descrizione AS Categoria, Regioni.Descrizione AS Regione FROM Pagamenti INNER JOIN ((((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione) ON Pagamenti.Contatto_ID = Contatti.ID ORDER BY Contatti.NominativoDocumenti "
avvisi="SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Indirizzo, Contatti.Telefono, Contatti.Cellulare, Contatti.Cap, Contatti.CFisc, Contatti.PIva, Contatti.Numero AS Civico, TempAvvisi.Testo, Comuni.Comune, Comuni.Provincia FROM ((TempAvvisiContatti INNER JOIN Contatti ON TempAvvisiContatti.Contatto_ID = Contatti.ID) INNER JOIN TempAvvisi ON TempAvvisiContatti.NomeComputer = TempAvvisi.NomeComputer) LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID WHERE TempAvvisiContatti.NomeComputer = 'PC' ORDER BY Contatti.NominativoDocumenti"

appuntamenti="SELECT Data, Cliente, TipologiaCalendario, Note, Conclusa, DataAvviso FROM Calendario WHERE Storico=false ORDER BY Data, Personale"

# picture|portrait layout|landscape layout|query|heading|landscape?
render() {
  local picture=$1 layout=$2 landscape=$3 query=$4 heading=$5 turn=$6
  sql "delete * from TempStampa"
  sql "insert into TempStampa (NomeComputer, NomeReport, NomeReportLandscape, Query, Filtro, Setup,
       PresenzaTestata) values ('PC', '$bin/$layout', '$bin/$landscape', '${query//\'/\'\'}', false, false, $heading)"
  "$bin/stampa" --archive "$archive" --workstation PC --pdf "$work/$picture.pdf" $turn
  pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/$picture.pdf" "$out/$picture"
}
export QT_QPA_PLATFORM=offscreen
render agenda Agenda.rpt AgendaLan.rpt "$agenda" true ""
render agenda-orizzontale Agenda.rpt AgendaLan.rpt "$agenda" true --orizzontale
render categorie Categorie.rpt CategorieLan.rpt "$categorie" true ""
render etichette-clienti EtichetteClienti.rpt EtichetteClienti.rpt "$etichette" false ""
render etichette-azienda EtichetteAzienda.rpt EtichetteAzienda.rpt "$azienda" false ""
render privacy PrivacyContatti.rpt PrivacyContattiLan.rpt "$privacy" false ""
render pagamenti Pagamenti.rpt PagamentiLan.rpt "$pagamenti" true ""
render avvisi Avvisi.rpt AvvisiLan.rpt "$avvisi" false ""
render appuntamenti Appuntamenti.rpt AppuntamentiLan.rpt "$appuntamenti" true ""
ls -l "$out"
