#include "app/serverpassword.h"

#include "common/dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<QString> askServerPassword(const QString &server)
{
    QDialog window;
    window.setObjectName(QStringLiteral("frmPasswordServer"));
    window.setWindowTitle(QStringLiteral("Password del server"));
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(
        QStringLiteral("Il server dell'archivio %1 chiede una password.").arg(server), &window);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("Password"));
    edit->setEchoMode(QLineEdit::Password);
    layout->addWidget(edit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &window);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(buttons);
    edit->setFocus();
    if (dialogs().showModal(&window) != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}
