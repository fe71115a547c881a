#include "AppMessage.h"

#include <QDebug>

namespace {
AppMessage::Handler& CurrentHandler()
{
    static AppMessage::Handler handler;
    return handler;
}
} // namespace

AppMessage::Handler AppMessage::SetHandler(Handler handler)
{
    Handler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

void AppMessage::Show(const QString& text)
{
    if (const Handler& handler = CurrentHandler())
        handler(text);
    else
        qWarning().noquote() << text;
}
