#pragma once

#include <QByteArray>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTemporaryDir;

// The "Logo" tab of the options: the company logo as it will be stored, and the buttons that
// load, save, clear and edit it. A change stays here until the options window saves it.
class LogoPage : public QWidget
{
    Q_OBJECT

public:
    explicit LogoPage(QWidget *parent = nullptr);
    ~LogoPage() override;

    // Starts again on the stored logo (empty for none).
    void showLogo(const QByteArray &stored);
    // The logo to store: the bitmap's bytes, empty for none.
    QByteArray logo() const { return m_logo; }
    bool isChanged() const { return m_changed; }

    // Opens a picture file in the desktop's picture editor; false when there is none. The
    // desktop's own "open" unless replaced.
    void setFileOpener(std::function<bool(const QString &path)> opener);

    void Button6Click();         // "Carica da File"
    void Button8Click();         // "Salva come immagine"
    void Button9Click();         // "Cancella"
    void btnModificaLogoClick(); // "Modifica il Logo"
    void btnRicaricaLogoClick(); // "Ricarica il logo"

private:
    void setLogo(const QByteArray &logo);
    // A picture file as the logo; an Italian message, and the logo unchanged, when it cannot be.
    void loadFrom(const QString &file);

    QLabel *m_view;
    QPushButton *m_reload;
    QByteArray m_logo;
    bool m_changed = false;
    std::function<bool(const QString &)> m_open;
    // Where "Modifica il Logo" writes the logo for the editor; kept until the program ends, as
    // the editor may still have it open.
    std::unique_ptr<QTemporaryDir> m_editFolder;
    QString m_editFile;
};
