#include "gui/mainwindow/CommandLine.h"

std::u16string CommandLineText(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).toStdU16String();
}

bool IsStartHiddenSwitch(const std::u16string& commandLine)
{
    return commandLine == u"-hide";
}

std::optional<std::filesystem::path> DatabaseFileArgument(const QStringList& arguments)
{
    bool switchesEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!switchesEnded && argument == QStringLiteral("--")) {
            switchesEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!switchesEnded && argument.startsWith(QLatin1Char('-')))) {
            continue;
        }
        std::error_code error;
        const std::filesystem::path file(argument.toStdString());
        const std::filesystem::path absolute = std::filesystem::absolute(file, error);
        return (error ? file : absolute).lexically_normal();
    }
    return std::nullopt;
}
