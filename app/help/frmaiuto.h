#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

// "Aiuto": the help pages, with their index, the pages seen before and after, and "Chiudi".
// The caption follows the page: "Aiuto - <page title>".
class TfrmAiuto : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmAiuto(QWidget *parent = nullptr);

    // The page of `context`, or the index when the context has none.
    void showContext(int context);
    void showPage(const QString &page);

    // The file name of the page shown.
    QString currentPage() const;
    QString pageTitle() const;

private:
    void pageChanged();

    QTextBrowser *m_browser;
    QPushButton *m_back;
    QPushButton *m_forward;
};
