#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "core/database/Entry.h"

// The three code units that end every field in the decrypted text.
inline constexpr char16_t FieldTerminator[] = {0x0007, 0x0001, 0x0005};
inline constexpr std::u16string_view FieldTerminatorView{FieldTerminator, 3};

// What the reader made of a decrypted text: the whole records before the first damage, and whether there was damage
// (a NUL, a rest that is no whole record, or a last byte that is no whole unit). Every file this program writes is
// whole records only.
struct RecordsRead
{
    std::size_t records = 0;
    bool damaged = false;
    // Each record's key came after the one before it (set by ParseEntries and ReadDatabase).
    bool inKeyOrder = true;
    // The length of the decrypted text, set by the readers of a text or file.
    std::size_t textBytes = 0;
};

// Reads the records of a decrypted text from its start while the rest may still be on its way: the records are the
// whole ones before the first damage, in file order, the same however the text arrives. Nothing after a NUL is
// trusted.
class RecordReader
{
public:
    explicit RecordReader(std::function<void(Entry&)> record);

    // Reads the whole records in `known`, the start of the text, which no longer changes.
    void Read(std::u16string_view known);
    // Reads the rest of the whole text; what does not make a whole record is damage.
    RecordsRead Finish(std::u16string_view text);
    // Where the text is still needed from: everything before it has been copied into records.
    std::size_t Position() const { return position; }
    std::size_t Records() const { return read.records; }

private:
    // The view up to the first NUL, as far as it is known.
    std::u16string_view Trusted(std::u16string_view known);
    // Reads fields up to the end of `trusted`; false when a field has no terminator there.
    bool ReadFields(std::u16string_view trusted);

    std::function<void(Entry&)> record;
    Entry entry;
    int field = 0;
    std::size_t position = 0;
    // Where the search for the current field's terminator goes on, so that a long field is searched once.
    std::size_t searchFrom = 0;
    std::size_t nulSearchedTo = 0;
    std::size_t nul = std::u16string_view::npos;
    RecordsRead read;
};
