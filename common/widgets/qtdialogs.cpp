#include "common/widgets/qtdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

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

// A short message would make a box narrower than its caption, and the title bar would cut the
// caption ("Mes…ore"): the box is kept wide enough for the caption and the title bar's buttons.
void fitCaption(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (grid == nullptr)
        return;
    const int width = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                          .horizontalAdvance(box.windowTitle()) +
                      160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtDialogs::inform(MessageKind kind, const QString &message, const QString &caption)
{
    QMessageBox box(iconOf(kind), caption, message, QMessageBox::Ok, activeWindow());
    fitCaption(box);
    box.exec();
}

void QtDialogs::informWithDetails(MessageKind kind, const QString &message, const QString &details,
                                  const QString &caption)
{
    QMessageBox box(iconOf(kind), caption, message, QMessageBox::Ok, activeWindow());
    // The details scroll in a box of their own, so the message and its button stay on screen.
    box.setDetailedText(details);
    fitCaption(box);
    box.exec();
}

bool QtDialogs::ask(const QString &question, const QString &caption, Answer preselected)
{
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::NoButton,
                    activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(preselected == Answer::Yes ? yes : no);
    fitCaption(box);
    box.exec();
    return box.clickedButton() == yes;
}

int QtDialogs::choose(const QString &question, const QString &caption, const QStringList &buttons,
                      int preselected, int escape)
{
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::NoButton,
                    activeWindow());
    QList<QPushButton *> pushes;
    for (const QString &text : buttons)
        pushes.append(box.addButton(text, QMessageBox::ActionRole));
    if (preselected >= 0 && preselected < pushes.size())
        box.setDefaultButton(pushes[preselected]);
    if (escape >= 0 && escape < pushes.size())
        box.setEscapeButton(pushes[escape]);
    fitCaption(box);
    box.exec();
    const qsizetype pressed = pushes.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return pressed < 0 ? escape : int(pressed);
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
