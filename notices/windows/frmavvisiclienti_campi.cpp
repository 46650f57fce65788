#include "notices/windows/frmavvisiclienti_campi.h"

#include "common/dialogs.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "notices/noticefields.h"
#include "notices/noticestore.h"
#include "notices/windows/frmavvisiclienti_filtri.h"
#include "notices/windows/frmgrigliaavvisi.h"
#include "notices/windows/wizardtoolbar.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmAvvisiClienti_Campi::TfrmAvvisiClienti_Campi(NoticeStore &store, TfrmGrigliaAvvisi &templates,
                                                 TfrmAvvisiClienti_Filtri &filters)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_store(store),
      m_templates(templates), m_filters(filters)
{
    setObjectName(QStringLiteral("frmAvvisiClienti_Campi"));
    setWindowTitle(QStringLiteral("Avvisi per Clienti"));
    setHelpContext(this, 7200);

    auto *layout = new QVBoxLayout(this);
    const WizardToolbar toolbar =
        addWizardToolbar(this, layout, QStringLiteral("btnContinua"), QStringLiteral("Continua"),
                         QStyle::SP_ArrowForward);
    QToolButton *indietro = toolbar.indietro;
    QToolButton *continua = toolbar.avanti;

    layout->addWidget(new QLabel(QStringLiteral("Importa da un avviso già predisposto"), this));
    auto *importa = new QHBoxLayout;
    m_modelli = new DataSetComboBox(m_store.TableAvvisi, QStringLiteral("Id"),
                                    QStringLiteral("Descrizione"), this);
    m_modelli->setObjectName(QStringLiteral("DBLookupComboBox1"));
    importa->addWidget(m_modelli, 1);
    auto *nuovo = new QToolButton(this);
    nuovo->setObjectName(QStringLiteral("SpeedButton6"));
    nuovo->setText(QStringLiteral("+"));
    nuovo->setToolTip(QStringLiteral("Scrive un nuovo avviso predisposto"));
    nuovo->setFocusPolicy(Qt::NoFocus);
    importa->addWidget(nuovo);
    layout->addLayout(importa);

    auto *testo = new QHBoxLayout;
    testo->addWidget(new QLabel(QStringLiteral("Testo"), this));
    testo->addStretch();
    auto *campi = new QToolButton(this);
    campi->setObjectName(QStringLiteral("btnCampi"));
    campi->setText(QStringLiteral("Inserisci campo"));
    campi->setToolTip(QStringLiteral("Inserisce un dato del destinatario, riempito per ognuno "
                                     "quando l'avviso si stampa"));
    campi->setPopupMode(QToolButton::InstantPopup);
    campi->setFocusPolicy(Qt::NoFocus);
    auto *menu = new QMenu(campi);
    menu->setObjectName(QStringLiteral("mnuCampi"));
    for (const QString &field : notices::noticeFields()) {
        QAction *action = menu->addAction(notices::noticeFieldMark(field));
        action->setObjectName(field);
        connect(action, &QAction::triggered, this, [this, field] { insertField(field); });
    }
    campi->setMenu(menu);
    testo->addWidget(campi);
    layout->addLayout(testo);
    m_testo = new QPlainTextEdit(this);
    m_testo->setObjectName(QStringLiteral("DBMemo1"));
    m_testo->installEventFilter(this);
    m_testo->viewport()->installEventFilter(this);
    layout->addWidget(m_testo, 1);
    resize(640, 480);

    m_binder = new FieldBinder(m_store.TableTempAvvisi, this);
    m_binder->bindText(m_testo, QStringLiteral("Testo"));

    InputConventions::attach(this, InputConventions::Kind::List);
    connect(indietro, &QToolButton::clicked, this, &TfrmAvvisiClienti_Campi::spdIndietroClick);
    connect(continua, &QToolButton::clicked, this, &TfrmAvvisiClienti_Campi::btnContinuaClick);
    connect(nuovo, &QToolButton::clicked, this, [this] { m_templates.spdInserisciClick(); });
    connect(m_modelli, &DataSetComboBox::chosen, this,
            &TfrmAvvisiClienti_Campi::DBLookupComboBox1Click);
}

void TfrmAvvisiClienti_Campi::apri()
{
    db::DataSet &notice = m_store.TableTempAvvisi;
    // The row is made at start-up; should it have gone since, the text gets a new one.
    if (notice.isOpen() && notice.isEmpty()) {
        if (db::Status made = m_store.appendWorkstationRow(); !made) {
            dialogs().error(made.message());
            return;
        }
    }
    m_binder->refresh();
    m_modelli->setKey(QVariant());
    m_modified = false;
    m_testo->setFocus();
    dialogs().showModal(this);
}

void TfrmAvvisiClienti_Campi::DBLookupComboBox1Click()
{
    const db::DataSet &modelli = m_store.TableAvvisi;
    if (modelli.isEmpty())
        return;
    if (!m_testo->toPlainText().isEmpty() &&
        !dialogs().confirm(QStringLiteral("Sei sicuro di voler importare il tipo di avviso ?")))
        return;
    if (db::Status copied = m_store.TableTempAvvisi.setValue(u"Testo", modelli.value(u"Testo"));
        !copied) {
        dialogs().error(copied.message());
        return;
    }
    m_binder->refresh(QStringLiteral("Testo"));
    m_modified = true;
}

void TfrmAvvisiClienti_Campi::insertField(const QString &field)
{
    m_testo->insertPlainText(notices::noticeFieldMark(field));
    m_testo->setFocus();
    m_modified = true;
}

void TfrmAvvisiClienti_Campi::spdIndietroClick()
{
    if (m_modified) {
        // A failure has been shown; the text stays in the row and is stored by the next
        // "Continua" or "Indietro".
        if (!m_store.saveText())
            return;
        m_modified = false;
    }
    accept();
}

void TfrmAvvisiClienti_Campi::btnContinuaClick()
{
    if (m_testo->toPlainText().trimmed().isEmpty()) {
        dialogs().inform(MessageKind::Error, QStringLiteral("Attenzione manca il testo"),
                         QStringLiteral("Messaggio di Errore"));
        m_testo->setFocus();
        return;
    }
    if (!m_store.saveText())
        return;
    m_modified = false;
    m_filters.reset();
    m_filters.apri();
}

void TfrmAvvisiClienti_Campi::reject()
{
    // Escape is "Indietro": the text is stored on the way out.
    spdIndietroClick();
}

void TfrmAvvisiClienti_Campi::closeEvent(QCloseEvent *event)
{
    event->ignore();
    spdIndietroClick();
}

bool TfrmAvvisiClienti_Campi::eventFilter(QObject *watched, QEvent *event)
{
    if (InputConventions::isEditingGesture(event))
        m_modified = true;
    return QDialog::eventFilter(watched, event);
}
