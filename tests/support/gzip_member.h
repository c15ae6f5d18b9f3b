// One gzip member holding given bytes, made with zlib's compressor, for the
// tests and harnesses that read compressed reports.
#pragma once

#include <zlib.h>

#include <string>

inline std::string gzipMember(const std::string& bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return {};
    }
    std::string packed(deflateBound(&stream, bytes.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    int status = deflate(&stream, Z_FINISH);
    packed.resize(status == Z_STREAM_END ? stream.total_out : 0);
    deflateEnd(&stream);
    return packed;
}
