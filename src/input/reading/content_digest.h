// A digest of a report's content, taken as the content is read, to tell
// when one report is the same as another read earlier in the run: a report
// saved twice (a copy beside its gzip original, a browser's second
// download) would otherwise be counted twice without a word.
//
// The content is what the reader receives (decompressed for gzip, converted
// to UTF-8 for UTF-16 text) up to where its reading ends: the end of the file, or its first Ctrl-Z.
// The digest is its length and position-weighted sums of its 8-byte words, cheap enough to take on
// every byte as it is read; two reports with equal digests are compared byte for byte before they
// are called the same (see sameContent).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::size_t kDigestLanes = 8;
constexpr std::size_t kDigestChunk = kDigestLanes * 8;

// The digest of a whole content: its length, then the lanes' sums and
// weighted sums. Equal contents give equal keys.
using ContentKey = std::array<std::uint64_t, 1 + 2 * kDigestLanes>;

struct ContentDigest {
    std::uint64_t length = 0;
    std::uint64_t sums[kDigestLanes] = {};
    std::uint64_t weightedSums[kDigestLanes] = {};
    unsigned char pending[kDigestChunk] = {};  // the start of an incomplete chunk
    std::size_t pendingCount = 0;
};

// Adds the next bytes of the content. The reader does not look for a
// Ctrl-Z here: it meets one on its own, rarely, and then the key is taken
// anew from the file (contentKeyOfFile).
void addContent(ContentDigest& digest, const char* bytes, std::size_t count);

// The key of the content added so far.
ContentKey contentKey(const ContentDigest& digest);

// The key of a file's content, read as the report reader reads it. False
// when the file cannot be read in full.
bool contentKeyOfFile(const char* path, ContentKey& key);

// True when the two files' contents, read as the report reader reads them
// (decompressed when gzip, converted when UTF-16, up to the first Ctrl-Z),
// are byte for byte the same: so a UTF-16 copy of a report has the content
// of its UTF-8 original. A file that cannot be read in full has no content to share.
bool sameContent(const char* onePath, const char* otherPath);
