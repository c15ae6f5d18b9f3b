// Directory search over opendir/readdir. POSIX entries carry no attributes,
// so they are derived: a regular file is an archive, a directory a directory,
// a name beginning with '.' is hidden, and anything else (FIFO, socket,
// device, dangling symlink, an entry that cannot be examined) counts as a
// system entry, which is never read: opening a FIFO would hang the run.
// Symlinks are followed. Entries are sorted by name in byte order, so every
// run over the same files prints the same output.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/directory_search.h"
#include "platform/wildcard.h"

namespace {

std::uint32_t attributesOfStatus(const std::string& directory, const std::string& name) {
    struct stat status {};
    std::string path = directory + "/" + name;
    if (stat(path.c_str(), &status) != 0) {
        return kSystemAttribute;
    }
    if (S_ISREG(status.st_mode)) {
        return kArchiveAttribute;
    }
    return S_ISDIR(status.st_mode) ? kDirectoryAttribute : kSystemAttribute;
}

// Most entries are regular files, and the listing says so: only a symlink
// (which is followed) or an entry of unknown type costs a stat.
std::uint32_t deriveAttributes(const std::string& directory, const dirent& found) {
    const std::string name = found.d_name;
    std::uint32_t attributes = 0;
#if defined(DT_UNKNOWN)
    switch (found.d_type) {
        case DT_REG:
            attributes = kArchiveAttribute;
            break;
        case DT_DIR:
            attributes = kDirectoryAttribute;
            break;
        case DT_LNK:
        case DT_UNKNOWN:
            attributes = attributesOfStatus(directory, name);
            break;
        default:
            attributes = kSystemAttribute;  // FIFO, socket or device
    }
#else
    attributes = attributesOfStatus(directory, name);
#endif
    if (!name.empty() && name[0] == '.') {
        attributes |= kHiddenAttribute;
    }
    return attributes;
}

// The matching entries, or none with errorNumber set when the directory
// cannot be listed whole.
std::vector<DirectoryEntry> listMatchingEntries(const std::string& directory,
                                                std::string_view namePattern, int& errorNumber) {
    std::vector<DirectoryEntry> entries;
    DIR* stream = opendir(directory.c_str());
    if (stream == nullptr) {
        errorNumber = errno;
        return entries;
    }
    for (;;) {
        errno = 0;
        const dirent* found = readdir(stream);
        if (found == nullptr) {
            errorNumber = errno;  // 0 at the end of the listing
            break;
        }
        if (matchesWildcard(namePattern, found->d_name)) {
            entries.push_back({found->d_name, deriveAttributes(directory, *found)});
        }
    }
    closedir(stream);
    if (errorNumber != 0) {
        entries.clear();
        return entries;
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace

void splitPattern(std::string_view pattern, std::string& directory, std::string_view& namePattern) {
    std::size_t slash = pattern.find_last_of('/');
    if (slash == std::string_view::npos) {
        directory = ".";
        namePattern = pattern;
        return;
    }
    directory.assign(pattern.substr(0, slash == 0 ? 1 : slash));
    namePattern = pattern.substr(slash + 1);
}

std::string_view directoryPrefix(std::string_view pattern) {
    std::size_t slash = pattern.find_last_of('/');
    return slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
}

bool findFirstEntry(std::string_view pattern, DirectorySearch& search, DirectoryEntry& entry) {
    std::string directory;
    std::string_view namePattern;
    splitPattern(pattern, directory, namePattern);
    search.errorNumber = 0;
    search.entries = listMatchingEntries(directory, namePattern, search.errorNumber);
    search.next = 0;
    return findNextEntry(search, entry);
}

bool findNextEntry(DirectorySearch& search, DirectoryEntry& entry) {
    if (search.next >= search.entries.size()) {
        return false;
    }
    entry = search.entries[search.next++];
    return true;
}

void closeSearch(DirectorySearch& search) {
    search.entries.clear();
    search.next = 0;
}

bool namesDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
