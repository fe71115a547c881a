#pragma once

#include <QString>

#include <functional>

// Messages meant for the application's own message box (caption: the program's
// name). The data store reports through here; the GUI installs the handler
// that shows the box, tests install one that records.
namespace AppMessage {

using Handler = std::function<void(const QString& text)>;

// Replaces the handler and returns the previous one. An empty handler
// restores the default, which writes the text to the log.
Handler SetHandler(Handler handler);

void Show(const QString& text);

} // namespace AppMessage
