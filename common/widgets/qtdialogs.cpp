#include "common/widgets/qtdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget *activeWindow()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Question:
        return QMessageBox::Question;
    case MessageKind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

void QtDialogs::inform(MessageKind kind, const QString &message, const QString &caption)
{
    QMessageBox box(iconOf(kind), caption, message, QMessageBox::Ok, activeWindow());
    box.exec();
}

void QtDialogs::informWithDetails(MessageKind kind, const QString &message, const QString &details,
                                  const QString &caption)
{
    QMessageBox box(iconOf(kind), caption, message, QMessageBox::Ok, activeWindow());
    // The details scroll in a box of their own, so the message and its button stay on screen.
    box.setDetailedText(details);
    box.exec();
}

bool QtDialogs::ask(const QString &question, const QString &caption, Answer preselected)
{
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::NoButton,
                    activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(preselected == Answer::Yes ? yes : no);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtDialogs::chooseOpenFile(const QString &title, const QString &filter,
                                  const QString &folder)
{
    return QFileDialog::getOpenFileName(activeWindow(), title, folder, filter);
}

QStringList QtDialogs::chooseOpenFiles(const QString &title, const QString &filter,
                                       const QString &folder)
{
    return QFileDialog::getOpenFileNames(activeWindow(), title, folder, filter);
}

QString QtDialogs::chooseSaveFile(const QString &title, const QString &filter,
                                  const QString &suggested)
{
    return QFileDialog::getSaveFileName(activeWindow(), title, suggested, filter);
}

int QtDialogs::showModal(QWidget *window)
{
    if (auto *dialog = qobject_cast<QDialog *>(window))
        return dialog->exec();
    // A plain window shown modally: wait until it is hidden again.
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QEventLoop loop;
    while (window->isVisible())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return 0;
}
