#include "input/reading/byte_source.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kInputSize = 1 << 16;  // compressed bytes read at a time
constexpr unsigned char kGzipMagic[2] = {0x1F, 0x8B};

bool startsWithMagic(const unsigned char* bytes, std::size_t count) {
    return count >= 2 && bytes[0] == kGzipMagic[0] && bytes[1] == kGzipMagic[1];
}

bool hasFailure(const SourceFailure& failure) {
    return failure.errorNumber != 0 || failure.damaged;
}

}  // namespace

struct GzipStream {
    z_stream stream{};
    bool inMember = false;    // inside a member, between its header and trailer
    bool finished = false;    // no further member: what follows is ignored
    bool inputEnded = false;  // the file has no more bytes
    unsigned char input[kInputSize];
};

void GzipStreamDeleter::operator()(GzipStream* gzip) const {
    inflateEnd(&gzip->stream);
    delete gzip;
}

namespace {

// Reads the file as it is. A failed read is kept pending behind the bytes
// that came before it.
// Once a read has met the end, the file is not asked again: for a small
// report that saves a system call.
std::size_t readFile(ByteSource& source, void* into, std::size_t room) {
    if (source.fileEnded) {
        return 0;
    }
    errno = 0;
    std::size_t got = std::fread(into, 1, room, source.file);
    if (got < room && std::ferror(source.file) && !hasFailure(source.pending)) {
        source.pending.errorNumber = errno != 0 ? errno : EIO;
    }
    source.fileEnded = got < room && std::feof(source.file) != 0;
    return got;
}

// Moves the unread compressed bytes to the front and reads more after them.
void refillInput(ByteSource& source, GzipStream& gzip) {
    std::size_t kept = gzip.stream.avail_in;
    if (kept > 0) {
        std::memmove(gzip.input, gzip.stream.next_in, kept);
    }
    std::size_t got = 0;
    if (!gzip.inputEnded) {
        got = readFile(source, gzip.input + kept, kInputSize - kept);
        gzip.inputEnded = got == 0;
    }
    gzip.stream.next_in = gzip.input;
    gzip.stream.avail_in = static_cast<uInt>(kept + got);
}

// Switches the source to decompression, with the first bytes of the file
// already read into `first`.
bool startDecompressing(ByteSource& source, const char* first, std::size_t count) {
    if (!source.gzip) {
        auto* gzip = new GzipStream;
        // 16 + 15: gzip members only, with the largest window.
        if (inflateInit2(&gzip->stream, 16 + MAX_WBITS) != Z_OK) {
            delete gzip;
            source.pending.errorNumber = ENOMEM;
            return false;
        }
        source.gzip.reset(gzip);
    }
    GzipStream& gzip = *source.gzip;
    std::memcpy(gzip.input, first, count);
    gzip.stream.next_in = gzip.input;
    gzip.stream.avail_in = static_cast<uInt>(count);
    gzip.inMember = false;
    gzip.finished = false;
    gzip.inputEnded = false;
    source.compressed = true;
    return true;
}

// Decompresses into `into` until it is full or the content ends. Members
// follow one another as long as the next bytes begin with the magic; any
// other trailing bytes are ignored. Damage or a cut member ends the
// content, with the damage pending.
//
// Not zlib's own reader (gzread on a gzdopen'ed duplicate of the
// descriptor): it reads the members and skips trailing bytes alike, at no
// more CPU (0.98 to 0.99 of this loop's on a 16 MB compressed report), but
// when it meets damage, gzread returns -1 and drops whatever that call had
// decompressed, up to a whole read block. A trailer whose checksum or length
// is wrong, or a damaged member after a whole one, would then lose the lines
// before the damage, and their records would no longer be counted. Here
// every byte inflate gives before the damage is handed out.
std::size_t inflateInto(ByteSource& source, char* into, std::size_t room) {
    GzipStream& gzip = *source.gzip;
    z_stream& stream = gzip.stream;
    stream.next_out = reinterpret_cast<Bytef*>(into);
    stream.avail_out = static_cast<uInt>(room);
    while (stream.avail_out > 0 && !gzip.finished) {
        if (!gzip.inMember) {
            if (stream.avail_in < 2) {
                refillInput(source, gzip);
            }
            if (!startsWithMagic(stream.next_in, stream.avail_in)) {
                gzip.finished = true;
                break;
            }
            inflateReset(&stream);
            gzip.inMember = true;
        }
        if (stream.avail_in == 0) {
            refillInput(source, gzip);
            if (stream.avail_in == 0) {
                // The file ended inside a member: truncated, unless a read
                // error is what ended it.
                source.pending.damaged = !hasFailure(source.pending);
                gzip.finished = true;
                break;
            }
        }
        uInt inputBefore = stream.avail_in;
        uInt outputBefore = stream.avail_out;
        int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            gzip.inMember = false;
            continue;
        }
        bool stalled = stream.avail_in == inputBefore && stream.avail_out == outputBefore &&
                       stream.avail_in > 0;
        if ((status != Z_OK && status != Z_BUF_ERROR) || stalled) {
            source.pending.damaged = !hasFailure(source.pending);
            gzip.finished = true;
        }
    }
    return room - stream.avail_out;
}

// The next bytes of the file's content as it is or decompressed, before
// any conversion.
std::size_t readContent(ByteSource& source, char* into, std::size_t room) {
    if (source.compressed) {
        return inflateInto(source, into, room);
    }
    if (hasFailure(source.pending)) {
        return 0;  // the bytes before the failed read have been handed out
    }
    if (source.started) {
        return readFile(source, into, room);
    }
    source.started = true;
    // At most one input buffer, so that a compressed start fits in it.
    std::size_t got = readFile(source, into, room < kInputSize ? room : kInputSize);
    if (source.decoding.gzip &&
        startsWithMagic(reinterpret_cast<const unsigned char*>(into), got)) {
        got = startDecompressing(source, into, got) ? inflateInto(source, into, room) : 0;
    }
    return got;
}

// Hands out UTF-8 already converted; converts the next read's UTF-16 bytes
// when none is left.
std::size_t readConverted(ByteSource& source, char* into, std::size_t room) {
    while (source.convertedAt == source.convertedEnd) {
        if (source.contentEnded) {
            return 0;
        }
        std::size_t got = readContent(source, reinterpret_cast<char*>(source.utf16Bytes.data()),
                                      source.utf16Bytes.size());
        source.convertedAt = 0;
        if (got == 0) {
            source.contentEnded = true;
            source.convertedEnd = finishUtf16(source.converter, source.converted.data());
        } else {
            source.convertedEnd = convertUtf16(source.converter, source.utf16Bytes.data(), got,
                                               source.converted.data());
        }
    }
    std::size_t count = std::min(room, source.convertedEnd - source.convertedAt);
    std::memcpy(into, source.converted.data() + source.convertedAt, count);
    source.convertedAt += count;
    return count;
}

// Switches the source to conversion, with the content's first bytes, read
// into `first`, converted. Returns what is handed out of them.
std::size_t startConverting(ByteSource& source, const Utf16Start& start, char* first,
                            std::size_t count, std::size_t room) {
    source.converting = true;
    source.converter = Utf16Converter{};
    source.converter.bigEndian = start.bigEndian;
    source.utf16Bytes.resize(kInputSize);
    // The first read may have been larger than the later ones.
    std::size_t needed = utf8Room(std::max(count, kInputSize));
    if (source.converted.size() < needed) {
        source.converted.resize(needed);
    }
    source.convertedAt = 0;
    source.convertedEnd = convertUtf16(
        source.converter, reinterpret_cast<const unsigned char*>(first) + start.markLength,
        count - start.markLength, source.converted.data());
    return readConverted(source, first, room);
}

}  // namespace

void startSource(ByteSource& source, std::FILE* file, SourceDecoding decoding) {
    source.file = file;
    source.decoding = decoding;
    source.started = false;
    source.compressed = false;
    source.fileEnded = false;
    source.converting = false;
    source.contentEnded = false;
    source.convertedAt = 0;
    source.convertedEnd = 0;
    source.pending = {};
    source.failure = {};
    source.givenBack.clear();
    source.givenBackAt = 0;
    source.digest = ContentDigest{};
}

void giveBack(ByteSource& source, std::string bytes) {
    source.givenBack = std::move(bytes);
    source.givenBackAt = 0;
}

std::size_t readBytes(ByteSource& source, char* into, std::size_t room) {
    if (source.givenBackAt < source.givenBack.size()) {
        std::size_t count = std::min(room, source.givenBack.size() - source.givenBackAt);
        std::memcpy(into, source.givenBack.data() + source.givenBackAt, count);
        source.givenBackAt += count;
        return count;
    }
    if (source.file == nullptr || hasFailure(source.failure) || room == 0) {
        return 0;
    }
    std::size_t got = 0;
    if (source.converting) {
        got = readConverted(source, into, room);
    } else {
        // The check for UTF-16 is made once, on the content's first bytes.
        bool first = !source.started && !source.compressed;
        got = readContent(source, into, room);
        if (first && source.decoding.utf16) {
            Utf16Start start = detectUtf16(reinterpret_cast<const unsigned char*>(into), got);
            if (start.isUtf16) {
                got = startConverting(source, start, into, got, room);
            }
        }
    }
    if (got == 0) {
        source.failure = source.pending;
    }
    addContent(source.digest, into, got);
    return got;
}

bool sourceFailed(const ByteSource& source) {
    return hasFailure(source.failure);
}

const char* describeFailure(const ByteSource& source) {
    if (source.failure.errorNumber != 0) {
        return std::strerror(source.failure.errorNumber);
    }
    return source.failure.damaged ? "damaged compressed data" : "no failure";
}
