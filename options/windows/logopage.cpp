#include "options/windows/logopage.h"

#include "common/dialogs.h"
#include "options/companylogo.h"

#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The picture, scaled to the space it has without changing its proportions.
class LogoView : public QLabel
{
public:
    explicit LogoView(QWidget *parent) : QLabel(parent)
    {
        setAlignment(Qt::AlignCenter);
        setMinimumSize(240, 160);
        setFrameShape(QFrame::StyledPanel);
        // The picture never asks for room: it takes the room the tab gives it.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }

    void setImage(const QImage &image)
    {
        m_image = image;
        rescale();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        rescale();
    }

private:
    void rescale()
    {
        if (m_image.isNull()) {
            clear();
            return;
        }
        const QSize room = contentsRect().size();
        const QImage shown =
            m_image.width() > room.width() || m_image.height() > room.height()
                ? m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : m_image;
        setPixmap(QPixmap::fromImage(shown));
    }

    QImage m_image;
};

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    // Enter in the window's fields moves on; it never presses one of these.
    b->setAutoDefault(false);
    return b;
}

} // namespace

LogoPage::LogoPage(QWidget *parent)
    : QWidget(parent), m_open([](const QString &path) {
          return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
      })
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Immagine in archivio"), this));
    m_view = new LogoView(this);
    m_view->setObjectName(QStringLiteral("DBImage1"));
    layout->addWidget(m_view, 1);

    auto *buttons = new QGridLayout;
    layout->addLayout(buttons);
    QPushButton *load = button(this, QStringLiteral("Button6"), QStringLiteral("Carica da File"));
    QPushButton *save =
        button(this, QStringLiteral("Button8"), QStringLiteral("Salva come immagine"));
    QPushButton *clear = button(this, QStringLiteral("Button9"), QStringLiteral("Cancella"));
    QPushButton *edit = button(this, QStringLiteral("Button1"), QStringLiteral("Modifica il Logo"));
    m_reload = button(this, QStringLiteral("btnRicaricaLogo"), QStringLiteral("Ricarica il logo"));
    m_reload->setToolTip(
        QStringLiteral("Legge di nuovo il logo modificato con \"Modifica il Logo\""));
    m_reload->setEnabled(false);
    buttons->addWidget(load, 0, 0);
    buttons->addWidget(save, 0, 1);
    buttons->addWidget(clear, 0, 2);
    buttons->addWidget(edit, 1, 0);
    buttons->addWidget(m_reload, 1, 1);
    connect(load, &QPushButton::clicked, this, &LogoPage::Button6Click);
    connect(save, &QPushButton::clicked, this, &LogoPage::Button8Click);
    connect(clear, &QPushButton::clicked, this, &LogoPage::Button9Click);
    connect(edit, &QPushButton::clicked, this, &LogoPage::btnModificaLogoClick);
    connect(m_reload, &QPushButton::clicked, this, &LogoPage::btnRicaricaLogoClick);
}

LogoPage::~LogoPage() = default;

void LogoPage::setFileOpener(std::function<bool(const QString &)> opener)
{
    m_open = std::move(opener);
}

void LogoPage::showLogo(const QByteArray &stored)
{
    m_logo = stored;
    m_changed = false;
    static_cast<LogoView *>(m_view)->setImage(QImage::fromData(stored));
}

void LogoPage::setLogo(const QByteArray &logo)
{
    m_logo = logo;
    m_changed = true;
    static_cast<LogoView *>(m_view)->setImage(QImage::fromData(logo));
}

void LogoPage::Button6Click()
{
    const QString file =
        dialogs().chooseOpenFile(QStringLiteral("Carica da File"), logoFileFilter(), QString());
    if (!file.isEmpty())
        loadFrom(file);
}

void LogoPage::loadFrom(const QString &file)
{
    const db::Result<QByteArray> logo = readLogoFile(file);
    if (!logo) {
        dialogs().error(logo.message());
        return;
    }
    setLogo(*logo);
}

void LogoPage::Button8Click()
{
    if (m_logo.isEmpty())
        return;
    const QString file = dialogs().chooseSaveFile(QStringLiteral("Salva come immagine"),
                                                  logoFileFilter(), QStringLiteral("logo.png"));
    if (file.isEmpty())
        return;
    if (db::Status written = writeLogoFile(m_logo, file); !written)
        dialogs().error(written.message());
}

void LogoPage::Button9Click()
{
    setLogo(QByteArray());
}

void LogoPage::btnModificaLogoClick()
{
    if (m_logo.isEmpty()) {
        dialogs().warning(QStringLiteral("Non c'è nessun logo da modificare: caricarne uno con "
                                         "\"Carica da File\"."));
        return;
    }
    if (!m_editFolder)
        m_editFolder = std::make_unique<QTemporaryDir>();
    if (!m_editFolder->isValid()) {
        dialogs().error(QStringLiteral("Impossibile creare una cartella temporanea per il logo: %1")
                            .arg(m_editFolder->errorString()));
        m_editFolder.reset();
        return;
    }
    const QString file = QDir(m_editFolder->path()).filePath(QStringLiteral("logo.png"));
    if (db::Status written = writeLogoFile(m_logo, file); !written) {
        dialogs().error(written.message());
        return;
    }
    m_editFile = file;
    m_reload->setEnabled(true);
    if (!m_open(file)) {
        dialogs().warning(QStringLiteral("Su questo computer non c'è un programma per modificare "
                                         "le immagini. Il logo è stato scritto nel file %1: lo si "
                                         "può modificare con un altro programma e poi usare "
                                         "\"Ricarica il logo\".")
                              .arg(QDir::toNativeSeparators(file)));
    }
}

void LogoPage::btnRicaricaLogoClick()
{
    if (!m_editFile.isEmpty())
        loadFrom(m_editFile);
}
