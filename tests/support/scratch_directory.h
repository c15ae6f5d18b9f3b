// A fresh directory for one test, removed with everything in it at the end:
// the unit tests write the files they read into it, the end-to-end tests run
// the program in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

struct ScratchDirectory {
    std::string path;

    ScratchDirectory() {
        path = (std::filesystem::temp_directory_path() / "salesum-test-XXXXXX").string();
        if (mkdtemp(path.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Writes a file, named relative to the directory, with exactly these
    // bytes, making its parent directories; returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = std::filesystem::path(path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + name);
        }
        return file.string();
    }
    // Lets every user enter and list the directory, which mkdtemp makes its
    // owner's alone.
    void openToEveryone() const { openToEveryone(path); }
    // Mode 0755: every user may read, and enter or run, what the path names.
    static void openToEveryone(const std::filesystem::path& entry) {
        using std::filesystem::perms;
        std::filesystem::permissions(entry, perms::owner_all | perms::group_read |
                                                perms::group_exec | perms::others_read |
                                                perms::others_exec);
    }
    void makeDirectory(const std::string& name) const {
        std::filesystem::create_directories(std::filesystem::path(path) / name);
    }
};
