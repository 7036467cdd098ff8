#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What a platform's loader of the signature file needs of the list.
namespace ombrix::mFileSearch {

// Empties the list before a load, sized for a file of about `expectedBytes`.
void ClearSignatures(std::size_t expectedBytes);

// Splits the file into lines as it is read and stores each: a CR ends a line and
// swallows one LF right behind it; a lone LF is part of the line. Only the line
// being read is held, so a long list costs no copy of itself.
class SignatureLines {
public:
    // The file's next bytes, in order.
    void feed(std::string_view bytes);
    // The end of the file, or of what could be read: a last line without a line end counts.
    void finish();

private:
    std::string partial_;
    bool afterCr_ = false;
};

}  // namespace ombrix::mFileSearch
