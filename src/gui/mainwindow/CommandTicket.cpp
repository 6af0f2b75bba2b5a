#include "gui/mainwindow/CommandTicket.h"

#include <QDialog>
#include <QPointer>

CommandTicket::CommandTicket(WindowParts& parts)
    : parts(parts)
    , session(parts.session)
{}

EntryViews& CommandTicket::Views()
{
    if (!Confirm()) {
        throw StaleTicket();
    }
    return parts.views;
}

void CommandTicket::CloseWhenEntriesGo(QDialog& dialog)
{
    QPointer<QDialog> guarded(&dialog);
    QObject::connect(&parts.entriesGoing, &EntriesGoing::going, &dialog, [guarded] {
        if (guarded && guarded->isVisible()) {
            guarded->reject();
        }
    });
}

int CommandTicket::ExecShowingEntries(QDialog& dialog)
{
    if (!Confirm()) {
        return QDialog::Rejected;
    }
    CloseWhenEntriesGo(dialog);
    return dialog.exec();
}
