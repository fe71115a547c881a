#pragma once

#include "MessageBox.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A program folder for one test: a temporary folder holding a fresh copy of
// the test database as word.mdb, made the current directory for the test's
// lifetime.
class ProgramFolder
{
public:
    // `nameTemplate` lets a test put awkward characters in the folder name.
    explicit ProgramFolder(const QString& nameTemplate = QString());
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool IsValid() const { return m_valid; }
    QString Path() const { return m_dir->path(); }
    QString DatabasePath() const;

    // Runs SQL on the folder's database directly (not through the program's
    // data store), to prepare or inspect a case. Fails the test on error.
    bool Sql(const QString& statement) const;
    // The first column of every row of a query, as text.
    QStringList Column(const QString& query) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous;
    bool m_valid = false;
};

// Records the application messages the data store reports, instead of
// showing them, while it lives.
class AppMessages
{
public:
    AppMessages();
    ~AppMessages();
    QStringList texts;
};

// A modal window that was answered: what it showed.
struct ModalSeen
{
    QString className;
    QString title;
    QString text; // a message box's text
    bool seen = false;
};

// Watches for the next modal window (a message box or a dialog run with
// exec) and hands it to `action` once it is shown, recording what it showed.
// The default action presses `button` on a message box, or rejects a dialog.
class ModalAnswer
{
public:
    using Action = std::function<void(QWidget*)>;
    explicit ModalAnswer(QMessageBox::StandardButton button = QMessageBox::Ok);
    explicit ModalAnswer(Action action);
    ~ModalAnswer();

    const ModalSeen& Seen() const { return *m_seen; }

private:
    void Start(Action action);
    std::shared_ptr<ModalSeen> m_seen;
    std::shared_ptr<bool> m_alive;
};

// Answers every message box of the program while it lives, at once and
// without showing it: presses `button` (or OK when the box has no such
// button), and records each box's text and caption in order.
class MessageBoxes
{
public:
    explicit MessageBoxes(QMessageBox::StandardButton button = QMessageBox::Ok);
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    QStringList Texts() const { return *m_texts; }
    QStringList Titles() const { return *m_titles; }
    void Clear();
    // Answer with another button from now on.
    void SetButton(QMessageBox::StandardButton button) { *m_button = button; }

private:
    std::shared_ptr<QStringList> m_texts = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> m_titles = std::make_shared<QStringList>();
    std::shared_ptr<QMessageBox::StandardButton> m_button;
    Ui::MessageBoxHook m_previous;
};

// Presses a button of a shown message box; false if it has none such.
bool PressMessageBoxButton(QWidget* window, QMessageBox::StandardButton button);
