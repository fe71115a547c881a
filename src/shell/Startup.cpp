#include "Startup.h"

#include "AppMessage.h"
#include "StringTable.h"

DataFolder::Outcome Startup::EnterDataFolder(const QString& programDir)
{
    DataFolder::Outcome out = DataFolder::Enter(programDir);
    for (const DataFolder::Message& message : out.messages) {
        const QString text = Ui::LoadString(int(message.notice));
        const QStringList& args = message.args;
        AppMessage::Show(args.size() == 2   ? text.arg(args[0], args[1])
                         : args.size() == 1 ? text.arg(args[0])
                                            : text);
    }
    return out;
}
