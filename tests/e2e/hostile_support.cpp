#include "e2e/hostile_support.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string summaryRow(const std::string& name, std::size_t nameWidth, long long records,
                       long long sales, long long updates) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "    %6lld  %6lld  %6lld", records, sales, updates);
    return name + std::string(nameWidth > name.size() ? nameWidth - name.size() : 0, ' ') + numbers;
}

std::vector<std::string> summaryRows(const std::string& out) {
    std::vector<std::string> lines = linesOf(out);
    std::vector<std::string> rows;
    if (lines.size() < 2 || lines[0].rfind("Apps count: ", 0) != 0 || !lines[1].empty()) {
        ADD_FAILURE() << "no application count in:\n" << out.substr(0, 300);
        return rows;
    }
    int count = std::atoi(lines[0].c_str() + 12);
    if (count == 0) {
        EXPECT_EQ(lines.size(), 2u);
        return rows;
    }
    if (lines.size() < 5u + count || lines[2].rfind("AppName", 0) != 0 ||
        lines[3].find_first_not_of('-') != std::string::npos || !lines[4 + count].empty()) {
        ADD_FAILURE() << "summary table does not hold " << count << " rows";
        return rows;
    }
    rows.assign(lines.begin() + 4, lines.begin() + 4 + count);
    return rows;
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(generator));
    }
    return bytes;
}

void makeSocket(const std::string& path) {
    int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socketFd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(socketFd);  // the socket file stays in the directory
}
