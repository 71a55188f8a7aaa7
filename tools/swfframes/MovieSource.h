// A movie named by the user, as a path the plug-in can read: the file itself when it is
// uncompressed, else an inflated temporary copy that lives as long as this object.
#pragma once

#include <string>

class MovieSource {
public:
    // Throws HostError for a missing file or a damaged compressed movie.  `notify`
    // says on stderr, once, that a compressed movie was inflated.
    MovieSource(const std::string& path, bool notify);
    MovieSource(const MovieSource&) = delete;
    MovieSource& operator=(const MovieSource&) = delete;
    ~MovieSource();

    const std::string& UserPath() const { return userPath_; }
    const std::string& PluginPath() const { return pluginPath_; }
    bool WasCompressed() const { return !temporary_.empty(); }

private:
    std::string userPath_;
    std::string pluginPath_;
    std::string temporary_;
};
