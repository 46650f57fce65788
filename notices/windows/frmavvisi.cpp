#include "notices/windows/frmavvisi.h"

#include "common/dialogs.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "notices/noticefields.h"
#include "notices/noticestore.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmAvvisi::TfrmAvvisi(NoticeStore &store) : m_store(store), m_dataSet(store.TableAvvisi)
{
    setObjectName(QStringLiteral("frmAvvisi"));
    setWindowTitle(QStringLiteral("Avvisi"));
    setHelpContext(this, 7150);

    auto *layout = new QVBoxLayout(this);
    const DetailToolbar toolbar = makeDetailToolbar(this, true);
    layout->addWidget(toolbar.bar);
    connect(toolbar.salva, &QToolButton::clicked, this, &TfrmAvvisi::spdSalvaClick);
    connect(toolbar.indietro, &QToolButton::clicked, this, &TfrmAvvisi::spdIndietroClick);

    layout->addWidget(new QLabel(QStringLiteral("Descrizione"), this));
    m_descrizione = new QLineEdit(this);
    m_descrizione->setObjectName(QStringLiteral("DBEdit2"));
    m_descrizione->setMaxLength(255);
    m_descrizione->installEventFilter(this);
    layout->addWidget(m_descrizione);
    layout->addWidget(new QLabel(QStringLiteral("Testo"), this));
    m_testo = new QPlainTextEdit(this);
    m_testo->setObjectName(QStringLiteral("DBMemo1"));
    m_testo->installEventFilter(this);
    m_testo->viewport()->installEventFilter(this);
    layout->addWidget(m_testo, 1);
    resize(640, 480);

    m_binder = new FieldBinder(m_dataSet, this);
    m_binder->bindText(m_descrizione, QStringLiteral("Descrizione"));
    m_binder->bindText(m_testo, QStringLiteral("Testo"));

    InputConventions::attach(this, InputConventions::Kind::Detail);
}

void TfrmAvvisi::apri()
{
    m_binder->refresh();
    m_descrizione->setFocus();
    dialogs().showModal(this);
}

void TfrmAvvisi::refuse(const QString &message, QWidget *field)
{
    dialogs().inform(MessageKind::Error, message, QStringLiteral("Messaggio di Errore"));
    field->setFocus();
}

bool TfrmAvvisi::save()
{
    if (m_descrizione->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("Attenzione manca la Descrizione"), m_descrizione);
        return false;
    }
    if (m_testo->toPlainText().trimmed().isEmpty()) {
        refuse(QStringLiteral("Attenzione manca il testo"), m_testo);
        return false;
    }
    // Fields the program does not know are said when the template is written, once.
    const QString text = m_testo->toPlainText();
    if (const QString question = notices::unknownFieldsQuestion(text, QStringLiteral("Salvare"));
        !question.isEmpty()) {
        if (!dialogs().confirm(question)) {
            m_testo->setFocus();
            return false;
        }
        notices::acceptUnknownFields(text);
    }
    // A failure has been shown with the engine's words; the row keeps what was typed and the
    // window stays, so nothing is lost and the user may try again.
    return m_store.saveTemplate().ok();
}

bool TfrmAvvisi::mayLeave()
{
    const bool empty =
        m_descrizione->text().trimmed().isEmpty() && m_testo->toPlainText().trimmed().isEmpty();
    if (!empty || m_dataSet.isEmpty() || m_dataSet.isNull(u"Id") ||
        !dialogs().confirm(QStringLiteral("L'avviso non ha né descrizione né testo. "
                                          "Eliminarlo?")))
        return true; // the save decides, and refuses an empty template
    m_dataSet.cancel();
    if (!m_store.removeTemplate())
        return false; // the reason was shown; the template is still there
    setModified(false);
    return true;
}

bool TfrmAvvisi::eventFilter(QObject *watched, QEvent *event)
{
    if (InputConventions::isEditingGesture(event))
        setModified(true);
    return DetailWindow::eventFilter(watched, event);
}
