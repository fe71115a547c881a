#include "TestSupport.h"

#include "AppMessage.h"
#include "MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

ProgramFolder::ProgramFolder(const QString& nameTemplate)
    : m_dir(nameTemplate.isEmpty() ? std::make_unique<QTemporaryDir>()
                                   : std::make_unique<QTemporaryDir>(
                                         QDir::tempPath() + QLatin1Char('/') + nameTemplate)),
      m_previous(QDir::currentPath())
{
    if (!m_dir->isValid())
        return;
    if (!QFile::copy(QStringLiteral(ORDWIN_TEST_DB), DatabasePath()))
        return;
    QFile::setPermissions(DatabasePath(), QFile::ReadOwner | QFile::WriteOwner);
    m_valid = QDir::setCurrent(m_dir->path());
}

ProgramFolder::~ProgramFolder()
{
    QDir::setCurrent(m_previous);
}

QString ProgramFolder::DatabasePath() const
{
    return m_dir->filePath(QStringLiteral("word.mdb"));
}

namespace {
template <class F> bool WithDatabase(const QString& path, F&& work)
{
    const QString name = QStringLiteral("test-direct");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            ok = work(query);
            if (!ok)
                qWarning() << query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
} // namespace

bool ProgramFolder::Sql(const QString& statement) const
{
    return WithDatabase(DatabasePath(), [&](QSqlQuery& query) { return query.exec(statement); });
}

QStringList DatabaseColumn(const QString& path, const QString& sql)
{
    QStringList values;
    if (!QFile::exists(path))
        return values;
    WithDatabase(path, [&](QSqlQuery& query) {
        if (!query.exec(sql))
            return false;
        while (query.next())
            values << query.value(0).toString();
        return true;
    });
    return values;
}

QStringList ProgramFolder::Column(const QString& statement) const
{
    return DatabaseColumn(DatabasePath(), statement);
}

AppMessages::AppMessages()
{
    AppMessage::SetHandler([this](const QString& text) { texts << text; });
}

AppMessages::~AppMessages()
{
    AppMessage::SetHandler({});
}

NextModal::NextModal(std::function<void(QDialog*)> action) : m_timer(std::make_unique<QTimer>())
{
    QWidget* const before = QApplication::activeModalWidget();
    m_timer->setSingleShot(true);
    QObject::connect(m_timer.get(), &QTimer::timeout,
                     [before, action = std::move(action), ran = m_ran] {
                         auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                         if (!dialog || dialog == before)
                             return;
                         *ran = true;
                         action(dialog);
                     });
    m_timer->start(0);
}

NextModal::~NextModal() = default;

MessageBoxes::MessageBoxes(QMessageBox::StandardButton button)
    : m_button(std::make_shared<QMessageBox::StandardButton>(button))
{
    m_previous =
        Ui::SetMessageBoxHook([texts = m_texts, titles = m_titles, which = m_button](
                                  QMessageBox::Icon, const QString& caption, const QString& text,
                                  QMessageBox::StandardButtons buttons) {
            *texts << text;
            *titles << caption;
            return buttons.testFlag(*which) ? *which : QMessageBox::Ok;
        });
}

MessageBoxes::~MessageBoxes()
{
    Ui::SetMessageBoxHook(std::move(m_previous));
}

void MessageBoxes::Clear()
{
    m_texts->clear();
    m_titles->clear();
}
