#include "app/help/frmaiuto.h"

#include "app/help/helppages.h"
#include "common/widgets/inputconventions.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TfrmAiuto::TfrmAiuto(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAiuto"));
    setHelpContext(this, 1030);
    // An open help window must not keep the program running once its main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto *index = button(QStringLiteral("Indice"), QStringLiteral("cmdIndice"), this);
    m_back = button(QStringLiteral("< Precedente"), QStringLiteral("cmdPrecedente"), this);
    m_forward = button(QStringLiteral("Successiva >"), QStringLiteral("cmdSuccessiva"), this);
    auto *close = button(QStringLiteral("Chiudi"), QStringLiteral("cmdChiudi"), this);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("Browser"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(index);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(index, &QPushButton::clicked, this, [this] { showPage(help::indexPage()); });
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &TfrmAiuto::pageChanged);

    resize(680, 560);
    showPage(help::indexPage());
}

void TfrmAiuto::showContext(int context)
{
    const QString section = help::sectionFor(context);
    if (section.isEmpty()) {
        showPage(help::pageFor(context));
        return;
    }
    QUrl url = help::pageUrl(help::pageFor(context));
    url.setFragment(section);
    m_browser->setSource(url);
    pageChanged();
}

void TfrmAiuto::showPage(const QString &page)
{
    if (currentPage() != page || !m_browser->source().fragment().isEmpty())
        m_browser->setSource(help::pageUrl(page));
    pageChanged();
}

QString TfrmAiuto::currentPage() const
{
    return m_browser->source().fileName();
}

QString TfrmAiuto::pageTitle() const
{
    return m_browser->documentTitle();
}

void TfrmAiuto::pageChanged()
{
    setWindowTitle(QStringLiteral("Aiuto - ") + pageTitle());
}
