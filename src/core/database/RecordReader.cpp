#include "core/database/RecordReader.h"

#include <algorithm>

RecordReader::RecordReader(std::function<void(Entry&)> record)
    : record(std::move(record))
{}

std::u16string_view RecordReader::Trusted(std::u16string_view known)
{
    if (nul == std::u16string_view::npos && nulSearchedTo < known.size()) {
        nul = known.find(u'\0', nulSearchedTo);
        nulSearchedTo = known.size();
    }
    return known.substr(0, std::min(nul, known.size()));
}

bool RecordReader::ReadFields(std::u16string_view trusted)
{
    while (field > 0 || position < trusted.size()) {
        const std::size_t end = trusted.find(FieldTerminatorView, std::max(position, searchFrom));
        if (end == std::u16string_view::npos) {
            // A terminator may have begun in the last units.
            searchFrom = std::max(position, trusted.size() - std::min(trusted.size(), FieldTerminatorView.size() - 1));
            return false;
        }
        FieldOf(entry, static_cast<EntryField>(field)).assign(trusted.data() + position, end - position);
        position = searchFrom = end + FieldTerminatorView.size();
        if (++field == EntryFieldCount) {
            field = 0;
            record(entry);
            ++read.records;
        }
    }
    return true;
}

void RecordReader::Read(std::u16string_view known)
{
    ReadFields(Trusted(known));
}

RecordsRead RecordReader::Finish(std::u16string_view text)
{
    const bool whole = ReadFields(Trusted(text));
    read.damaged = !whole || nul != std::u16string_view::npos;
    read.textBytes = text.size() * 2;
    return read;
}
