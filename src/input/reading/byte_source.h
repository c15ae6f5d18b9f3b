// Where the piece reader's bytes come from: an open file read as it is, or,
// when the caller allows it and the file begins with the gzip magic bytes
// 0x1F 0x8B, the file's decompressed content. Decompression is streamed
// through fixed buffers, so memory stays bounded whatever the file's size.
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

#include "input/reading/content_digest.h"

struct GzipStream;  // the decompressor's state, private to byte_source.cpp

struct GzipStreamDeleter {
    void operator()(GzipStream* stream) const;
};

// Why a source stopped before its end.
struct SourceFailure {
    int errorNumber = 0;   // errno of a failed read
    bool damaged = false;  // damaged or truncated compressed data
};

struct ByteSource {
    std::FILE* file = nullptr;
    bool detectCompressed = false;  // look for the gzip magic bytes
    bool started = false;           // the first read has been made
    bool compressed = false;        // the file is being decompressed
    bool fileEnded = false;         // a read met the end of the file
    // Kept from file to file once made: the decompressor and its buffer are
    // large enough that making them anew per report would show.
    std::unique_ptr<GzipStream, GzipStreamDeleter> gzip;
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
void startSource(ByteSource& source, std::FILE* file, bool detectCompressed);

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
