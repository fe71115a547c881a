#pragma once

#include <QObject>
#include <QStringList>

class QThread;

// Sends what waits in the class outbox after the main window has first
// painted, when a class server is configured: the outbox is read here, the
// exams go to the server on a thread of their own, and the ones the server
// took are marked sent back here. The window never waits for the network.
class ClassSync : public QObject
{
    Q_OBJECT
public:
    explicit ClassSync(QWidget* window);
    // Waits for a send still under way (at most the connect timeout per
    // exam) and marks what it sent.
    ~ClassSync() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Start();
    void Finish();

    QThread* m_thread = nullptr;
    QStringList m_sent; // written by the thread until it finishes
    bool m_finished = false;
};
