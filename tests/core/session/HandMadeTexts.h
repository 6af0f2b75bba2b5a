#pragma once

#include <string>

#include "ExpectedEntries.h"
#include "RandomEntries.h"

// The texts a damaged copy, another program or an older version can leave in a database file, none of which a save
// of ours writes: a file that holds them is never taken for the collection it reads as.
enum class TextShape
{
    // What a save writes: whole records in key order, each key once.
    AsSaved,
    // One byte short: the last terminator's final zero byte is missing.
    OddLength,
    OutOfKeyOrder,
    DuplicateKeys,
    // A rest after the whole records that is no whole record.
    DamagedRest,
    // A NUL inside a record or after the last one.
    Nul,
};

inline constexpr TextShape AllTextShapes[] = {TextShape::AsSaved,       TextShape::OddLength,
                                              TextShape::OutOfKeyOrder, TextShape::DuplicateKeys,
                                              TextShape::DamagedRest,   TextShape::Nul};

const char* ShapeName(TextShape shape);

// A decrypted text made by hand, and what opening it must give.
struct HandMadeText
{
    std::string bytes;
    // The records the reader keeps: the whole ones before the damage, the first of equal keys.
    ExpectedEntries read;
    // Opening tells the user and keeps the original beside the file before the first save.
    bool damaged = false;
};

// A text of that shape from `records` random records (at least one where the shape needs it). Half the time the
// records come to a multiple of the cipher blocks, where a byte too few shows most.
HandMadeText MakeHandMadeText(RandomEntries& random, TextShape shape, std::size_t records);
