#include "input/reading/content_digest.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "input/reading/byte_scan.h"
#include "input/reading/byte_source.h"
#include "input/reading/file_handle.h"
#include "input/reading/scan_kernels.h"

void addContent(ContentDigest& digest, const char* bytes, std::size_t count) {
    if (count == 0) {
        return;
    }
    digest.length += count;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes);
    if (digest.pendingCount > 0) {
        std::size_t taken = std::min(count, kDigestChunk - digest.pendingCount);
        std::memcpy(digest.pending + digest.pendingCount, at, taken);
        digest.pendingCount += taken;
        at += taken;
        count -= taken;
        if (digest.pendingCount < kDigestChunk) {
            return;
        }
        scanKernels().addChunks(digest, digest.pending, 1);
        digest.pendingCount = 0;
    }
    scanKernels().addChunks(digest, at, count / kDigestChunk);
    std::memcpy(digest.pending, at + count / kDigestChunk * kDigestChunk, count % kDigestChunk);
    digest.pendingCount = count % kDigestChunk;
}

ContentKey contentKey(const ContentDigest& digest) {
    // The incomplete last chunk counts as if zeros followed it: the length
    // tells such a content from one that holds those zeros.
    ContentDigest last = digest;
    if (last.pendingCount > 0) {
        std::memset(last.pending + last.pendingCount, 0, kDigestChunk - last.pendingCount);
        scanKernels().addChunks(last, last.pending, 1);
    }
    ContentKey key{};
    key[0] = last.length;
    for (std::size_t lane = 0; lane < kDigestLanes; ++lane) {
        key[1 + lane] = last.sums[lane];
        key[1 + kDigestLanes + lane] = last.weightedSums[lane];
    }
    return key;
}

namespace {

constexpr std::size_t kCompareBlock = 1 << 16;  // bytes read at a time to key or compare files

// A file read as a report is read, in blocks of a fixed size.
struct ContentReader {
    FileHandle file;
    ByteSource source;
    bool ended = false;  // a Ctrl-Z ended the content

    explicit ContentReader(const char* path) : file(openForReading(path)) {
        if (file) {
            startSource(source, file.get(), kReportDecoding);
        }
    }

    // Fills `into` with up to room bytes of the content; fewer only at its end.
    std::size_t read(char* into, std::size_t room) {
        std::size_t filled = 0;
        while (!ended && filled < room) {
            std::size_t got = readBytes(source, into + filled, room - filled);
            if (got == 0) {
                break;
            }
            if (const void* ctrlZ = std::memchr(into + filled, kCtrlZ, got)) {
                got = static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - (into + filled));
                ended = true;
            }
            filled += got;
        }
        return filled;
    }
};

}  // namespace

bool contentKeyOfFile(const char* path, ContentKey& key) {
    ContentReader reader(path);
    if (!reader.file) {
        return false;
    }
    std::vector<char> block(kCompareBlock);
    ContentDigest digest;
    for (;;) {
        std::size_t count = reader.read(block.data(), kCompareBlock);
        addContent(digest, block.data(), count);
        if (count < kCompareBlock) {
            key = contentKey(digest);
            return !sourceFailed(reader.source);
        }
    }
}

bool sameContent(const char* onePath, const char* otherPath) {
    auto one = std::make_unique<ContentReader>(onePath);
    auto other = std::make_unique<ContentReader>(otherPath);
    if (!one->file || !other->file) {
        return false;
    }
    std::vector<char> oneBlock(kCompareBlock);
    std::vector<char> otherBlock(kCompareBlock);
    for (;;) {
        std::size_t oneCount = one->read(oneBlock.data(), kCompareBlock);
        std::size_t otherCount = other->read(otherBlock.data(), kCompareBlock);
        if (oneCount != otherCount ||
            std::memcmp(oneBlock.data(), otherBlock.data(), oneCount) != 0) {
            return false;
        }
        if (oneCount < kCompareBlock) {
            return !sourceFailed(one->source) && !sourceFailed(other->source);
        }
    }
}
