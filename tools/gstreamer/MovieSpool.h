// The movie the element receives: the file upstream reads, when upstream names a local
// file, else a temporary copy of the stream, written as the bytes arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

class MovieSpool {
public:
    MovieSpool() = default;
    MovieSpool(const MovieSpool&) = delete;
    MovieSpool& operator=(const MovieSpool&) = delete;
    ~MovieSpool() { Reset(); }

    // Nothing received yet.
    bool Empty() const { return path_.empty(); }
    // Reads the movie from the file upstream reads.
    void UseFile(const std::string& path);
    // Appends received bytes to the temporary copy, made at the first call.  Throws
    // HostError when it cannot be written or grows beyond what a movie can hold.
    void Append(const uint8_t* data, size_t size);
    // The whole movie has arrived; the path stays valid until Reset.
    void Finish();
    const std::string& Path() const { return path_; }

    // Forgets the movie and removes the temporary copy.
    void Reset();

private:
    std::string path_;
    bool temporary_ = false;
    std::ofstream out_;
    uint64_t size_ = 0;
};
