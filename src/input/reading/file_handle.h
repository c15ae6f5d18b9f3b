// An open standard C file that closes itself.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for reading in binary mode: the piece reader handles CR-LF
// and Ctrl-Z itself, so every platform reads a file the same way.
inline FileHandle openForReading(const char* path) {
    return FileHandle(std::fopen(path, "rb"));
}
