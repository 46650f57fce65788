#include "contacts/windows/frmcontattidett.h"

#include "common/colours.h"
#include "common/dialogs.h"
#include "common/textfunctions.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "common/widgets/waitcursor.h"
#include "contacts/contactnames.h"
#include "contacts/contactstore.h"
#include "contacts/windows/taxcodefields.h"
#include "db/core/datetimes.h"
#include "payments/paymentstore.h"
#include "payments/windows/pagamentipage.h"
#include "privacy/erasure.h"
#include "privacy/personaldata.h"
#include "privacy/personalexport.h"
#include "reference/referencestore.h"
#include "session/reporthandoff.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kNameless =
    QStringLiteral("Attenzione manca la ragione sociale o il cognome del Contatto ");

QIcon swatch(qint64 windowsColour)
{
    QPixmap p(16, 16);
    p.fill(fromWindowsColour(windowsColour));
    return QIcon(p);
}

} // namespace

TfrmContattiDett::TfrmContattiDett(ContactStore &store, ReferenceStore &reference,
                                   PaymentStore &payments, TfrmPagamentiContatto &payment,
                                   ContactEditorLinks links, QWidget *parent)
    : DetailWindow(parent), m_store(store), m_reference(reference), m_payments(payments),
      m_links(std::move(links))
{
    setObjectName(QStringLiteral("frmContattiDett"));
    setWindowTitle(QStringLiteral("Contatti"));
    setHelpContext(this, 3200);
    m_binder = new FieldBinder(m_store.TableContatti, this);
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    QToolButton *aiuto = toolButton(this, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"),
                                    QString(), QStyle::SP_DialogHelpButton);
    QToolButton *stampa =
        toolButton(this, QStringLiteral("spdPrivacy"), QStringLiteral("Stampa"),
                   QStringLiteral("Stampa della Privacy"), QStyle::SP_FileDialogDetailedView);
    QToolButton *salva =
        toolButton(this, QStringLiteral("spdSalva"), QStringLiteral("Salva"),
                   QStringLiteral("Sava le modifiche effettuate"), QStyle::SP_DialogSaveButton);
    salva->hide();
    QToolButton *indietro = toolButton(this, QStringLiteral("spdIndietro"),
                                       QStringLiteral("Indietro"), QString(), QStyle::SP_ArrowBack);
    QToolButton *dati = toolButton(
        this, QStringLiteral("spdDatiPersonali"), QStringLiteral("Dati personali…"),
        QStringLiteral("Tutto ciò che l'archivio contiene sul contatto, in un file da consegnare"),
        QStyle::SP_FileDialogContentsView);
    QToolButton *cancella = toolButton(
        this, QStringLiteral("spdCancellaDefinitivamente"),
        QStringLiteral("Cancella definitivamente…"),
        QStringLiteral("Cancella per sempre il contatto con i suoi pagamenti e appuntamenti"),
        QStyle::SP_DialogDiscardButton);
    for (QToolButton *b : {aiuto, stampa, salva, dati})
        toolbar->addWidget(b);
    toolbar->addStretch();
    toolbar->addWidget(cancella);
    toolbar->addStretch();
    toolbar->addWidget(indietro);
    layout->addLayout(toolbar);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildGenerale(), QStringLiteral("  Generale  "));
    m_pages->addTab(buildUfficio(), QStringLiteral("  Ufficio  "));
    m_pagamenti = new PagamentiPage(
        m_payments, payment, [this] { return m_store.TableContatti.value(u"ID"); }, m_pages);
    m_pages->addTab(m_pagamenti, QStringLiteral("  Pagamenti  "));
    m_pages->addTab(buildAltro(), QStringLiteral("  Altro"));
    layout->addWidget(m_pages, 1);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    connect(conventions, &InputConventions::edited, this, [this](QWidget *field) {
        // Fields of the payments page belong to the payment, not to the contact.
        if (!m_pagamenti->isAncestorOf(field))
            markChanged();
        if (field == m_ragioneSociale || field == m_cognome || field == m_nome)
            nameChanged = true;
    });
    for (DataSetComboBox *list : findChildren<DataSetComboBox *>()) {
        const QString column = list->property("column").toString();
        conventions->markAsLookup(list, [this, list, column] {
            (void)m_store.TableContatti.setValue(column, QVariant());
            if (list == m_categoria)
                (void)m_store.TableContatti.setValue(u"ColoreCategoria", QVariant());
            if (list == m_luogoNascita)
                (void)m_store.TableContatti.setValue(u"LuogoNascita_Id", QVariant());
            markChanged();
        });
    }
    // What the user changes in a bound field, a list or a check box is a pending change.
    connect(m_binder, &FieldBinder::edited, this, [this](QWidget *field) {
        markChanged();
        if (field == m_ragioneSociale || field == m_cognome || field == m_nome)
            nameChanged = true;
    });
    InputConventions::connectHelpButton(aiuto);
    connect(stampa, &QToolButton::clicked, this, &TfrmContattiDett::stampaPrivacy);
    connect(dati, &QToolButton::clicked, this, &TfrmContattiDett::datiPersonali);
    connect(cancella, &QToolButton::clicked, this, &TfrmContattiDett::cancellaDefinitivamente);
    m_export = new WorkerThread(this);
    connect(salva, &QToolButton::clicked, this, &TfrmContattiDett::spdSalvaClick);
    connect(indietro, &QToolButton::clicked, this, &TfrmContattiDett::spdIndietroClick);
    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmContattiDett::pageChanging);
    resize(900, 620);
}

TfrmContattiDett::~TfrmContattiDett() = default;

namespace {

// A postal code: digits, and the blank or dash of some foreign ones; never a town's name.
QLineEdit *acceptPostalCodes(QLineEdit *edit)
{
    static const QRegularExpression characters(QStringLiteral("[0-9 -]{0,10}"));
    edit->setValidator(new QRegularExpressionValidator(characters, edit));
    return edit;
}

} // namespace

QLineEdit *TfrmContattiDett::textField(QWidget *parent, const QString &name, const QString &column)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setProperty("column", column);
    m_binder->bindText(edit, column);
    if (column == u"Cap" || column == u"UfficioCap")
        connect(edit, &QLineEdit::textEdited, this, [this, column](const QString &text) {
            m_typedCaps.insert(column, text.trimmed());
        });
    return edit;
}

DataSetComboBox *TfrmContattiDett::lookupField(QWidget *parent, const QString &name,
                                               const QString &column, db::DataSet &list,
                                               const QString &key, const QString &shown)
{
    auto *box = new DataSetComboBox(list, key, shown, parent);
    box->setObjectName(name);
    box->setProperty("column", column);
    m_binder->bindLookup(box, column);
    return box;
}

void TfrmContattiDett::openLookup(db::DataSet &list, const QString &keyColumn,
                                  const std::function<void()> &open)
{
    const QVariant key = m_store.TableContatti.value(keyColumn);
    if (key.toLongLong() < 1 || !open)
        return;
    // Opened only on the contact's own entry: a filter left in the list window may hide it.
    const db::Result<bool> found = list.locate(u"Id", key);
    if (found && *found)
        open();
}

QWidget *TfrmContattiDett::buildGenerale()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    // Two columns: who the contact is on the left, where and how to reach it on the right.
    int rows[2] = {0, 0};
    QList<QWidget *> order[2];
    const auto put = [&](const QString &label, QWidget *w, int column = 0) {
        auto *caption = new QLabel(label, page);
        caption->setBuddy(w); // messages about a field call it by its caption
        g->addWidget(caption, rows[column], column * 2);
        g->addWidget(w, rows[column]++, column * 2 + 1);
        order[column].append(w);
    };
    m_categoria = lookupField(page, QStringLiteral("DBLookupComboBox1"),
                              QStringLiteral("Categoria_ID"), m_reference.TableCategorie,
                              QStringLiteral("Id"), QStringLiteral("descrizione"));
    auto *titolo =
        lookupField(page, QStringLiteral("DBLookupComboBox3"), QStringLiteral("Titolo_id"),
                    m_reference.TableTitoli, QStringLiteral("Id"), QStringLiteral("descrizione"));
    auto *sesso =
        lookupField(page, QStringLiteral("DBLookupComboBox4"), QStringLiteral("Sesso"),
                    m_reference.TableSesso, QStringLiteral("Sesso"), QStringLiteral("Descrizione"));
    auto *professione = lookupField(page, QStringLiteral("DBLookupComboBox2"),
                                    QStringLiteral("Professione_id"), m_reference.TableProfessioni,
                                    QStringLiteral("Id"), QStringLiteral("descrizione"));
    m_comune = lookupField(page, QStringLiteral("DBLookupComboBox5"), QStringLiteral("Citta_ID"),
                           m_reference.TableComuni, QStringLiteral("ID"), QStringLiteral("Comune"));
    m_luogoNascita =
        lookupField(page, QStringLiteral("DBLookupComboBox6"), QStringLiteral("LuogoNascita"),
                    m_reference.TableComuni, QStringLiteral("Comune"), QStringLiteral("Comune"));
    // Towns of one name told apart by their province.
    for (DataSetComboBox *town : {m_comune, m_luogoNascita})
        town->showProvince(QStringLiteral("Provincia"));

    for (DataSetComboBox *list : {m_categoria, professione, titolo})
        connect(list, &DataSetComboBox::chosen, this, &TfrmContattiDett::copyCategoryColour);
    connect(m_comune, &DataSetComboBox::chosen, this,
            [this] { fillCapOfTown(QStringLiteral("Cap")); });
    connect(m_luogoNascita, &DataSetComboBox::chosen, this, [this] {
        (void)m_store.TableContatti.setValue(u"LuogoNascita_Id",
                                             m_reference.TableComuni.value(u"Id"));
    });

    m_ragioneSociale = textField(page, QStringLiteral("DBEdit1"), QStringLiteral("RagioneSociale"));
    put(QStringLiteral("Ragione Soc."), m_ragioneSociale);
    m_cognome = textField(page, QStringLiteral("DBEdit2"), QStringLiteral("Cognome"));
    put(QStringLiteral("Cognome"), m_cognome);
    m_nome = textField(page, QStringLiteral("DBEdit3"), QStringLiteral("Nome"));
    put(QStringLiteral("Nome"), m_nome);
    put(QStringLiteral("Titolo"),
        withLookupButtons(
            titolo, QStringLiteral("SpeedButton8"), QStringLiteral("SpeedButton9"),
            [this, titolo] { titolo->addAndChoose(m_links.titoli.add); },
            [this] {
                openLookup(m_reference.TableTitoli, QStringLiteral("Titolo_id"),
                           m_links.titoli.open);
            }));
    put(QStringLiteral("Sesso"), sesso);
    put(QStringLiteral("Categoria"),
        withLookupButtons(
            m_categoria, QStringLiteral("SpeedButton12"), QStringLiteral("SpeedButton13"),
            [this] { m_categoria->addAndChoose(m_links.categorie.add); },
            [this] {
                openLookup(m_reference.TableCategorie, QStringLiteral("Categoria_ID"),
                           m_links.categorie.open);
            }));
    put(QStringLiteral("Professione"),
        withLookupButtons(
            professione, QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton2"),
            [this, professione] { professione->addAndChoose(m_links.professioni.add); },
            [this] {
                openLookup(m_reference.TableProfessioni, QStringLiteral("Professione_id"),
                           m_links.professioni.open);
            }));
    m_codiceFiscale = textField(page, QStringLiteral("DBEdit13"), QStringLiteral("CFisc"));
    auto *partitaIva = textField(page, QStringLiteral("DBEdit14"), QStringLiteral("PIva"));
    m_dataNascita = new QLineEdit(page);
    m_dataNascita->setObjectName(QStringLiteral("DBEdit18"));
    m_binder->bindDate(m_dataNascita, QStringLiteral("DataNascita"));
    m_taxCodes =
        new TaxCodeFields(m_store.TableContatti, m_reference.TableComuni, *m_binder,
                          {m_cognome, m_nome, m_dataNascita, m_codiceFiscale, partitaIva}, this);
    connect(m_taxCodes, &TaxCodeFields::changed, this, &TfrmContattiDett::markChanged);
    connect(m_taxCodes, &TaxCodeFields::showFields, this, [this] {
        const QSignalBlocker quiet(m_pages);
        m_pages->setCurrentIndex(0);
        m_currentPage = 0;
    });
    put(QStringLiteral("Cod. Fiscale"), m_taxCodes->codiceFiscaleRow());
    order[0].last() = m_codiceFiscale;
    put(QStringLiteral("P. Iva"), m_taxCodes->partitaIvaRow());
    order[0].last() = partitaIva;
    put(QStringLiteral("Data di Nascita"), m_dataNascita);
    put(QStringLiteral("Luogo Nascita"),
        withLookupButtons(
            m_luogoNascita, QStringLiteral("SpeedButton14"), QStringLiteral("SpeedButton15"),
            [this] { m_luogoNascita->addAndChoose(m_links.comuni.add); },
            [this] {
                openLookup(m_reference.TableComuni, QStringLiteral("LuogoNascita_Id"),
                           m_links.comuni.open);
            }));
    auto *inserimento = new QLineEdit(page);
    inserimento->setObjectName(QStringLiteral("DBEdit17"));
    m_binder->bindDate(inserimento, QStringLiteral("DataInserimento"));
    put(QStringLiteral("Data Inserimento"), inserimento);

    put(QStringLiteral("Indirizzo"),
        textField(page, QStringLiteral("DBEdit4"), QStringLiteral("Indirizzo")), 1);
    put(QStringLiteral("Numero"),
        textField(page, QStringLiteral("DBEdit5"), QStringLiteral("Numero")), 1);
    put(QStringLiteral("Comune"),
        withLookupButtons(
            m_comune, QStringLiteral("SpeedButton4"), QStringLiteral("SpeedButton5"),
            [this] { m_comune->addAndChoose(m_links.comuni.add); },
            [this] {
                openLookup(m_reference.TableComuni, QStringLiteral("Citta_ID"),
                           m_links.comuni.open);
            }),
        1);
    auto *capRow = new QWidget(page);
    auto *capLayout = new QHBoxLayout(capRow);
    capLayout->setContentsMargins(0, 0, 0, 0);
    auto *cap = textField(capRow, QStringLiteral("DBEdit6"), QStringLiteral("Cap"));
    acceptPostalCodes(cap);
    capLayout->addWidget(cap, 1);
    auto *trova = new QToolButton(capRow);
    trova->setObjectName(QStringLiteral("spdTrova"));
    trova->setText(QStringLiteral("Trova"));
    trova->setToolTip(QStringLiteral("Trova il Cap per via"));
    trova->setFocusPolicy(Qt::NoFocus);
    connect(trova, &QToolButton::clicked, this, &TfrmContattiDett::trovaCapCasa);
    capLayout->addWidget(trova);
    put(QStringLiteral("Cap"), capRow, 1);
    order[1].last() = cap;
    put(QStringLiteral("Telefono"),
        textField(page, QStringLiteral("DBEdit7"), QStringLiteral("Telefono")), 1);
    put(QStringLiteral("Fax"), textField(page, QStringLiteral("DBEdit8"), QStringLiteral("Fax")),
        1);
    put(QStringLiteral("Cellulare"),
        textField(page, QStringLiteral("DBEdit9"), QStringLiteral("Cellulare")), 1);
    put(QStringLiteral("Cellulare 2"),
        textField(page, QStringLiteral("DBEdit10"), QStringLiteral("SecondoCell")), 1);
    put(QStringLiteral("E mail"),
        textField(page, QStringLiteral("DBEdit11"), QStringLiteral("email")), 1);
    put(QStringLiteral("E mail 2"),
        textField(page, QStringLiteral("DBEdit12"), QStringLiteral("secEmail")), 1);
    put(QStringLiteral("Skype"),
        textField(page, QStringLiteral("DBEdit15"), QStringLiteral("Skype")), 1);
    put(QStringLiteral("Messenger"),
        textField(page, QStringLiteral("DBEdit16"), QStringLiteral("Messenger")), 1);
    put(QStringLiteral("Note"), textField(page, QStringLiteral("DBEdit19"), QStringLiteral("Note")),
        1);
    const int row = std::max(rows[0], rows[1]);
    auto *checks = new QHBoxLayout;
    for (const auto &[name, caption, column] :
         {std::tuple{QStringLiteral("DBCheckBox1"), QStringLiteral("Consenso Privacy"),
                     QStringLiteral("PrivacyFirmata")},
          std::tuple{QStringLiteral("DBCheckBox2"), QStringLiteral("Auguri festività"),
                     QStringLiteral("Festivita")},
          std::tuple{QStringLiteral("DBCheckBox3"), QStringLiteral("Annullato"),
                     QStringLiteral("Annullato")}}) {
        auto *box = new QCheckBox(caption, page);
        box->setObjectName(name);
        m_binder->bindCheck(box, column);
        connect(box, &QCheckBox::clicked, this, &TfrmContattiDett::markChanged);
        checks->addWidget(box);
        order[1].append(box);
    }
    checks->addStretch();
    g->addLayout(checks, row, 0, 1, 4);
    // Enter and the arrows follow the columns: the left one, then the right one.
    const QList<QWidget *> chain = order[0] + order[1];
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    g->setRowStretch(row + 1, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    return page;
}

QWidget *TfrmContattiDett::buildUfficio()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    int row = 0;
    const auto put = [&](const QString &label, QWidget *w) {
        auto *caption = new QLabel(label, page);
        caption->setBuddy(w);
        g->addWidget(caption, row, 0);
        g->addWidget(w, row++, 1);
    };
    put(QStringLiteral("Telefono"),
        textField(page, QStringLiteral("DBEdit20"), QStringLiteral("secTelefono")));
    m_ufficioComune =
        lookupField(page, QStringLiteral("DBLookupComboBox7"), QStringLiteral("UfficioComune_id"),
                    m_reference.TableComuni, QStringLiteral("ID"), QStringLiteral("Comune"));
    m_ufficioComune->showProvince(QStringLiteral("Provincia"));
    // The office municipality fills the office postal code, never the home one.
    connect(m_ufficioComune, &DataSetComboBox::chosen, this,
            [this] { fillCapOfTown(QStringLiteral("UfficioCap")); });
    put(QStringLiteral("Comune"),
        withLookupButtons(
            m_ufficioComune, QStringLiteral("SpeedButton6"), QStringLiteral("SpeedButton7"),
            [this] { m_ufficioComune->addAndChoose(m_links.comuni.add); },
            [this] {
                openLookup(m_reference.TableComuni, QStringLiteral("UfficioComune_id"),
                           m_links.comuni.open);
            }));
    auto *capRow = new QWidget(page);
    auto *capLayout = new QHBoxLayout(capRow);
    capLayout->setContentsMargins(0, 0, 0, 0);
    capLayout->addWidget(acceptPostalCodes(textField(capRow, QStringLiteral("DBEdit21"),
                                                     QStringLiteral("UfficioCap"))),
                         1);
    auto *trova = new QPushButton(QStringLiteral("Trova"), capRow);
    trova->setObjectName(QStringLiteral("Button1"));
    trova->setAutoDefault(false);
    connect(trova, &QPushButton::clicked, this, &TfrmContattiDett::trovaCapUfficio);
    capLayout->addWidget(trova);
    put(QStringLiteral("Cap"), capRow);
    put(QStringLiteral("Indirizzo"),
        textField(page, QStringLiteral("DBEdit22"), QStringLiteral("UfficioIndirizzo")));
    put(QStringLiteral("Numero"),
        textField(page, QStringLiteral("DBEdit23"), QStringLiteral("UfficioNumero")));
    put(QStringLiteral("Pec"), textField(page, QStringLiteral("DBEdit24"), QStringLiteral("Pec")));
    put(QStringLiteral("Codice sdi"),
        textField(page, QStringLiteral("DBEdit25"), QStringLiteral("CodiceSdi")));
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);
    return page;
}

QWidget *TfrmContattiDett::buildAltro()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    g->addWidget(new QLabel(QStringLiteral("dest. Merce"), page), 0, 0);
    g->addWidget(textField(page, QStringLiteral("DBEdit26"), QStringLiteral("DestMerce")), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Sito Internet"), page), 1, 0);
    g->addWidget(textField(page, QStringLiteral("DBEdit27"), QStringLiteral("Internet")), 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Colore visualizzazione"), page), 2, 0);
    m_colour = new QComboBox(page);
    m_colour->setObjectName(QStringLiteral("ColorBox1"));
    m_colour->setMaxVisibleItems(16);
    for (const NamedColour &c : standardColours())
        m_colour->addItem(swatch(c.value), c.name, c.value);
    m_colour->setCurrentIndex(0);
    connect(m_colour, &QComboBox::activated, this, [this] {
        if (!m_store.TableContatti.isEmpty())
            markChanged();
    });
    g->addWidget(m_colour, 2, 1);
    g->setRowStretch(3, 1);
    g->setColumnStretch(1, 1);
    return page;
}

void TfrmContattiDett::showEvent(QShowEvent *event)
{
    DetailWindow::showEvent(event);
    m_typedCaps.clear();
    if (!m_fullLists)
        m_fullLists = std::make_unique<FilterSuspension>(
            QList<db::DataSet *>{&m_reference.TableComuni, &m_reference.TableCategorie,
                                 &m_reference.TableProfessioni, &m_reference.TableTitoli});
    m_fullLists->suspend();
    m_binder->refresh();
    m_taxCodes->rememberStoredCodes();
    m_ragioneSociale->setFocus();
    if (m_newContact)
        m_textsWhenAdded = typedTexts();
}

void TfrmContattiDett::showFirstPage()
{
    const QSignalBlocker quiet(m_pages);
    m_pages->setCurrentIndex(0);
    m_currentPage = 0;
    m_binder->refresh();
}

void TfrmContattiDett::setColourChoice(qint64 numeroColore)
{
    const int index = standardColourIndex(numeroColore);
    m_colour->setCurrentIndex(index >= 0 ? index : standardColourIndex(kBianco));
}

qint64 TfrmContattiDett::colourChoice() const
{
    return m_colour->currentData().toLongLong();
}

void TfrmContattiDett::copyCategoryColour()
{
    markChanged();
    // The colour of the contact's category, read without moving the shared category list.
    const QVariant category = m_store.TableContatti.value(u"Categoria_ID");
    db::DataSet &categorie = m_reference.TableCategorie;
    const int id = categorie.columnIndex(u"Id");
    const int colour = categorie.columnIndex(u"ColoreCategoria");
    QVariant copied;
    for (int r = 0; r < categorie.recordCount(); ++r) {
        if (category.isValid() && categorie.valueAt(r, id).toLongLong() == category.toLongLong()) {
            copied = categorie.valueAt(r, colour);
            break;
        }
    }
    (void)m_store.TableContatti.setValue(u"ColoreCategoria", copied);
}

bool TfrmContattiDett::salva()
{
    m_fieldRefused = false;
    db::DataSet &contatto = m_store.TableContatti;
    if (contatto.isEmpty())
        return true;
    if (!m_taxCodes->confirmOddCodes())
        return false;
    QWidget *wrong = nullptr;
    if (db::Status typed = m_binder->commit(&wrong); !typed) {
        dialogs().error(typed.message());
        m_fieldRefused = true;
        if (wrong) {
            m_pages->setCurrentIndex(0);
            wrong->setFocus();
        }
        return false;
    }
    db::Status ok = contatto.setValue(u"NumeroColore", colourChoice());
    if (ok && nameChanged) {
        const ContactNames names =
            composeContactNames(m_ragioneSociale->text(), m_cognome->text(), m_nome->text(),
                                m_codiceFiscale->text(), m_dataNascita->text());
        ok = contatto.setValue(u"NominativoDocumenti", names.documenti);
        if (ok)
            ok = contatto.setValue(u"NominativoVisualizzato", names.visualizzato);
    }
    if (!ok) {
        dialogs().error(ok.message());
        return false;
    }
    if (db::Status saved = m_store.save(nameChanged); !saved) {
        if (saved.error().kind == db::ErrorKind::DeletedElsewhere)
            return deletedElsewhere();
        m_binder->refresh();
        return false;
    }
    nameChanged = false;
    setModified(false);
    m_newContact = false;
    return true;
}

// The contact was deleted by another workstation while it was edited here: saving it again can
// only fail, so the user chooses a way out, and what was typed is never lost without a yes.
bool TfrmContattiDett::deletedElsewhere()
{
    if (dialogs().ask(QStringLiteral("Il contatto è stato eliminato da un'altra postazione. "
                                     "Salvare quello che è scritto qui come un nuovo contatto?"),
                      QStringLiteral("Messaggio di avviso"), Dialogs::Answer::Yes)) {
        const db::Result<qint64> added = m_store.saveAsNewContact();
        if (!added) {
            dialogs().error(added.message());
            m_binder->refresh();
            return false;
        }
    } else if (dialogs().confirmDefaultNo(
                   QStringLiteral("Chiudere la scheda senza salvare? Quello che è scritto qui "
                                  "andrà perso."))) {
        m_store.forgetDeletedContact();
    } else {
        m_binder->refresh();
        return false;
    }
    m_binder->refresh();
    nameChanged = false;
    setModified(false);
    m_newContact = false;
    return true;
}

void TfrmContattiDett::fillCapOfTown(const QString &column)
{
    // A code the user typed that is one of the town's (a town with several) stays, however
    // many towns the list went through while the name was typed.
    QString typed = m_typedCaps.value(column);
    if (typed.isEmpty())
        typed = m_store.TableContatti.value(column).toString().trimmed();
    const qint64 town = m_reference.TableComuni.value(u"ID").toLongLong();
    QVariant code = m_reference.TableComuni.value(u"Cap");
    if (!typed.isEmpty()) {
        const db::Result<bool> own = m_reference.isCapOf(town, typed);
        if (own && *own)
            code = typed;
    }
    (void)m_store.TableContatti.setValue(column, code);
    m_binder->refresh(column);
}

void TfrmContattiDett::discardChanges()
{
    m_store.TableContatti.cancel();
    m_binder->refresh();
    nameChanged = false;
}

void TfrmContattiDett::refuseNameless()
{
    dialogs().error(kNameless);
    const QSignalBlocker quiet(m_pages);
    m_pages->setCurrentIndex(0);
    m_currentPage = 0;
    m_ragioneSociale->setFocus();
}

void TfrmContattiDett::hideEvent(QHideEvent *event)
{
    if (m_fullLists)
        m_fullLists->resume();
    DetailWindow::hideEvent(event);
}

bool TfrmContattiDett::mayLeave()
{
    if (m_ragioneSociale->text().isEmpty() && m_cognome->text().isEmpty()) {
        if (m_newContact && isBlankCard())
            return dropBlankContact();
        refuseNameless();
        return false;
    }
    return true;
}

QHash<const QWidget *, QString> TfrmContattiDett::typedTexts() const
{
    QHash<const QWidget *, QString> texts;
    for (const QLineEdit *edit : findChildren<QLineEdit *>()) {
        // The lists show a chosen entry, not typed text; the payments have their own check.
        if (!qobject_cast<const QComboBox *>(edit->parentWidget()) &&
            !m_pagamenti->isAncestorOf(edit))
            texts.insert(edit, edit->text().trimmed());
    }
    for (const QPlainTextEdit *memo : findChildren<QPlainTextEdit *>())
        texts.insert(memo, memo->toPlainText().trimmed());
    return texts;
}

bool TfrmContattiDett::isBlankCard() const
{
    // Blank as it was opened: the date of entry and the configured defaults are not typing.
    return typedTexts() == m_textsWhenAdded && m_payments.TablePagamenti.isEmpty();
}

bool TfrmContattiDett::dropBlankContact()
{
    if (!dialogs().confirm(QStringLiteral("Il contatto è vuoto. Eliminarlo?"))) {
        m_ragioneSociale->setFocus();
        return false;
    }
    if (!m_store.dropContact())
        return false;
    m_newContact = false;
    setModified(false);
    return true;
}

void TfrmContattiDett::pageChanging(int page)
{
    if (page == 0) {
        m_currentPage = 0;
        return;
    }
    if (m_ragioneSociale->text().isEmpty() && m_cognome->text().isEmpty()) {
        refuseNameless();
        return;
    }
    if (modified() && !salva()) {
        const QSignalBlocker quiet(m_pages);
        m_pages->setCurrentIndex(m_currentPage);
        return;
    }
    m_currentPage = page;
    if (page == 3) {
        const qint64 colour = m_store.TableContatti.asInteger(u"NumeroColore");
        setColourChoice(colour >= 1 ? colour : kBianco);
    }
}

void TfrmContattiDett::stampaPrivacy()
{
    if (m_store.TableContatti.isEmpty())
        return;
    if (!salva())
        return;
    if (m_links.print)
        m_links.print(ReportKind::PrivacyForm);
}

void TfrmContattiDett::datiPersonali()
{
    if (m_store.TableContatti.isEmpty() || m_export->isRunning())
        return;
    // What is typed here is part of what the person gets.
    if (!salva())
        return;
    const qint64 id = m_store.TableContatti.asInteger(u"Id");
    db::Result<privacy::PersonalData> person = privacy::readPersonalData(m_store.connection(), id);
    if (!person) {
        dialogs().error(person.message());
        return;
    }
    const QString caption = QStringLiteral("Dati personali");
    const QString chosen = dialogs().chooseSaveFile(
        QStringLiteral("Dati personali di %1").arg(person->name),
        QStringLiteral("Copia per la persona (*.pdf);;Dati per un programma (*.json)"),
        QDir(documentsFolder())
            .filePath(nomeFileDa(QStringLiteral("Dati personali - ") + person->name, caption) +
                      QStringLiteral(".pdf")));
    if (chosen.isEmpty())
        return;
    const QString path =
        QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".pdf") : chosen;
    if (db::Result<privacy::ExportKind> kind = privacy::exportKindOf(path); !kind) {
        dialogs().error(kind.message());
        return;
    }
    const privacy::ExportPlace place{m_store.connection().location(), m_links.programFolder};
    const QDateTime now = db::clock::now();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // The runner takes a moment: the card stays usable meanwhile.
    m_export->start([this, person = *person, path, place, now,
                     caption](const std::atomic_bool &stop) -> std::function<void()> {
        const db::Status written = privacy::writePersonalData(person, path, place, now, &stop);
        return [this, written, path, caption, name = person.name] {
            QApplication::restoreOverrideCursor();
            if (!written) {
                dialogs().error(written.message());
                Q_EMIT exported(written.message());
                return;
            }
            const QString message =
                QStringLiteral("Dati personali di «%1» scritti in %2.\nIl file è leggibile solo "
                               "da chi lo ha scritto: consegnarlo alla persona e non lasciarne "
                               "copie in giro.")
                    .arg(name, QDir::toNativeSeparators(path));
            dialogs().information(message, caption);
            Q_EMIT exported(message);
        };
    });
}

void TfrmContattiDett::cancellaDefinitivamente()
{
    if (m_store.TableContatti.isEmpty())
        return;
    const QVariant key = m_store.TableContatti.value(u"Id");
    if (!key.isValid() || key.isNull()) {
        dialogs().warning(QStringLiteral("Il contatto non è ancora in archivio: non c'è nulla "
                                         "da cancellare."));
        return;
    }
    const qint64 id = key.toLongLong();
    db::Result<privacy::ErasurePlan> plan = privacy::planErasure(m_store.connection(), id);
    if (!plan) {
        dialogs().error(plan.message());
        return;
    }
    if (!dialogs().confirmDefaultNo(privacy::erasureQuestion(*plan)))
        return;
    db::Result<privacy::ErasureDone> done = [&] {
        WaitCursor wait;
        return privacy::eraseContact(m_store.connection(), id);
    }();
    if (!done) {
        dialogs().error(QStringLiteral("Nulla è stato cancellato: %1").arg(done.message()));
        return;
    }
    // What was typed belonged to the person too: dropped, and the card closes.
    m_store.forgetErasedContact();
    m_binder->refresh();
    nameChanged = false;
    setModified(false);
    m_newContact = false;
    dialogs().information(QStringLiteral("Cancellati per sempre:\n%1%2")
                              .arg(privacy::erasureSummary(done->plan),
                                   done->note.isEmpty() ? QString() : u'\n' + done->note),
                          QStringLiteral("Cancella definitivamente"));
    accept();
}

void TfrmContattiDett::trovaCapCasa()
{
    if (!m_links.trovaCap)
        return;
    const std::optional<QString> cap = m_links.trovaCap(m_comune->shownText());
    if (!cap) {
        if (m_comune->shownText().isEmpty())
            m_comune->setFocus();
        return;
    }
    (void)m_store.TableContatti.setValue(u"Cap", *cap);
    markChanged();
    m_binder->refresh(QStringLiteral("Cap"));
}

void TfrmContattiDett::trovaCapUfficio()
{
    markChanged();
    if (!m_links.trovaCap)
        return;
    const std::optional<QString> cap = m_links.trovaCap(m_ufficioComune->shownText());
    if (!cap) {
        if (m_ufficioComune->shownText().isEmpty())
            m_ufficioComune->setFocus();
        return;
    }
    (void)m_store.TableContatti.setValue(u"UfficioCap", *cap);
    m_binder->refresh(QStringLiteral("UfficioCap"));
}
