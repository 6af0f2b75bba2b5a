#include "gui/mainwindow/CommandLine.h"

std::u16string CommandLineText(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).toStdU16String();
}

bool IsStartHiddenSwitch(const std::u16string& commandLine)
{
    return commandLine == u"-hide";
}
