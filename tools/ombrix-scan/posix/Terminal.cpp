#include "Terminal.h"

#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>

#include "FolderAccess.h"

namespace ombrix::terminal {

void prepare()
{
    std::setlocale(LC_CTYPE, "");
    std::signal(SIGPIPE, SIG_IGN);
}

bool isTerminal(std::FILE* stream)
{
    return isatty(fileno(stream));
}

bool takesUtf8()
{
    return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

std::string folderProblem(const std::string& folder)
{
    if (folder::openNamedFolder(folder).valid())
        return {};
    return std::strerror(errno);
}

}  // namespace ombrix::terminal
