#include "agenda/windows/frmcalendario.h"

#include "agenda/agendastore.h"
#include "common/dialogs.h"
#include "common/filtersuspension.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "session/shareddatasets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmCalendario::TfrmCalendario(AgendaStore &store, db::DataSet &tipologie, db::DataSet &contatti,
                               AppointmentEditorLinks links, QWidget *parent)
    : DetailWindow(parent), m_store(store), m_tipologie(tipologie), m_contatti(contatti),
      m_links(std::move(links))
{
    setObjectName(QStringLiteral("frmCalendario"));
    setWindowTitle(QStringLiteral("Calendario"));
    setHelpContext(this, 21700);
    m_binder = new FieldBinder(m_store.TableCalendario, this);
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    QToolButton *aiuto = toolButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("Aiuto"),
                                    QString(), QStyle::SP_DialogHelpButton);
    QToolButton *salva =
        toolButton(this, QStringLiteral("spdSalva"), QStringLiteral("salva"),
                   QStringLiteral("Sava le modifiche effettuate"), QStyle::SP_DialogSaveButton);
    salva->hide();
    QToolButton *indietro = toolButton(this, QStringLiteral("spdIndietro"),
                                       QStringLiteral("Indietro"), QString(), QStyle::SP_ArrowBack);
    toolbar->addWidget(aiuto);
    toolbar->addWidget(salva);
    toolbar->addStretch();
    toolbar->addWidget(indietro);
    layout->addLayout(toolbar);

    auto *form = new QFormLayout;
    layout->addLayout(form);
    layout->addStretch();
    m_data = new QLineEdit(this);
    m_data->setObjectName(QStringLiteral("DBEdit1"));
    m_data->setPlaceholderText(QStringLiteral("gg/mm/aaaa hh:mm"));
    m_binder->bindDate(m_data, QStringLiteral("Data"));
    form->addRow(QStringLiteral("Data"), m_data);

    m_tipologia = new DataSetComboBox(m_tipologie, QStringLiteral("Descrizione"),
                                      QStringLiteral("Descrizione"), this);
    m_tipologia->setObjectName(QStringLiteral("DBLookupComboBox4"));
    m_binder->bindLookup(m_tipologia, QStringLiteral("TipologiaCalendario"));
    form->addRow(QStringLiteral("Tipologia"),
                 withLookupButtons(
                     m_tipologia, QStringLiteral("SpeedButton7"), QStringLiteral("SpeedButton8"),
                     [this] {
                         if (m_links.addType)
                             m_links.addType();
                     },
                     [this] { modificaTipologia(); }));

    m_contatto = new DataSetComboBox(m_contatti, QStringLiteral("Ide"),
                                     QStringLiteral("NominativoVisualizzato"), this);
    m_contatto->setObjectName(QStringLiteral("DBLookupComboBox2"));
    m_binder->bindLookup(m_contatto, QStringLiteral("Cliente_ID"));
    form->addRow(QStringLiteral("Contatto"),
                 withLookupButtons(
                     m_contatto, QStringLiteral("SpeedButton2"), QStringLiteral("SpeedButton4"),
                     [this] {
                         if (m_links.addContact)
                             m_links.addContact();
                     },
                     [this] { apriContatto(); }));

    auto *note = new QLineEdit(this);
    note->setObjectName(QStringLiteral("DBEdit3"));
    m_binder->bindText(note, QStringLiteral("Note"));
    form->addRow(QStringLiteral("Note"), note);
    m_avviso = new QLineEdit(this);
    m_avviso->setObjectName(QStringLiteral("DBEdit2"));
    m_avviso->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    m_binder->bindDate(m_avviso, QStringLiteral("DataAvviso"));
    form->addRow(QStringLiteral("Data avviso"), m_avviso);
    auto *conclusa = new QCheckBox(QStringLiteral("Conclusa"), this);
    conclusa->setObjectName(QStringLiteral("DBCheckBox1"));
    m_binder->bindCheck(conclusa, QStringLiteral("Conclusa"));
    form->addRow(QString(), conclusa);
    resize(560, 300);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    connect(conventions, &InputConventions::edited, this, [this] { typed(); });
    connect(m_binder, &FieldBinder::edited, this, [this] { typed(); });
    connect(m_contatto, &DataSetComboBox::chosen, this, &TfrmCalendario::contattoChosen);
    conventions->markAsLookup(m_tipologia, [this] {
        (void)m_store.TableCalendario.setValue(u"TipologiaCalendario", QVariant());
        typed();
    });
    conventions->markAsLookup(m_contatto, [this] {
        (void)m_store.TableCalendario.setValue(u"Cliente_ID", QVariant());
        (void)m_store.TableCalendario.setValue(u"Cliente", QVariant());
        typed();
    });
    InputConventions::connectHelpButton(aiuto);
    connect(salva, &QToolButton::clicked, this, &TfrmCalendario::spdSalvaClick);
    connect(indietro, &QToolButton::clicked, this, &TfrmCalendario::spdIndietroClick);
}

TfrmCalendario::~TfrmCalendario() = default;

void TfrmCalendario::contattoChosen()
{
    // The contact list is on the row just chosen.
    db::DataSet &appuntamento = m_store.TableCalendario;
    (void)appuntamento.setValue(u"Cliente", m_contatti.value(u"NominativoDocumenti"));
    (void)appuntamento.setValue(u"Cliente_ID", m_contatti.value(u"Ide"));
    typed();
}

void TfrmCalendario::modificaTipologia()
{
    const QString tipologia = m_store.TableCalendario.asString(u"TipologiaCalendario");
    if (tipologia.isEmpty() || !m_links.openType)
        return;
    db::DataSet &tipi = m_tipologie;
    const db::Result<bool> found = tipi.locate(u"Descrizione", tipologia);
    if (!found || !*found) {
        // Another row would be edited in its place.
        dialogs().warning(QStringLiteral("La tipologia \"%1\" non è più tra le tipologie del "
                                         "calendario.")
                              .arg(tipologia));
        return;
    }
    m_links.openType();
}

void TfrmCalendario::apriContatto()
{
    const qint64 id = m_store.TableCalendario.asInteger(u"Cliente_ID");
    if (id < 1 || !m_links.openContact)
        return;
    const db::Result<bool> found = m_contatti.locate(u"Ide", id);
    if (!found || !*found) {
        dialogs().warning(QStringLiteral("Il contatto dell'appuntamento non è più in archivio."));
        return;
    }
    m_links.openContact();
}

void TfrmCalendario::apriAppuntamento(qint64 id)
{
    db::DataSet &agenda = m_store.TableCalendario;
    if (!m_store.open())
        return;
    // The agenda's search may hide it: lifted while the appointment is open.
    FilterSuspension everyAppointment({&agenda});
    everyAppointment.suspend();
    const db::Result<bool> found = agenda.locate(u"Id", id);
    if (!found || !*found) {
        dialogs().warning(QStringLiteral("L'appuntamento non è più in agenda."));
        return;
    }
    dialogs().showModal(this);
}

bool TfrmCalendario::mayLeave()
{
    if (!m_new || m_typed)
        return true;
    // "Aggiungi" by mistake: the appointment was only begun, so it goes without a question.
    m_store.TableCalendario.cancel();
    setNew(false);
    setModified(false);
    return true;
}

void TfrmCalendario::discardChanges()
{
    m_store.TableCalendario.cancel();
    m_binder->refresh();
    setNew(false);
}

bool TfrmCalendario::save()
{
    m_fieldRefused = true;
    if (m_data->text().trimmed().isEmpty()) {
        dialogs().error(QStringLiteral("Attenzione manca la Data"));
        m_data->setFocus();
        return false;
    }
    db::DataSet &appuntamento = m_store.TableCalendario;
    QWidget *wrong = nullptr;
    if (db::Status typed = m_binder->commit(&wrong); !typed) {
        dialogs().error(typed.message());
        if (wrong)
            wrong->setFocus();
        return false;
    }
    // Checked before anything is stored: a refused save leaves the archive as it was. No
    // reminder date is no reminder, never a date long past.
    const QDateTime quando = appuntamento.asDateTime(u"Data");
    const QDateTime avviso = appuntamento.asDateTime(u"DataAvviso");
    if (avviso.isValid() && quando.isValid() && quando < avviso) {
        dialogs().error(QStringLiteral("La data di avviso non può essere successiva alla data "
                                       "dell'appuntamento."));
        m_avviso->setFocus();
        return false;
    }
    m_fieldRefused = false;
    return m_store.save().ok();
}

void TfrmCalendario::showEvent(QShowEvent *event)
{
    DetailWindow::showEvent(event);
    // The contact choice lists the contact list's rows, read the first time they are needed.
    (void)SharedDataSets::openOnDemand(m_contatti);
    if (!m_fullLists)
        m_fullLists =
            std::make_unique<FilterSuspension>(QList<db::DataSet *>{&m_tipologie, &m_contatti});
    m_fullLists->suspend();
    m_binder->refresh();
    m_data->setFocus();
}

void TfrmCalendario::hideEvent(QHideEvent *event)
{
    if (m_fullLists)
        m_fullLists->resume();
    DetailWindow::hideEvent(event);
}
