// A movie named by the user, as a path the plug-in can read: the file itself when it is
// uncompressed with a right length field, else a temporary copy, inflated and with the
// real length in its header, that lives as long as this object.
#pragma once

#include "tools/swfhost/MovieInflater.h"

#include <string>

class MovieSource {
public:
    // Throws HostError for a missing file or a damaged compressed movie.  `notify`
    // says on stderr, once each, that a compressed movie was inflated and that a length
    // field was corrected.  A temporary copy is named after `host`.
    MovieSource(const std::string& path, bool notify, const std::string& host = "swfframes");
    MovieSource(const MovieSource&) = delete;
    MovieSource& operator=(const MovieSource&) = delete;
    ~MovieSource();

    const std::string& UserPath() const { return userPath_; }
    const std::string& PluginPath() const { return pluginPath_; }
    bool WasCompressed() const { return compressed_; }
    // The header's length and the real one; they differ when the copy corrects it.
    const MovieLength& Length() const { return length_; }

private:
    void MakeCopy(const std::string& path, const std::string& host);

    std::string userPath_;
    std::string pluginPath_;
    std::string temporary_;
    bool compressed_ = false;
    MovieLength length_;
};
