#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a message box says about its message: it decides the box's icon, never its caption.
enum class MessageKind
{
    Error,
    Warning,
    Question,
    Information
};

// Everything modal goes through here: message boxes, questions, file choices and windows
// shown modally. The program installs the Qt implementation; tests install one that answers
// from a script, so no test ever waits on a real modal loop.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button.
    virtual void inform(MessageKind kind, const QString &message, const QString &caption) = 0;
    // A message box with an OK button and, under it, `details` that scroll however long they
    // are (one line per item of a long list).
    virtual void informWithDetails(MessageKind kind, const QString &message, const QString &details,
                                   const QString &caption)
    {
        inform(kind, details.isEmpty() ? message : message + QStringLiteral("\n\n") + details,
               caption);
    }
    // The answer Enter gives to a question.
    enum class Answer
    {
        Yes,
        No, // for a question whose Yes loses something
    };
    // A Yes/No question (MessageKind::Question), `preselected` the default button; true for Yes.
    virtual bool ask(const QString &question, const QString &caption, Answer preselected) = 0;
    // A question with buttons of its own, `buttons` in the order shown: the index of the one
    // pressed. Enter presses `preselected`; Esc or the title bar's X gives `escape`.
    virtual int choose(const QString &question, const QString &caption, const QStringList &buttons,
                       int preselected, int escape) = 0;
    // A file to open or to save; empty when the user cancels.
    virtual QString chooseOpenFile(const QString &title, const QString &filter,
                                   const QString &folder) = 0;
    // Several files to open, in the order chosen; empty when the user cancels. Where the
    // implementation knows only one file at a time, the one chosen.
    virtual QStringList chooseOpenFiles(const QString &title, const QString &filter,
                                        const QString &folder)
    {
        const QString one = chooseOpenFile(title, filter, folder);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    virtual QString chooseSaveFile(const QString &title, const QString &filter,
                                   const QString &suggested) = 0;
    // Shows a window modally and returns its result code when it closes.
    virtual int showModal(QWidget *window) = 0;

    void error(const QString &message)
    {
        inform(MessageKind::Error, message, QStringLiteral("Messaggio di errore"));
    }
    void warning(const QString &message)
    {
        inform(MessageKind::Warning, message, QStringLiteral("Messaggio di avviso"));
    }
    void information(const QString &message, const QString &caption)
    {
        inform(MessageKind::Information, message, caption);
    }
    bool confirm(const QString &question)
    {
        return ask(question, QStringLiteral("Messaggio di avviso"), Answer::Yes);
    }
    // A question whose Yes deletes or loses something: Enter answers No.
    bool confirmDefaultNo(const QString &question)
    {
        return ask(question, QStringLiteral("Messaggio di avviso"), Answer::No);
    }
};

// Where a file dialog opens for the user's own files: their documents folder when it exists,
// else their home folder (never the program's folder, nor a folder that is not there).
QString documentsFolder();

// The implementation in use. Until one is installed, messages go to the log and questions are
// answered No.
Dialogs &dialogs();
// Installs `implementation` (not owned); nullptr puts the fallback back.
void setDialogs(Dialogs *implementation);
