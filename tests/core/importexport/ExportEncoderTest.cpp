#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/importexport/ExportFile.h"

namespace {
std::optional<SecureBytes> Whole(const std::vector<std::u16string>& pieces, LineEnds lineEnds)
{
    SecureString text;
    for (const auto& piece : pieces) {
        text.append(piece.begin(), piece.end());
    }
    try {
        return EncodeExportText(text, lineEnds);
    } catch (const UnencodableText&) {
        return std::nullopt;
    }
}

std::optional<SecureBytes> InPieces(const std::vector<std::u16string>& pieces, LineEnds lineEnds,
                                    std::size_t& largestBlock)
{
    SecureBytes out;
    try {
        ExportEncoder encoder(lineEnds, [&](std::span<const unsigned char> block) {
            largestBlock = std::max(largestBlock, block.size());
            out.insert(out.end(), block.begin(), block.end());
        });
        for (const auto& piece : pieces) {
            encoder.Append(piece);
        }
        encoder.Finish();
        return out;
    } catch (const UnencodableText&) {
        return std::nullopt;
    }
}

// Pieces split wherever the encoding looks at two units (a carriage return before a line feed, the halves of a
// surrogate pair) and texts far longer than a block: the bytes, or the refusal, are those of the whole text, and no
// block passed on is much longer than 64 KiB.
TEST(ExportEncoderTest, PiecesEncodeAsTheWholeText)
{
    const std::u16string longText(200000, u'\u00e9');
    const std::vector<std::vector<std::u16string>> cases = {
        {u"a\r", u"\nb\n"},
        {u"x\xD83D", u"\xDE00y"},
        {u"\xD83D"},
        {u"\xD83D", u"z"},
        {u"", u"\xDE00"},
        {u"\n", u"\r\n", u"\n"},
        {longText},
        {longText, u"\r", u"\n", longText},
        {u"end\xD83D", u"", u"\xDE00"},
    };
    for (const auto lineEnds : {LineEnds::CrLfForBareLf, LineEnds::CrLfForEveryLf}) {
        for (std::size_t index = 0; index < cases.size(); ++index) {
            std::size_t largestBlock = 0;
            EXPECT_EQ(InPieces(cases[index], lineEnds, largestBlock), Whole(cases[index], lineEnds)) << index;
            EXPECT_LE(largestBlock, 64u * 1024 + 4) << index;
        }
    }
}
} // namespace
