// The piece reader and tokenizer on arbitrary bytes, checked against a plain
// model of the piece rules. With the top bit of the first byte set, filler
// lines are put in front so that the fuzzed bytes straddle the boundary of a
// read block, where a CR-LF pair can be split between two reads. The last
// byte picks the scan width (of those the processor runs) for the reader and
// the field splitter, so that every width is fuzzed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "input/reading/field_splitter.h"
#include "input/reading/file_handle.h"
#include "input/reading/piece_reader.h"
#include "input/reading/scan_kernels.h"
#include "support/piece_model.h"

namespace {

// Long filler lines keep the number of pieces, and so the cost of a run, low.
const std::string& fillerOfLength(std::size_t length) {
    static std::string filler;
    if (filler.size() != length) {
        std::string line = std::string(480, 'f') + "\tfiller\r\n";
        filler.clear();
        while (filler.size() < length) {
            filler += line;
        }
        filler.resize(length);
    }
    return filler;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size >= 2 && (data[0] & 0x80) != 0) {
        std::size_t shortBy = ((data[0] & 0x7f) << 8 | data[1]) % 600;
        bytes = fillerOfLength(kReadBlockSize - shortBy) + bytes.substr(2);
    }
    std::vector<std::string> expected = modelPieces(bytes);

    FileHandle file(std::fopen(holdInFile(bytes.data(), bytes.size()), "rb"));
    FUZZ_CHECK(file != nullptr);
    const int widths = static_cast<int>(widestScan()) + 1;
    const auto width = static_cast<ScanWidth>(size == 0 ? 0 : data[size - 1] % widths);
    auto reader = std::make_unique<PieceReader>();
    startPieces(*reader, file.get());
    reader->kernels = &scanKernelsFor(width);
    auto piece = std::make_unique<Piece>();
    std::size_t count = 0;
    while (readPiece(*reader, *piece)) {
        FUZZ_CHECK(count < expected.size());
        const std::string& want = expected[count++];
        std::string_view cut(want.c_str());  // the text ends at the first NUL
        FUZZ_CHECK(piece->length == cut.size());
        FUZZ_CHECK(std::memcmp(pieceText(*piece), cut.data(), cut.size()) == 0);
        if (piece->view == nullptr) {
            // A copied piece holds all it was formed of, and a NUL after it.
            FUZZ_CHECK(std::memcmp(piece->text, want.data(), want.size()) == 0);
            FUZZ_CHECK(piece->text[want.size()] == '\0');
        } else {
            FUZZ_CHECK(piece->view >= reader->block &&
                       piece->view < reader->block + kReadBlockSize);
        }

        // The one-pass splitter, wanting some or all of the tokens.
        std::vector<std::string_view> fields = modelTokens(cut, "\t\n");
        std::string_view split[24];
        int wanted = 1 + static_cast<int>(count % 23);
        piece->cursor = 0;
        int got = splitTokens(*piece, split, wanted, &scanKernelsFor(width));
        FUZZ_CHECK(got == std::min<int>(wanted, static_cast<int>(fields.size())));
        for (int i = 0; i < got; ++i) {
            FUZZ_CHECK(split[i] == fields[static_cast<std::size_t>(i)]);
        }
        piece->cursor = 0;

        std::string_view separators = count % 2 == 0 ? "\t\n" : "=\t\n";
        std::vector<std::string_view> tokens = modelTokens(cut, separators);
        std::string_view token;
        for (std::string_view wantToken : tokens) {
            FUZZ_CHECK(nextToken(*piece, separators, token));
            FUZZ_CHECK(token == wantToken);
            FUZZ_CHECK(token.data() >= pieceText(*piece) &&
                       token.data() + token.size() <= pieceText(*piece) + piece->length);
        }
        FUZZ_CHECK(!nextToken(*piece, separators, token));
        FUZZ_CHECK(!nextToken(*piece, separators, token));
    }
    FUZZ_CHECK(count == expected.size());
    FUZZ_CHECK(!readPiece(*reader, *piece));
    return 0;
}
