#include "contacts/windows/frmcontatti.h"

#include "agenda/agendastore.h"
#include "common/colours.h"
#include "common/dialogs.h"
#include "common/gridsort.h"
#include "common/recordoperations.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/gridcommands.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "common/widgets/waitcursor.h"
#include "common/workerthread.h"
#include "contacts/contactsearch.h"
#include "contacts/contactstore.h"
#include "contacts/sheetexport.h"
#include "contacts/vcardexport.h"
#include "contacts/vcardimport.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "db/core/datetimes.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "privacy/erasure.h"
#include "reference/referencestore.h"
#include "vcard/vcardreader.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The question about a card that matches a contact, with answers for every card left and a
// way out before anything is written. Enter skips, the safe answer; Esc cancels.
RispostaContattoPresente askAboutKnownContact(const QString &question)
{
    static const QStringList buttons{QStringLiteral("Sì"), QStringLiteral("Sì a tutti"),
                                     QStringLiteral("No"), QStringLiteral("No a tutti"),
                                     QStringLiteral("Annulla")};
    static const RispostaContattoPresente answers[] = {
        RispostaContattoPresente::Salta, RispostaContattoPresente::SaltaTutti,
        RispostaContattoPresente::Aggiorna, RispostaContattoPresente::AggiornaTutti,
        RispostaContattoPresente::Annulla};
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed =
        dialogs().choose(question, QStringLiteral("Messaggio di avviso"), buttons, 0, 4);
    QApplication::restoreOverrideCursor();
    return answers[std::clamp(pressed, 0, 4)];
}

const QList<GridColumn> kDesign = {
    {QStringLiteral("NominativoDocumenti"), 220, QStringLiteral("Nominativo")},
    {QStringLiteral("Professione"), 110, QStringLiteral("Professione")},
    {QStringLiteral("Categoria"), 110, QStringLiteral("Categoria")},
    {QStringLiteral("Titolo"), 60, QStringLiteral("Titolo")},
    {QStringLiteral("AbitazioneTelefono"), 110, QStringLiteral("AbitazioneTelefono")},
    {QStringLiteral("Cellulare"), 110, QStringLiteral("Cellulare")},
    {QStringLiteral("email"), 170, QStringLiteral("email")},
    {QStringLiteral("AbitazioneComune"), 130, QStringLiteral("AbitazioneComune")},
    {QStringLiteral("AbitazioneIndirizzo"), 170, QStringLiteral("AbitazioneIndirizzo")},
    {QStringLiteral("AbitazioneCivico"), 60, QStringLiteral("AbitazioneCivico")},
    {QStringLiteral("AbitazioneCap"), 60, QStringLiteral("AbitazioneCap")},
    {QStringLiteral("Internet"), 140, QStringLiteral("Internet")},
    {QStringLiteral("Skype"), 100, QStringLiteral("Skype")},
    {QStringLiteral("Messenger"), 100, QStringLiteral("Messenger")},
    {QStringLiteral("Fax"), 100, QStringLiteral("Fax")},
    {QStringLiteral("Note"), 200, QStringLiteral("Note")},
    {QStringLiteral("UfficioCellulare"), 110, QStringLiteral("UfficioCellulare")},
    {QStringLiteral("UfficioEmail"), 170, QStringLiteral("UfficioEmail")},
    {QStringLiteral("UfficioTelefono"), 110, QStringLiteral("UfficioTelefono")},
    {QStringLiteral("UfficioComune"), 130, QStringLiteral("UfficioComune")},
    {QStringLiteral("UfficioIndirizzo"), 170, QStringLiteral("UfficioIndirizzo")},
    {QStringLiteral("UfficioCivico"), 60, QStringLiteral("UfficioCivico")},
    {QStringLiteral("UfficioCap"), 60, QStringLiteral("UfficioCap")},
    {QStringLiteral("Sesso"), 40, QStringLiteral("Sesso")},
    {QStringLiteral("Ide"), 60, QStringLiteral("Ide")},
};

const QString kNoSelection =
    QStringLiteral("Attenzione devi selezionare i contatti da copiare le email");
const QString kVCardFilter = QStringLiteral("Vcard (*.vcf)");
const QString kSheetFilter = QStringLiteral(
    "Fogli di calcolo (*.csv *.xlsx);;CSV (*.csv);;Excel (*.xlsx);;Tutti i file (*)");
const QString kSheetSaveFilter = QStringLiteral("Excel (*.xlsx);;CSV per fogli di calcolo (*.csv)");

// While an import runs the list shows nothing of it; afterwards, however the import ended, it
// is read again on the same filter, sort and contact, and shown.
class ListRestore
{
public:
    explicit ListRestore(db::DataSet &list)
        : m_list(list), m_filter(list.filter()), m_current(list.value(u"Ide"))
    {
        m_list.disableControls();
    }
    ~ListRestore()
    {
        if (m_list.filter() != m_filter)
            (void)m_list.setFilter(m_filter);
        if (m_reread && m_list.requery() && m_current.isValid())
            (void)m_list.locate(u"Ide", m_current);
        m_list.enableControls();
    }
    ListRestore(const ListRestore &) = delete;
    ListRestore &operator=(const ListRestore &) = delete;

    void reread() { m_reread = true; }

private:
    db::DataSet &m_list;
    QString m_filter;
    QVariant m_current;
    bool m_reread = false;
};

} // namespace

TfrmContatti::TfrmContatti(ContactStore &store, ReferenceStore &reference, PaymentStore &payments,
                           AgendaStore &agenda, OptionsStore &options, GridLayouts layouts,
                           TfrmContattiDett &editor, TfrmIndirizziEmail &addresses, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_store(store),
      m_reference(reference), m_payments(payments), m_agenda(agenda), m_options(options),
      m_editor(editor), m_addresses(addresses)
{
    setObjectName(QStringLiteral("frmContatti"));
    setWindowTitle(QStringLiteral("Archivio"));
    setHelpContext(this, 3100);
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    auto *aiuto = toolButton(this, QStringLiteral("SpeedButton2"), QStringLiteral("Aiuto"),
                             QString(), QStyle::SP_DialogHelpButton);
    auto *ricarica = toolButton(this, QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"),
                                QStringLiteral("Aggiorna l'elenco"), QStyle::SP_BrowserReload);
    auto *importa =
        toolButton(this, QStringLiteral("btImportaVCard"), QStringLiteral("Importa Vcard"),
                   QString(), QStyle::SP_DialogOpenButton);
    auto *esporta =
        toolButton(this, QStringLiteral("btEsportaVCard"), QStringLiteral("Esporta Vcard"),
                   QString(), QStyle::SP_DialogSaveButton);
    auto *importaFoglio =
        toolButton(this, QStringLiteral("btImportaFoglio"), QStringLiteral("Importa foglio"),
                   QStringLiteral("Importa i contatti di un foglio di calcolo (CSV o Excel)"),
                   QStyle::SP_DialogOpenButton);
    auto *esportaFoglio =
        toolButton(this, QStringLiteral("btEsportaFoglio"), QStringLiteral("Esporta foglio"),
                   QStringLiteral("Esporta in un foglio di calcolo (CSV o Excel) i contatti "
                                  "selezionati, o tutti quelli dell'elenco"),
                   QStyle::SP_DialogSaveButton);
    auto *copia = toolButton(this, QStringLiteral("spdCopyEmail"), QStringLiteral("Copia email"),
                             QString(), QStyle::SP_FileDialogContentsView);
    auto *invia = toolButton(this, QStringLiteral("spdEmail"), QStringLiteral("Invia email"),
                             QString(), QStyle::SP_MessageBoxInformation);
    auto *indietro = toolButton(this, QStringLiteral("SpeedButton3"), QStringLiteral("Indietro"),
                                QString(), QStyle::SP_ArrowBack);
    auto *elimina = toolButton(this, QStringLiteral("spdElimina"), QStringLiteral("Elimina"),
                               QStringLiteral("Elimina il record corrente "), QStyle::SP_TrashIcon);
    auto *aggiungi = toolButton(this, QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"),
                                QStringLiteral("Inserisce un nuovo Record"), QStyle::SP_FileIcon);
    auto *avanti = toolButton(this, QStringLiteral("SpeedButton4"), QStringLiteral("Avanti"),
                              QString(), QStyle::SP_ArrowForward);
    importa->setToolTip(QStringLiteral("Importa in archivio i Dati di una VCard"));
    esporta->setToolTip(QStringLiteral("Esporta i record selezionati in Vcard"));
    for (QToolButton *b : {aiuto, ricarica, importa, esporta, importaFoglio, esportaFoglio, copia,
                           invia, elimina, aggiungi, avanti, indietro})
        toolbar->addWidget(b);
    toolbar->addStretch();
    layout->addLayout(toolbar);

    m_model = new DataSetModel(m_store.TableCercaContatti, this);
    m_model->setDesign(kDesign);
    m_model->setRowBackground([](const db::DataSet &ds, int row) -> QVariant {
        const qint64 colour =
            contactRowColour(ds.valueAt(row, ds.columnIndex(u"NumeroColore")).toLongLong(),
                             ds.valueAt(row, ds.columnIndex(u"ColoreCategoria")).toLongLong());
        return colour == kBianco ? QVariant() : QVariant(fromWindowsColour(colour));
    });
    m_grid = new DataGrid(m_model, true, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    QMenu *menu =
        attachGridCommands(m_grid, m_model, layouts.griglie, QStringLiteral("frmContatti"),
                           QStringLiteral("Reset Colonne"), layouts.computerName);
    menu->addSeparator();
    QAction *auguri = menu->addAction(QStringLiteral("Seleziona emails per auguri"));
    auguri->setObjectName(QStringLiteral("Selezionaemailsperauguri1"));
    QAction *tutti = menu->addAction(QStringLiteral("Seleziona tutti"));
    tutti->setObjectName(QStringLiteral("Selezionatutti1"));
    QAction *conta = menu->addAction(QStringLiteral("Conta Record"));
    conta->setObjectName(QStringLiteral("ContaRecord1"));
    connect(auguri, &QAction::triggered, this, &TfrmContatti::selezionaAuguri);
    connect(tutti, &QAction::triggered, this, &TfrmContatti::selezionaTutti);
    connect(conta, &QAction::triggered, this, &TfrmContatti::contaRecord);
    layout->addWidget(m_grid, 1);

    auto *filters = new QGroupBox(QStringLiteral("Filtri"), this);
    auto *grid = new QGridLayout(filters);
    const auto box = [&](const QString &name, const QString &label, int column) {
        auto *edit = new QLineEdit(filters);
        edit->setObjectName(name);
        grid->addWidget(new QLabel(label, filters), 0, column);
        grid->addWidget(edit, 1, column);
        connect(edit, &QLineEdit::textChanged, this, &TfrmContatti::filtra);
        return edit;
    };
    const auto list = [&](const QString &name, const QString &label, int column, db::DataSet &ds,
                          const QString &key, const QString &shown) {
        auto *combo = new DataSetComboBox(ds, key, shown, filters);
        combo->setObjectName(name);
        grid->addWidget(new QLabel(label, filters), 0, column);
        grid->addWidget(combo, 1, column);
        connect(combo, &DataSetComboBox::chosen, this, &TfrmContatti::filtra);
        return combo;
    };
    m_nominativo = box(QStringLiteral("Edit1"), QStringLiteral("Nominativo"), 0);
    m_fax = box(QStringLiteral("Edit2"), QStringLiteral("fax"), 1);
    m_note = box(QStringLiteral("Edit4"), QStringLiteral("Note"), 2);
    m_telefoni = box(QStringLiteral("Edit5"), QStringLiteral("Telefoni"), 3);
    m_cellulari = box(QStringLiteral("Edit6"), QStringLiteral("Cellulari"), 4);
    m_categoria =
        list(QStringLiteral("DBLookupComboBox1"), QStringLiteral("Categoria"), 5,
             m_reference.TableCategorie, QStringLiteral("Id"), QStringLiteral("descrizione"));
    m_sesso = list(QStringLiteral("DBLookupComboBox3"), QStringLiteral("Sesso"), 6,
                   m_reference.TableSesso, QStringLiteral("Sesso"), QStringLiteral("Descrizione"));
    m_professione =
        list(QStringLiteral("DBLookupComboBox2"), QStringLiteral("Professione"), 7,
             m_reference.TableProfessioni, QStringLiteral("Id"), QStringLiteral("descrizione"));
    m_email = box(QStringLiteral("Edit7"), QStringLiteral("Email"), 8);
    layout->addWidget(filters);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::List);
    conventions->markAsLookup(m_categoria, [this] {
        m_categoria->setKey(0);
        filtra();
    });
    conventions->markAsLookup(m_professione, [this] {
        m_professione->setKey(0);
        filtra();
    });
    conventions->markAsLookup(m_sesso, [this] {
        m_sesso->setKey(QString());
        filtra();
    });
    InputConventions::connectHelpButton(aiuto);

    connect(m_grid, &DataGrid::titleClicked, this, &TfrmContatti::ordina);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmContatti::avanti);
    connect(avanti, &QToolButton::clicked, this, &TfrmContatti::avanti);
    connect(aggiungi, &QToolButton::clicked, this, &TfrmContatti::aggiungi);
    connect(elimina, &QToolButton::clicked, this, &TfrmContatti::elimina);
    connect(ricarica, &QToolButton::clicked, this, &TfrmContatti::ricarica);
    connect(copia, &QToolButton::clicked, this, &TfrmContatti::copiaEmail);
    connect(invia, &QToolButton::clicked, this, &TfrmContatti::inviaEmail);
    connect(importa, &QToolButton::clicked, this, &TfrmContatti::importaVCard);
    connect(esporta, &QToolButton::clicked, this, &TfrmContatti::esportaVCard);
    connect(importaFoglio, &QToolButton::clicked, this, &TfrmContatti::importaFoglio);
    connect(esportaFoglio, &QToolButton::clicked, this, &TfrmContatti::esportaFoglio);
    m_sheetImport = nullptr;
    setOpenConnection({});
    m_sheetExport = new WorkerThread(this);
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    setWindowState(Qt::WindowMaximized);
    resize(1100, 700);
}

void TfrmContatti::reset()
{
    // Every box, the e-mail one and the sex choice too: a search left in a box the list no
    // longer applies would come back at the next key typed elsewhere.
    for (QLineEdit *edit : {m_nominativo, m_fax, m_note, m_telefoni, m_cellulari, m_email})
        edit->clear();
    m_categoria->setKey(0);
    m_professione->setKey(0);
    m_sesso->setKey(QString());
    (void)m_store.TableContatti.setFilter(QString());
    (void)m_store.TableCercaContatti.setFilter(QString());
}

void TfrmContatti::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The list is read the first time it is shown, not at start-up.
    if (!m_store.TableCercaContatti.isOpen()) {
        WaitCursor wait;
        (void)m_store.openList();
    }
}

void TfrmContatti::filtra()
{
    const ContactSearch search{m_nominativo->text(),
                               m_fax->text(),
                               m_note->text(),
                               m_telefoni->text(),
                               m_cellulari->text(),
                               m_categoria->shownText(),
                               m_sesso->key().toString(),
                               m_professione->shownText(),
                               m_email->text()};
    if (db::Status filtered = m_store.TableCercaContatti.setFilter(composeContactFilter(search));
        !filtered)
        dialogs().error(filtered.message());
}

void TfrmContatti::ordina(const QString &field)
{
    (void)m_store.TableCercaContatti.setSort(toggledSort(m_store.TableCercaContatti.sort(), field));
}

bool TfrmContatti::openContact(qint64 id)
{
    db::Status opened = m_store.openContact(id);
    if (opened)
        opened = m_payments.showContact(id);
    if (!opened) {
        dialogs().error(opened.message());
        return false;
    }
    return true;
}

void TfrmContatti::avanti()
{
    db::DataSet &list = m_store.TableCercaContatti;
    if (list.isEmpty() || list.isNull(u"Ide"))
        return;
    // A contact deleted elsewhere opens no editor (it could only be left by typing a name and
    // would then save nothing) and leaves the list.
    const qint64 id = list.asInteger(u"Ide");
    if (!openContact(id)) {
        if (m_store.TableContatti.isOpen() && m_store.TableContatti.isEmpty())
            (void)list.refreshRow(u"Ide", id);
        return;
    }
    m_editor.setNewContact(false);
    m_editor.showFirstPage();
    const qint64 colour = m_store.TableContatti.asInteger(u"NumeroColore");
    m_editor.setColourChoice(colour >= 1 ? colour : kBianco);
    dialogs().showModal(&m_editor);
}

void TfrmContatti::aggiungi()
{
    for (QLineEdit *edit : {m_nominativo, m_fax, m_note, m_telefoni, m_cellulari})
        edit->clear();
    m_categoria->setKey(0);
    m_professione->setKey(0);
    filtra();

    if (db::Status added = m_store.appendContact(m_options.TablePersonalizzazioni); !added) {
        dialogs().error(added.message());
        return;
    }
    if (!m_store.storeNewContact())
        return;
    if (!openContact(m_store.TableContatti.asInteger(u"id")))
        return;
    m_editor.setModified(true);
    m_editor.setNewContact(true);
    m_editor.showFirstPage();
    m_editor.setColourChoice(kBianco);
    dialogs().showModal(&m_editor);
}

void TfrmContatti::elimina()
{
    db::DataSet &list = m_store.TableCercaContatti;
    if (list.isEmpty())
        return;
    // The question names whom it deletes, and Enter keeps the contact.
    QString name = list.asString(u"NominativoVisualizzato").trimmed();
    if (name.isEmpty())
        name = list.asString(u"NominativoDocumenti").trimmed();
    // The ordinary delete leaves the contact's payments and appointments: said, with the way to
    // take everything.
    QString behind;
    const db::Result<privacy::LeftBehind> left =
        privacy::leftBehindByDelete(m_store.connection(), list.asInteger(u"Ide"));
    if (left && (left->payments > 0 || left->appointments > 0)) {
        behind = QStringLiteral("\nRestano in archivio %1 e %2 del contatto (per cancellare "
                                "anche quelli: «Cancella definitivamente…» nella scheda del "
                                "contatto).")
                     .arg(left->payments == 1 ? QStringLiteral("1 pagamento")
                                              : QStringLiteral("%1 pagamenti").arg(left->payments),
                          left->appointments == 1
                              ? QStringLiteral("1 appuntamento")
                              : QStringLiteral("%1 appuntamenti").arg(left->appointments));
    }
    if (!dialogs().confirmDefaultNo(QStringLiteral("Sei sicuro di voler eliminare il contatto?") +
                                    (name.isEmpty() ? QString() : u'\n' + name) + behind))
        return;
    if (db::Status removed = m_store.removeListed(); !removed)
        dialogs().error(removed.message());
}

void TfrmContatti::ricarica()
{
    // The hint promises the list too, not only the contact being edited.
    if (db::Status reread = m_store.reload(); !reread)
        dialogs().error(reread.message());
}

bool TfrmContatti::selectedAddresses(QStringList *addresses)
{
    const QList<db::DataSet::Bookmark> selected = m_grid->selectedBookmarks();
    if (selected.isEmpty()) {
        dialogs().error(kNoSelection);
        return false;
    }
    for (db::DataSet::Bookmark b : selected) {
        for (const QString &column : {QStringLiteral("email"), QStringLiteral("secEmail")}) {
            const QString address = m_store.TableCercaContatti.valueOf(b, column).toString();
            if (!address.isEmpty())
                *addresses << address;
        }
    }
    return true;
}

void TfrmContatti::copiaEmail()
{
    QStringList addresses;
    if (!selectedAddresses(&addresses))
        return;
    m_addresses.clear();
    for (const QString &address : addresses)
        m_addresses.addLine(address + QStringLiteral(", "));
    dialogs().showModal(&m_addresses);
}

void TfrmContatti::inviaEmail()
{
    QStringList addresses;
    if (selectedAddresses(&addresses) && m_sendEmail)
        m_sendEmail(addresses);
}

void TfrmContatti::esportaVCard()
{
    const QList<db::DataSet::Bookmark> selected = m_grid->selectedBookmarks();
    if (selected.isEmpty()) {
        dialogs().error(QStringLiteral("Attenzione devi selezionare i contatti da Esportare"));
        return;
    }
    // In the order the user selected them, not the list's.
    QList<qint64> ids;
    for (db::DataSet::Bookmark b : selected)
        ids << m_store.TableCercaContatti.valueOf(b, u"Ide").toLongLong();
    // One contact's card is named after the contact, several go to "Contatti.vcf".
    const QString suggested =
        ids.size() == 1
            ? nomeFileVCardContatto(
                  m_store.TableCercaContatti.valueOf(selected.first(), u"NominativoDocumenti")
                      .toString())
            : QStringLiteral("Contatti.vcf");
    const QString chosen = dialogs().chooseSaveFile(QStringLiteral("Esporta Vcard"), kVCardFilter,
                                                    QDir(documentsFolder()).filePath(suggested));
    if (chosen.isEmpty())
        return;
    const QString path = nomeFileVCard(chosen);
    const db::Result<EsportazioneVCard> done = [&]() -> db::Result<EsportazioneVCard> {
        WaitCursor wait;
        db::Result<EsportazioneVCard> exported = ::esportaVCard(m_store.connection(), ids);
        if (!exported)
            return exported;
        if (db::Status written = scriviFileVCard(path, exported->file); !written)
            return written.error();
        return exported;
    }();
    if (!done) {
        dialogs().error(done.message());
        return;
    }
    dialogs().information(messaggioEsportazioneVCard(*done, ids.size(), path),
                          QStringLiteral("Esporta Vcard"));
}

void TfrmContatti::setOpenConnection(TfrmImportaFoglio::OpenConnection open)
{
    delete m_sheetImport;
    m_sheetImport = new TfrmImportaFoglio(std::move(open), this);
    connect(m_sheetImport, &TfrmImportaFoglio::imported, this, [this](bool listsAdded) {
        ListRestore restore(m_store.TableCercaContatti);
        restore.reread();
        if (listsAdded) {
            for (db::DataSet *ds : {&m_reference.TableCategorie, &m_reference.TableProfessioni,
                                    &m_reference.TableTitoli})
                (void)ds->requery();
        }
    });
}

bool TfrmContatti::isExporting() const
{
    return m_sheetExport->isRunning();
}

void TfrmContatti::importaFoglio()
{
    const QString file =
        dialogs().chooseOpenFile(QStringLiteral("Importa foglio"), kSheetFilter, documentsFolder());
    if (file.isEmpty())
        return;
    const db::Result<sheets::SheetRows> rows = [&] {
        WaitCursor wait;
        return readSheetFile(file);
    }();
    if (!rows) {
        dialogs().error(rows.message());
        return;
    }
    m_sheetImport->mostra(file, *rows);
    dialogs().showModal(m_sheetImport);
}

void TfrmContatti::esportaFoglio()
{
    if (m_sheetExport->isRunning())
        return;
    // Several contacts selected: those, in the order selected; otherwise the whole list.
    QList<qint64> ids;
    const QList<db::DataSet::Bookmark> selected = m_grid->selectedBookmarks();
    db::DataSet &list = m_store.TableCercaContatti;
    if (selected.size() > 1) {
        for (db::DataSet::Bookmark b : selected)
            ids << list.valueOf(b, u"Ide").toLongLong();
    } else {
        const int key = list.columnIndex(u"Ide");
        for (int r = 0; r < list.recordCount(); ++r)
            ids << list.valueAt(r, key).toLongLong();
    }
    if (ids.isEmpty()) {
        dialogs().error(QStringLiteral("L'elenco non ha contatti da esportare."));
        return;
    }
    const QString chosen = dialogs().chooseSaveFile(
        QStringLiteral("Esporta foglio (%1 contatti)").arg(ids.size()), kSheetSaveFilter,
        QDir(documentsFolder()).filePath(QStringLiteral("Contatti.xlsx")));
    if (chosen.isEmpty())
        return;
    const QString path = sheetFileName(chosen, QStringLiteral(".xlsx"));
    if (sheetKindOf(path) == SheetKind::Unknown) {
        dialogs().error(QStringLiteral("Il nome del file deve finire con .xlsx o .csv."));
        return;
    }
    int missing = 0;
    db::Result<sheets::SheetRows> rows = [&] {
        WaitCursor wait;
        return contactSheetRows(m_store.connection(), ids, &missing);
    }();
    if (!rows) {
        dialogs().error(rows.message());
        return;
    }
    // The file is written off the window's thread: a large workbook takes a while.
    m_sheetExport->start([this, rows = std::move(*rows), path,
                          missing](const std::atomic_bool &) -> std::function<void()> {
        const db::Status written = writeSheetFile(path, rows);
        const qsizetype count = rows.size() - 1;
        return [written, count, path, missing] {
            if (!written)
                dialogs().error(written.message());
            else
                dialogs().information(sheetExportMessage(count, missing, path),
                                      QStringLiteral("Esporta foglio"));
        };
    });
}

void TfrmContatti::importaVCard()
{
    const QString file =
        dialogs().chooseOpenFile(QStringLiteral("Importa Vcard"), kVCardFilter, QString());
    if (file.isEmpty())
        return;
    const db::Result<QList<DatiVCard>> cards = LeggiVCardFile(file);
    if (!cards) {
        dialogs().error(cards.message());
        return;
    }
    if (cards->isEmpty()) {
        dialogs().error(QStringLiteral("Il file %1 non contiene nessuna Vcard.")
                            .arg(QFileInfo(file).fileName()));
        return;
    }
    // The option as stored now, whichever workstation saved it last.
    if (db::Status read = m_options.TableOpzioni.requery(); !read) {
        dialogs().error(read.message());
        return;
    }
    const AzioneImportazioneVCard azione =
        azioneImportazioneVCard(m_options.TableOpzioni.value(u"AzioneImportazioneVCard"));
    db::Result<RiepilogoImportazioneVCard> done = [&] {
        WaitCursor wait;
        ListRestore restore(m_store.TableCercaContatti);
        db::Result<RiepilogoImportazioneVCard> imported = ::importaVCard(
            m_store.connection(), *cards, azione, &askAboutKnownContact, db::clock::today());
        if (!imported || imported->annullato)
            return imported;
        restore.reread();
        (void)RicaricaSuRecord(m_store.TableContatti, QStringLiteral("Id"));
        // Categories, professions and titles added on the way appear in every list.
        if (imported->righeAggiunte) {
            for (db::DataSet *ds : {&m_reference.TableCategorie, &m_reference.TableProfessioni,
                                    &m_reference.TableTitoli})
                (void)ds->requery();
        }
        if (imported->nomiCambiati)
            (void)m_agenda.reload();
        return imported;
    }();
    if (!done) {
        dialogs().error(done.message());
        return;
    }
    if (done->annullato) {
        dialogs().information(QStringLiteral("Importazione annullata: nessun contatto è stato "
                                             "importato."),
                              QStringLiteral("Importa Vcard"));
        return;
    }
    dialogs().information(done->testo(), QStringLiteral("Importa Vcard"));
}

void TfrmContatti::selezionaTutti()
{
    m_grid->selectAll();
    m_store.TableCercaContatti.last();
}

void TfrmContatti::selezionaAuguri()
{
    db::DataSet &list = m_store.TableCercaContatti;
    const int festivita = list.columnIndex(u"Festivita");
    m_grid->clearSelection();
    for (int row = 0; row < list.recordCount(); ++row) {
        if (list.valueAt(row, festivita).toBool())
            m_grid->selectRow(row, true);
    }
    list.last();
}

void TfrmContatti::contaRecord()
{
    const int count = m_store.TableCercaContatti.recordCount();
    if (count > 0)
        dialogs().information(QString::asprintf("%i", count), QStringLiteral("Numero dei records"));
}
