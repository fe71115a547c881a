#pragma once

#include "MessageBox.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

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

// The first column of every row of a query on the database at `path`, as
// text; empty when there is no such file (it is never created).
QStringList DatabaseColumn(const QString& path, const QString& sql);

// Records the application messages the data store reports, instead of
// showing them, while it lives.
class AppMessages
{
public:
    AppMessages();
    ~AppMessages();
    QStringList texts;
};

// Runs `action` on the next dialog run modally (with exec), once it is shown:
// arm it, then do what opens the dialog. The action must close the dialog.
// An action that has not run when this goes out of scope never runs.
class NextModal
{
public:
    explicit NextModal(std::function<void(QDialog*)> action);
    ~NextModal();
    NextModal(const NextModal&) = delete;
    NextModal& operator=(const NextModal&) = delete;
    bool Ran() const { return *m_ran; }

private:
    std::shared_ptr<bool> m_ran = std::make_shared<bool>(false);
    std::unique_ptr<QTimer> m_timer;
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
