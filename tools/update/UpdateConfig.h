#pragma once

#include <string>
#include <vector>

namespace ombrix::update {

// The administrator's update.conf:
//
//   # a line starting with "#" is a comment; blank lines are passed over
//   url = https://lists.example.org/ombrix.ini.release
//   allow-http = mirror.lan        (one host per line; plain http to it is allowed)
//
// Blanks around names and values are trimmed. A missing file is a file without
// settings; an unknown name is an error, so a misspelt setting is never ignored.
struct UpdateConfig {
    std::string url;
    std::vector<std::string> httpHosts;
};

// Reads `path` into `config`; empty on success, else why not.
std::string ReadUpdateConfig(const std::string& path, UpdateConfig& config);

}  // namespace ombrix::update
