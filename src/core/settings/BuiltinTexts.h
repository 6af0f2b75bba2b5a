#pragma once

#include <string_view>

// Number of entries in the built-in English text table (ids 0 to 399; ids past 260 are for texts of our own).
inline constexpr int BuiltinTextCount = 400;

// The built-in English text of an id; empty for an id outside the table.
std::u16string_view BuiltinText(int id);

// Text ids used by more than one subsystem.
namespace TextId {
inline constexpr int Cancel = 0;
inline constexpr int AlreadyRunning = 8;
inline constexpr int InvalidPassword = 38;
inline constexpr int CloseCurrentDatabase = 125;
inline constexpr int BackupCreated = 127;
inline constexpr int DuplicateEntry = 152;
inline constexpr int EntryPasswordsDiffer = 188;
inline constexpr int SpecifyCompositeMasterPassword = 220;
inline constexpr int SpecifyNewMasterPassword = 221;
inline constexpr int MasterPasswordLabel = 222;
inline constexpr int RepeatLabel = 223;
inline constexpr int MasterPasswordsDiffer = 224;
inline constexpr int DamagedFileEntriesRead = 261;
inline constexpr int DamagedFileKeptAs = 262;
inline constexpr int DamagedFileNotKept = 263;
inline constexpr int FieldHoldsNul = 264;
} // namespace TextId
