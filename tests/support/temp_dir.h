// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Makes the process's current directory `path` for one scope.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::string &path);
    ~ScopedCurrentDir();

private:
    std::string m_previous;
};

void writeFile(const std::string &path, const Bytes &bytes);
void writeFile(const std::string &path, const std::string &text);
Bytes readFile(const std::string &path);
std::string readText(const std::string &path);
bool exists(const std::string &path);
// Bytes 0, 1, 2, ... of a recognisable pattern.
Bytes patternBytes(std::size_t n, unsigned seed = 7);
// The number of open file descriptors of this process.
int openDescriptorCount();
// Sorted names in a folder.
std::vector<std::string> listDir(const std::string &path);

} // namespace testsupport
