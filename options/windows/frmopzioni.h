#pragma once

#include "common/widgets/detailwindow.h"
#include "common/workerthread.h"
#include "options/optionrows.h"

#include <optional>

class DataSetComboBox;
class LogoPage;
class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QTabWidget;
class SecretField;
class OptionsStore;

// "Opzioni": the settings of the options row (general, e-mail) and the company's data and logo.
// It opens beside the other windows. What the user changes stays in the window until it is
// left, which saves both rows together; other windows read the stored settings, so a change
// applies from the next print, import or send.
class TfrmOpzioni : public DetailWindow
{
    Q_OBJECT

public:
    explicit TfrmOpzioni(OptionsStore &store);

    // The main window's "Opzioni": the first tab, the stored settings read again unless the
    // window is open already, the window shown and brought forward.
    void apri();

    LogoPage &logoPage() const { return *m_logo; }

    // Something typed here is not stored yet.
    bool hasUnsavedChanges() const;
    // Stores what was typed and closes; false when the save is refused (the window stays, and
    // the user has been told why).
    bool saveAndClose();

Q_SIGNALS:
    // The options and company rows have been written.
    void saved();
    // "Prova" of the phones' server has its answer, as the window shows it.
    void syncTested(const QString &message);

protected:
    // The credential checks, then both rows in one transaction; a refusal or a failure keeps
    // the window open with everything typed.
    bool save() override;
    // Enter and Down on a check box move to the next control, Up to the previous one, as in
    // the input fields.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildGenerale();
    QWidget *buildCompany(QWidget *parent);
    QWidget *buildEmail();
    QWidget *buildSync();
    // "Prova": finds the address book and the calendar with what is typed, off the window's
    // thread, and says what it found.
    void testSync();
    QLineEdit *textField(QWidget *parent, const QString &name, int maxLength, RowChanges *changes,
                         const QString &column);
    QCheckBox *checkField(QWidget *parent, const QString &name, const QString &caption,
                          const QString &column);
    void exportFormatChosen();
    void securityChosen(int index);
    void refuse(QWidget *field, const QString &message);
    // Shows the stored rows and forgets every change.
    void load();
    bool collectPasswords();
    // "Scegli…" and "Togli" of the office's certificate authority: kept in the window until it
    // is saved.
    void chooseOfficeCa();
    void dropOfficeCa();
    void showOfficeCa(const QByteArray &pem);

    OptionsStore &m_store;
    RowChanges m_options;
    RowChanges m_company;
    QTabWidget *m_tabs;
    QList<std::tuple<QLineEdit *, RowChanges *, QString>> m_texts;
    QList<std::pair<QCheckBox *, QString>> m_checks;
    SecretField *m_password;
    SecretField *m_passwordAgain;
    DataSetComboBox *m_exportFormat;
    QComboBox *m_vcardAction;
    QWidget *m_emailTab;
    QLineEdit *m_smtpUser;
    SecretField *m_smtpPassword;
    QLineEdit *m_port;
    bool m_portEdited = false;
    QCheckBox *m_authentication;
    QComboBox *m_security;
    int m_storedSecurity = 0;
    QString m_storedPassword;
    LogoPage *m_logo;
    QLabel *m_officeCaState;
    QLineEdit *m_davServer;
    QLineEdit *m_davUser;
    SecretField *m_davPassword;
    QLabel *m_davResult;
    bool m_davEdited = false;
    QString m_storedDavPassword;
    WorkerThread *m_davTest;
    std::optional<QByteArray> m_officeCa; // chosen or taken away, not saved yet
};
