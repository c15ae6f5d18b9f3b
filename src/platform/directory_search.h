// Enumeration of the directory entries that match a wildcard pattern. This is
// the only code that talks to the operating system's directory interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Entry attributes, with the values the Windows directory search reports.
enum EntryAttribute : std::uint32_t {
    kReadOnlyAttribute = 0x01,
    kHiddenAttribute = 0x02,
    kSystemAttribute = 0x04,
    kDirectoryAttribute = 0x10,
    kArchiveAttribute = 0x20,
};

struct DirectoryEntry {
    std::string name;  // bare name, without the directory part
    std::uint32_t attributes = 0;
};

// The state of one search. The pattern's part up to its last path separator
// names the directory searched (the current directory when there is none);
// the rest is matched against entry names with matchesWildcard. Separators
// are '/' everywhere and, on Windows, also the backslash.
struct DirectorySearch {
    int errorNumber = 0;  // errno when the directory could not be listed, else 0
#ifdef _WIN32
    void* handle = nullptr;  // the open system search, null when none is open
    std::string namePattern;
#else
    std::vector<DirectoryEntry> entries;  // matching entries, sorted by name
    std::size_t next = 0;
#endif
};

// Starts a search and yields its first matching entry. Returns false when
// nothing matches or the directory cannot be listed; search.errorNumber then
// tells which (0 when nothing matched).
bool findFirstEntry(std::string_view pattern, DirectorySearch& search, DirectoryEntry& entry);

// Yields the next matching entry; false when there are no more (or, with
// search.errorNumber set, when the listing failed partway).
bool findNextEntry(DirectorySearch& search, DirectoryEntry& entry);

// Ends a search and releases what it holds.
void closeSearch(DirectorySearch& search);

// Splits a pattern into the directory to search and the name pattern.
void splitPattern(std::string_view pattern, std::string& directory, std::string_view& namePattern);

// The pattern's part up to and including its last path separator, empty when
// it has none. An entry's name put after it gives the entry's path.
std::string_view directoryPrefix(std::string_view pattern);

// True when path names an existing directory (a symbolic link to one
// included). A trailing separator is allowed.
bool namesDirectory(const std::string& path);
