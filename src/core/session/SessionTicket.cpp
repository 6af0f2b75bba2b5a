#include "core/session/SessionTicket.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"

SessionTicket::SessionTicket(DatabaseSession& session)
    : session(session)
    , generation(session.Generation())
    , openAtStart(session.IsOpen())
{
    session.TicketTaken();
}

SessionTicket::~SessionTicket()
{
    session.TicketReturned();
}

bool SessionTicket::IsLive() const
{
    return openAtStart && session.IsOpen() && session.Generation() == generation;
}

bool SessionTicket::Confirm()
{
    if (IsLive()) {
        return true;
    }
    if (!told) {
        told = true;
        session.ReportDatabaseGone();
    }
    return false;
}

bool SessionTicket::Work(FileWork kind, const std::function<void(CDataBase&)>& work)
{
    if (!Confirm()) {
        return false;
    }
    session.Work().Run(kind, [&] { work(session.Collection()); });
    return true;
}

bool SessionTicket::Read(const std::function<void(const CDataBase&)>& read)
{
    if (!Confirm()) {
        return false;
    }
    read(session.Collection());
    return true;
}

ChangeResult SessionTicket::AddEntry(const EntryKey& key, const EntryFields& fields)
{
    return Confirm() ? session.AddEntry(key, fields) : ChangeResult::Refused;
}

ChangeResult SessionTicket::ReplaceEntry(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields)
{
    return Confirm() ? session.ReplaceEntry(oldKey, newKey, fields) : ChangeResult::Refused;
}

ChangeResult SessionTicket::RemoveEntry(const EntryKey& key)
{
    return Confirm() ? session.RemoveEntry(key) : ChangeResult::Refused;
}

ChangeResult SessionTicket::ImportEntries(FileWork kind, const std::function<bool(CDataBase&)>& pour)
{
    if (!Confirm()) {
        return ChangeResult::Refused;
    }
    return session.ImportEntries([&](CDataBase& into) {
        bool poured = false;
        session.Work().Run(kind, [&] { poured = pour(into); });
        return poured;
    });
}

const ITextSource& SessionTicket::Texts() const
{
    return session.Collection().Texts();
}

IMessageReporter& SessionTicket::Reporter() const
{
    return session.Collection().Reporter();
}

ChangeResult SessionTicket::SavePoured()
{
    return Confirm() ? session.ImportEntries([](CDataBase&) { return true; }) : ChangeResult::Refused;
}

std::u16string SessionTicket::FileName() const
{
    return session.FileName();
}

std::u16string SessionTicket::Folder() const
{
    return session.Folder();
}

const SecureString& SessionTicket::MasterPassword() const
{
    return session.MasterPassword();
}
