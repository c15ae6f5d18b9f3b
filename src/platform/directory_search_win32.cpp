// Directory search over FindFirstFileA/FindNextFileA/FindClose. The system
// lists the whole directory ("<dir>\*") and reports each entry's real
// attributes; names are matched here with matchesWildcard, so that both
// platforms take the same names. Entries come in the order the system lists
// them, and no attribute is derived: a file marked only as normal carries
// none of read-only, directory and archive, and so is not taken.
#include <windows.h>

#include <cerrno>

#include "platform/directory_search.h"
#include "platform/wildcard.h"

namespace {

bool isSeparator(char character) {
    return character == '\\' || character == '/';
}

bool hasDrivePrefix(std::string_view pattern) {
    return pattern.size() >= 2 && pattern[1] == ':' &&
           ((pattern[0] >= 'A' && pattern[0] <= 'Z') || (pattern[0] >= 'a' && pattern[0] <= 'z'));
}

// The pattern that lists every entry of the directory.
std::string listingPattern(const std::string& directory) {
    std::string listing = directory;
    if (!isSeparator(listing.back()) && listing.back() != ':') {
        listing += '\\';
    }
    listing += '*';
    return listing;
}

// The errno value closest to why the system could not list a directory.
int errorNumberOf(DWORD systemError) {
    switch (systemError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return ENOENT;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_ACCESS_DENIED:
            return EACCES;
        default:
            return EIO;
    }
}

// A listing ends with ERROR_NO_MORE_FILES; anything else cut it short.
void noteListingEnd(DirectorySearch& search, DWORD reason) {
    search.errorNumber = reason == ERROR_NO_MORE_FILES ? 0 : errorNumberOf(reason);
}

// Yields the first entry, from the one in data onwards, whose name matches.
bool yieldMatching(DirectorySearch& search, WIN32_FIND_DATAA& data, DirectoryEntry& entry) {
    do {
        if (matchesWildcard(search.namePattern, data.cFileName)) {
            entry.name = data.cFileName;
            entry.attributes = data.dwFileAttributes;
            return true;
        }
    } while (FindNextFileA(search.handle, &data));
    noteListingEnd(search, GetLastError());
    return false;
}

}  // namespace

// "dir\S_W*" and "dir/S_W*" search dir; a root keeps its separator ("\S_W*"
// searches "\", "C:\S_W*" searches "C:\"), and "C:S_W*" searches the current
// directory of drive C.
void splitPattern(std::string_view pattern, std::string& directory, std::string_view& namePattern) {
    std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos) {
        std::size_t nameStart = hasDrivePrefix(pattern) ? 2 : 0;
        directory = nameStart == 0 ? std::string(".") : std::string(pattern.substr(0, nameStart));
        namePattern = pattern.substr(nameStart);
        return;
    }
    std::string_view head = pattern.substr(0, separator);
    bool isRoot = head.empty() || (head.size() == 2 && hasDrivePrefix(head));
    directory.assign(isRoot ? pattern.substr(0, separator + 1) : head);
    namePattern = pattern.substr(separator + 1);
}

std::string_view directoryPrefix(std::string_view pattern) {
    std::size_t separator = pattern.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string_view()
                                               : pattern.substr(0, separator + 1);
}

bool findFirstEntry(std::string_view pattern, DirectorySearch& search, DirectoryEntry& entry) {
    closeSearch(search);
    search.errorNumber = 0;
    std::string directory;
    std::string_view namePattern;
    splitPattern(pattern, directory, namePattern);
    search.namePattern.assign(namePattern);
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(listingPattern(directory).c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) {
        // An existing directory lists at least "." and "..", except a drive's
        // root, which may hold nothing at all.
        DWORD reason = GetLastError();
        search.errorNumber = reason == ERROR_FILE_NOT_FOUND ? 0 : errorNumberOf(reason);
        return false;
    }
    search.handle = handle;
    return yieldMatching(search, data, entry);
}

bool findNextEntry(DirectorySearch& search, DirectoryEntry& entry) {
    WIN32_FIND_DATAA data;
    if (search.handle == nullptr) {
        return false;
    }
    if (!FindNextFileA(search.handle, &data)) {
        noteListingEnd(search, GetLastError());
        return false;
    }
    return yieldMatching(search, data, entry);
}

void closeSearch(DirectorySearch& search) {
    if (search.handle != nullptr) {
        FindClose(search.handle);
        search.handle = nullptr;
    }
    search.namePattern.clear();
}

bool namesDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
