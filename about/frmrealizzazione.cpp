#include "about/frmrealizzazione.h"

#include "about/makerinfo.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel *link(QWidget *parent, const QString &name, const QString &text)
{
    auto *label =
        new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()), parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TfrmRealizzazione::TfrmRealizzazione(
    about::MakerInfo maker,
    std::function<void(const QString &, const QString &, const QString &)> compose,
    std::function<void(const QUrl &)> openUrl, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_maker(std::move(maker)), m_compose(std::move(compose)), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("frmRealizzazione"));
    setWindowTitle(QStringLiteral("Realizzazione"));
    setHelpContext(this, 12000);
    const about::MakerInfo &shown = m_maker;
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    auto *aiuto = toolButton(this, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                             QStyle::SP_DialogHelpButton);
    auto *indietro = toolButton(this, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"),
                                QString(), QStyle::SP_ArrowBack);
    toolbar->addWidget(aiuto);
    toolbar->addWidget(indietro);
    toolbar->addStretch();
    layout->addLayout(toolbar);

    auto *program = new QLabel(shown.programLine, this);
    program->setObjectName(QStringLiteral("Label1"));
    QFont big = program->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    program->setFont(big);
    layout->addWidget(program);
    auto *version = new QLabel(shown.versionLine, this);
    version->setObjectName(QStringLiteral("lblVersione"));
    auto *phone = new QLabel(shown.phoneLine, this);
    phone->setObjectName(QStringLiteral("Label3"));
    auto *author = new QLabel(shown.authorLine, this);
    author->setObjectName(QStringLiteral("Label4"));
    QLabel *web = link(this, QStringLiteral("Label8"), shown.webAddress);
    QLabel *mail = link(this, QStringLiteral("Label2"), shown.supportAddress);
    // A line the distributor did not fill in is not shown at all.
    const std::pair<QLabel *, QString> lines[] = {
        {version, shown.versionLine}, {phone, shown.phoneLine},     {author, shown.authorLine},
        {web, shown.webAddress},      {mail, shown.supportAddress},
    };
    for (const auto &[label, value] : lines) {
        layout->addWidget(label);
        label->setVisible(!value.isEmpty());
    }

    auto *group = new QGroupBox(QStringLiteral("invia una e-mail all'assistenza"), this);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(QStringLiteral("Testo "), group));
    m_memo = new QPlainTextEdit(group);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->installEventFilter(this);
    groupLayout->addWidget(m_memo);
    auto *invia = toolButton(group, QStringLiteral("SpeedButton1"), QStringLiteral("Invia"),
                             QStringLiteral("Prepara il messaggio all'assistenza"),
                             QStyle::SP_MessageBoxInformation);
    groupLayout->addWidget(invia, 0, Qt::AlignRight);
    layout->addWidget(group, 1);
    // No support address, no support mail: the message would go nowhere.
    group->setVisible(!shown.supportAddress.isEmpty());
    if (shown.supportAddress.isEmpty())
        layout->addStretch(1);

    InputConventions::attach(this, InputConventions::Kind::List);
    InputConventions::connectHelpButton(aiuto);
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(invia, &QToolButton::clicked, this, &TfrmRealizzazione::SpeedButton1Click);
    connect(web, &QLabel::linkActivated, this, &TfrmRealizzazione::Label8Click);
    connect(mail, &QLabel::linkActivated, this, &TfrmRealizzazione::Label2Click);
    setWindowState(Qt::WindowMaximized);
    resize(800, 560);
}

void TfrmRealizzazione::SpeedButton1Click()
{
    if (m_compose && !m_maker.supportAddress.isEmpty())
        m_compose(m_maker.supportAddress, QStringLiteral("Invio Email in assistenza"),
                  m_memo->toPlainText());
}

void TfrmRealizzazione::Label8Click()
{
    if (m_openUrl && !m_maker.webAddress.isEmpty())
        m_openUrl(QUrl(m_maker.webAddress));
}

void TfrmRealizzazione::Label2Click()
{
    if (m_openUrl && !m_maker.supportAddress.isEmpty())
        m_openUrl(QUrl(QStringLiteral("mailto:") + m_maker.supportAddress));
}

// The support text is typed on one line: Enter and Down go to the next control, Up to the
// previous one.
bool TfrmRealizzazione::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo && event->type() == QEvent::KeyPress) {
        if (const int step = InputConventions::focusStep(static_cast<QKeyEvent *>(event))) {
            step > 0 ? focusNextChild() : focusPreviousChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
