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
    explicit ProgramFolder(const QString& nameTemplate = QString());
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool IsValid() const { return m_valid; }
    QString Path() const { return m_dir->path(); }
    QString DatabasePath() const;

    // SQL run on the database directly, not through the program's store;
    // false, with a warning, on error.
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

// Records the data store's application messages, instead of showing them.
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

// Answers every message box while it lives, unshown: presses `button` (or OK
// when the box has none), and records each box's text and caption in order.
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
