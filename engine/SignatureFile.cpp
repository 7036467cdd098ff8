#include <string>
#include <utility>

#include "ListFile.h"
#include "Paths.h"
#include "SignatureLines.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

struct SignatureFileChoice {
    std::string path;
    bool chosen = false;
    folder::File opened;  // the file a front end opened ahead of the scans, when it did
};

SignatureFileChoice& choice()
{
    static SignatureFileChoice instance;
    return instance;
}

}  // namespace

void SetSignatureFile(std::string path)
{
    choice().path = std::move(path);
    choice().chosen = true;
    choice().opened = folder::File();
}

std::string OpenSignatureFile(const std::string& path)
{
    SetSignatureFile(path);
    std::string why;
    choice().opened = openListFile(path, why);
    return why;
}

const std::string& SignatureFile()
{
    SignatureFileChoice& c = choice();
    if (!c.chosen) {
        c.path = ProgramFolder() + kPathSeparator + "ombrix.ini";
        c.chosen = true;
    }
    return c.path;
}

void LoadSignatures()
{
    const SignatureFileChoice& c = choice();
    std::string why;
    const folder::File own = c.opened.valid() ? folder::File() : openListFile(SignatureFile(), why);
    const folder::File& file = c.opened.valid() ? c.opened : own;
    ClearSignatures(file.valid() ? listFileSize(file) : 0);
    if (file.valid())
        readListLines(file);
}

}  // namespace ombrix::mFileSearch
