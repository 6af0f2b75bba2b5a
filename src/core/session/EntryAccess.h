#pragma once

#include <functional>

#include "core/database/DataBase.h"
#include "core/session/IBackgroundWork.h"

// How a dialog reaches the entries of the database it works for. In the program that is a command's SessionTicket,
// which refuses once the database has been locked or closed; elsewhere a collection of its own.
class IEntryAccess
{
public:
    virtual ~IEntryAccess() = default;
    // Runs `work` with the collection on the file-work runner; false, the user told, when the entries are gone.
    virtual bool Work(FileWork kind, const std::function<void(CDataBase&)>& work) = 0;
    // The texts and the reporter of the collection: no entries among them, so they are there whatever happened.
    virtual const ITextSource& Texts() const = 0;
    virtual IMessageReporter& Reporter() const = 0;
};

// A collection reached directly, with its work run by `work`: nothing can take it away meanwhile.
class CollectionAccess final : public IEntryAccess
{
public:
    explicit CollectionAccess(CDataBase& database, IBackgroundWork& work = InlineWork::Shared())
        : database(database)
        , work(work)
    {}

    bool Work(FileWork kind, const std::function<void(CDataBase&)>& run) override
    {
        work.Run(kind, [&] { run(database); });
        return true;
    }
    const ITextSource& Texts() const override { return database.Texts(); }
    IMessageReporter& Reporter() const override { return database.Reporter(); }

private:
    CDataBase& database;
    IBackgroundWork& work;
};
