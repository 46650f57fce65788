#pragma once

#include "db/core/connection.h"

#include <QTemporaryDir>

#include <memory>

// A new archive, with schema and reference data, in a folder of its own that disappears
// with it.
// With CALVETRA_TEST_ENGINE=postgresql the archive is a database of its own on the tests' server
// (see scripts/pg-test-server.sh), dropped with it; path() is then its address.
class FreshArchive
{
public:
    FreshArchive();
    ~FreshArchive();
    FreshArchive(const FreshArchive &) = delete;
    FreshArchive &operator=(const FreshArchive &) = delete;

    // True when the tests of this process run on the server.
    static bool onServer();
    // On the server, a new archive there that percorso.txt in `programFolder` names, so that a
    // program started from that folder works on it; nothing when the tests run on files.
    static std::unique_ptr<FreshArchive> namedInProgramFolder(const QString &programFolder);

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    db::Connection &connection() { return *m_connection; }

    // Runs a program statement that must succeed (QVERIFY-style failure otherwise).
    db::RowSet run(const QString &sql);
    // Runs an engine statement with bound values that must succeed.
    db::RowSet native(const QString &sql, const QVariantList &values = {});
    // From now on the archive refuses with `message` every `event` ("insert" or "update") on
    // `table` of a row for which `when` holds (an expression on new.Column; every row without
    // it): a full disk or a locked table, as far as the program can tell.
    void refuseWrites(const QString &event, const QString &table, const QString &message,
                      const QString &when = {});
    // Takes every refusal back.
    void allowWrites();

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_database;                            // on the server
    QList<std::pair<QString, QString>> m_refusals; // trigger, table
    std::unique_ptr<db::Connection> m_connection;
};

#include "common/dialogs.h"

#include <QStringList>

#include <functional>

// Answers the program's dialogs from a script and records what they showed. Installed for as
// long as it lives.
class ScriptedDialogs final : public Dialogs
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    QStringList messages;      // "caption: text" of every message box and question shown
    QList<MessageKind> kinds;  // the kind of each of them
    QList<bool> answers;       // the answers to the next questions, in order (No when empty)
    QList<Answer> preselected; // the default button of every question asked
    // The buttons pressed at the next questions with buttons of their own, by their text, in
    // order; Esc when empty. The buttons offered and the default one are recorded.
    QStringList choices;
    QList<QStringList> offered;
    QStringList defaults;
    QStringList suggestedFiles; // the file name each save dialog offered
    QStringList files;          // the next file choices, in order (cancel when empty); one
                                // entry holds several files to open, separated by newlines
    // What happens inside the next windows shown modally, in order; each returns the window's
    // result. A window without an action closes at once with 0.
    QList<std::function<int(QWidget *)>> modalActions;
    QStringList modalWindows; // objectName of every window shown modally

    void inform(MessageKind kind, const QString &message, const QString &caption) override;
    bool ask(const QString &question, const QString &caption, Answer preselected) override;
    int choose(const QString &question, const QString &caption, const QStringList &buttons,
               int preselected, int escape) override;
    QString chooseOpenFile(const QString &title, const QString &filter,
                           const QString &folder) override;
    QStringList chooseOpenFiles(const QString &title, const QString &filter,
                                const QString &folder) override;
    QString chooseSaveFile(const QString &title, const QString &filter,
                           const QString &suggested) override;
    int showModal(QWidget *window) override;
};

class QAbstractButton;
class QLineEdit;

// An empty database called `name` on the tests' server, made anew (for a tool that must be
// given an empty one), and its address; dropServerDatabase() removes it again.
QString emptyServerDatabase(const QString &name);
void dropServerDatabase(const QString &address);

// One of the program's command-line tools (in CALVETRA_BIN_DIR) run as a user runs it: a
// process of its own, `input` on its standard input, its output, errors and exit code (-1 and
// "timeout" when it does not end within `timeoutSeconds`).
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};
ToolRun runTool(const QString &tool, const QStringList &arguments, const QByteArray &input = {},
                int timeoutSeconds = 30);

// Driving a window through its controls, found by name, as the user would.
namespace drive {

QWidget *widget(QWidget *window, const QString &name);
template <typename T = QWidget> T *in(QWidget *window, const QString &name)
{
    T *child = qobject_cast<T *>(widget(window, name));
    if (!child)
        qFatal("%s is not the kind of control expected", qPrintable(name));
    return child;
}
// Replaces the text of a box as the user does: select it, delete it, type.
void type(QWidget *window, const QString &name, const QString &text);
void click(QWidget *window, const QString &name);

} // namespace drive
