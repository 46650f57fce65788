-- The archive's tables, in the program's SQL dialect. Every statement ends with ";".
-- Key columns that the program never reads (Id of the scratch and settings tables) exist so
-- that every row can be edited and deleted on its own.

CREATE TABLE Contatti (
  ID COUNTER,
  RagioneSociale TEXT(255), Cognome TEXT(100), Nome TEXT(100),
  NominativoDocumenti TEXT(255), NominativoVisualizzato TEXT(255),
  Sesso TEXT(1),
  Categoria_ID LONG, ColoreCategoria LONG, NumeroColore LONG,
  Professione_id LONG, Titolo_id LONG,
  Telefono TEXT(50), Cellulare TEXT(50), SecondoCell TEXT(50), secTelefono TEXT(50), Fax TEXT(50),
  email TEXT(255), secEmail TEXT(255),
  Citta_ID LONG, Indirizzo TEXT(255), Numero TEXT(20), Cap TEXT(10),
  UfficioComune_id LONG, UfficioIndirizzo TEXT(255), UfficioNumero TEXT(20), UfficioCap TEXT(10),
  Internet TEXT(255), Skype TEXT(255), Messenger TEXT(255),
  Note TEXT(255), DestMerce TEXT(255),
  CFisc TEXT(16), PIva TEXT(20), Pec TEXT(255), CodiceSdi TEXT(7),
  DataInserimento DATETIME, DataNascita DATETIME,
  LuogoNascita TEXT(100), LuogoNascita_Id LONG,
  Festivita YESNO, PrivacyFirmata YESNO, Annullato YESNO
);
CREATE INDEX IdxContattiNominativo ON Contatti (NominativoDocumenti);
CREATE INDEX IdxContattiCognomeNome ON Contatti (Cognome, Nome);

CREATE TABLE Categorie (Id COUNTER, Descrizione TEXT(100), ColoreCategoria LONG);
CREATE TABLE Professioni (Id COUNTER, Descrizione TEXT(100));
CREATE TABLE Titoli (Id COUNTER, Descrizione TEXT(100));
CREATE TABLE Sesso (Sesso TEXT(1) PRIMARY KEY, Descrizione TEXT(50));

CREATE TABLE Comuni (
  ID COUNTER, Comune TEXT(100), Provincia TEXT(2), Cap TEXT(5), PrefNaz TEXT(10),
  COD_ISTAT TEXT(6), CODICE_F TEXT(4), Regione_ID LONG, Nazione_ID LONG,
  Latitudine DOUBLE, Longitudine DOUBLE
);
CREATE INDEX IdxComuniComune ON Comuni (Comune);
CREATE TABLE Province (
  CODPROV LONG PRIMARY KEY, PROVINCIA TEXT(2), CAPOLUOGO TEXT(100), Regione_ID LONG
);
CREATE INDEX IdxProvinceProvincia ON Province (PROVINCIA);
CREATE TABLE regioni (IDRegione LONG PRIMARY KEY, Descrizione TEXT(100));
CREATE TABLE Nazioni (IDNazione LONG PRIMARY KEY, DENOMINAZ TEXT(100));
CREATE TABLE Indirizzi (
  id_cap LONG PRIMARY KEY, Frazione TEXT(100), Indirizzo TEXT(255), NumeroCivico TEXT(50),
  Cap TEXT(5), Comune_ID LONG
);
CREATE INDEX IdxIndirizziComune ON Indirizzi (Comune_ID);

CREATE TABLE Calendario (
  Id COUNTER, Data DATETIME, DataAvviso DATETIME, Cliente_ID LONG, Cliente TEXT(255),
  TipologiaCalendario TEXT(100), Note TEXT(255), Conclusa YESNO, Storico YESNO,
  Personale TEXT(50)
);
CREATE INDEX IdxCalendarioData ON Calendario (Data);
CREATE INDEX IdxCalendarioCliente ON Calendario (Cliente_ID);
CREATE INDEX IdxCalendarioAvvisi ON Calendario (Conclusa, DataAvviso);
CREATE INDEX IdxCalendarioNominativo ON Calendario (Cliente);
CREATE TABLE TipologiaCalendario (Id COUNTER, Descrizione TEXT(100));

CREATE TABLE Pagamenti (
  Id COUNTER, Contatto_ID LONG, data DATETIME, Descrizione TEXT(255), Importo CURRENCY
);
CREATE INDEX IdxPagamentiContatto ON Pagamenti (Contatto_ID);
CREATE TABLE TipoPagamenti (Id COUNTER, Descrizione TEXT(100));

CREATE TABLE Avvisi (Id COUNTER, Descrizione TEXT(255), Testo MEMO);
CREATE TABLE TempAvvisi (Id COUNTER, NomeComputer TEXT(50), Testo MEMO);
CREATE TABLE TempAvvisiContatti (Id COUNTER, NomeComputer TEXT(50), Contatto_ID LONG);
CREATE INDEX IdxTempAvvisiContattiPc ON TempAvvisiContatti (NomeComputer);
CREATE TABLE TempStampa (
  Id COUNTER, NomeComputer TEXT(50), NomeReport TEXT(255), NomeReportLandscape TEXT(255),
  Query MEMO, Filtro YESNO, Setup YESNO, PresenzaTestata YESNO,
  Esportazione YESNO, FileEsportazione TEXT(255), TipoEsportazione LONG
);
CREATE TABLE Griglie (
  Id COUNTER, NomeComputer TEXT(50), NomeGriglia TEXT(100),
  CampiUtente MEMO, WidthUtente MEMO, CaptionUtente MEMO,
  CampiPredefiniti MEMO, WidthPredefiniti MEMO, CaptionPredefiniti MEMO,
  TotaleCampiPredefiniti LONG, CampoOrdinamento TEXT(255)
);

CREATE TABLE opzioni (
  Id LONG PRIMARY KEY, PasswordAmministratore TEXT(255),
  StampanteDefault YESNO, EtichettePiccole YESNO,
  TipoEsportazione LONG, EstensioneEsportazione TEXT(10), AzioneImportazioneVCard LONG,
  SmtpHost TEXT(255), SmtpMittenteEmail TEXT(255), SmtpPorta LONG,
  SmtpUserName TEXT(255), SmtpPassword TEXT(255),
  SmtpAutenticazioneServer YESNO, SmtpCriptato YESNO, SmtpCriptaggioTipo LONG
);
CREATE TABLE ditta (
  Id COUNTER, RagSoc TEXT(255), Via TEXT(255), Numero TEXT(20), Cap TEXT(10), Comune TEXT(100),
  Provincia TEXT(2), PIva TEXT(20), CodFisc TEXT(16), Tel TEXT(50), Fax TEXT(50), Cell TEXT(50),
  Email TEXT(255), Internet TEXT(255), Logo LONGBINARY
);
CREATE TABLE Personalizzazioni (
  Id COUNTER, NomeTabella TEXT(64), NomeCampo TEXT(64), Tipo TEXT(1), Valore TEXT(255)
);
CREATE TABLE TipoEsportazioniCrystalReport (
  Numero LONG PRIMARY KEY, Descrizione TEXT(100), Estensione TEXT(10), Attivo YESNO
);
