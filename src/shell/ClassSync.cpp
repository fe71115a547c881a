#include "ClassSync.h"

#include "ClassServer.h"

#include <QEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>

ClassSync::ClassSync(QWidget* window) : QObject(window)
{
    window->installEventFilter(this);
}

ClassSync::~ClassSync()
{
    if (m_thread) {
        m_thread->wait();
        Finish();
        delete m_thread;
    }
}

bool ClassSync::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &ClassSync::Start);
    }
    return false;
}

void ClassSync::Start()
{
    const ClassServer::Settings settings = ClassServer::Load();
    if (!settings.Configured())
        return;
    const ClassServer::Outbox::Waiting waiting = ClassServer::Outbox::Read();
    if (waiting.parcels.isEmpty())
        return;
    m_thread = QThread::create([this, settings, parcels = waiting.parcels] {
        ClassServer::Send(settings, parcels, [this](const QString& uid) { m_sent << uid; });
    });
    connect(m_thread, &QThread::finished, this, &ClassSync::Finish);
    m_thread->start();
}

void ClassSync::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    ClassServer::Outbox::MarkSent(m_sent);
}
