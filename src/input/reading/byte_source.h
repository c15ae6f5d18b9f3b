// Where the piece reader's bytes come from: an open file read as it is, or,
// when the caller allows it and the file begins with the gzip magic bytes
// 0x1F 0x8B, the file's decompressed content. Either content, when the
// caller allows it and it begins as UTF-16 text does (see utf16_text.h), is
// handed out converted to UTF-8, without its byte-order mark. Decompression
// and conversion are streamed through fixed buffers, so memory stays bounded
// whatever the file's size.
//
// A failure (a read error, or damaged compressed data) is not reported at
// once: the bytes obtained before it are handed out first, and the failure
// shows only when the reader asks for more. So a reader that stops early (at
// a Ctrl-Z) never sees damage that lies after where it stopped.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "input/reading/content_digest.h"
#include "input/reading/utf16_text.h"

struct GzipStream;  // the decompressor's state, private to byte_source.cpp

struct GzipStreamDeleter {
    void operator()(GzipStream* stream) const;
};

// Why a source stopped before its end.
struct SourceFailure {
    int errorNumber = 0;   // errno of a failed read
    bool damaged = false;  // damaged or truncated compressed data
};

// What a source looks for at the start of a file, and turns into text when
// it finds it.
struct SourceDecoding {
    bool gzip = false;   // the gzip magic bytes: the file is decompressed
    bool utf16 = false;  // UTF-16 text: the content is converted to UTF-8
};

constexpr SourceDecoding kReadAsItIs{};
constexpr SourceDecoding kReportDecoding{true, true};  // a report: both
constexpr SourceDecoding kTextDecoding{false, true};   // the rate file: UTF-16 only

struct ByteSource {
    std::FILE* file = nullptr;
    SourceDecoding decoding;
    bool started = false;     // the first read has been made
    bool compressed = false;  // the file is being decompressed
    bool fileEnded = false;   // a read met the end of the file
    bool converting = false;  // the content is UTF-16, converted as it is read
    // Kept from file to file once made: the decompressor and its buffer are
    // large enough that making them anew per report would show.
    std::unique_ptr<GzipStream, GzipStreamDeleter> gzip;
    // While converting: the UTF-16 bytes of one read, and the UTF-8 made of
    // them that is still to be handed out. Kept from file to file once made.
    Utf16Converter converter;
    bool contentEnded = false;  // the UTF-16 content has ended and been finished
    std::vector<unsigned char> utf16Bytes;
    std::vector<char> converted;
    std::size_t convertedAt = 0;
    std::size_t convertedEnd = 0;
    SourceFailure pending;  // met, but bytes before it are still to be handed out
    SourceFailure failure;  // reported: the source yields nothing more
    // Bytes already taken from the content and given back (see giveBack):
    // handed out again before anything else.
    std::string givenBack;
    std::size_t givenBackAt = 0;
    // Of every byte handed out for the first time (not of those given back).
    ContentDigest digest;
};

// Starts reading an open file from its current position.
void startSource(ByteSource& source, std::FILE* file, SourceDecoding decoding);

// Copies up to room bytes of the content into `into` and returns how many.
// Returns 0 at the end, after which `failure` tells whether the content was
// cut short.
std::size_t readBytes(ByteSource& source, char* into, std::size_t room);

// Makes bytes taken from the content the next ones handed out, before the
// rest of the content (and before a failure met while taking them).
void giveBack(ByteSource& source, std::string bytes);

// True when the source ended on a failure rather than at its end.
bool sourceFailed(const ByteSource& source);

// The failure as a text for a message: strerror of the read error, or
// "damaged compressed data".
const char* describeFailure(const ByteSource& source);
