#include "fsutil/FileText.h"

namespace vantik {

bool ReadToEnd(std::FILE* stream, std::string& text) {
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, count);
    return std::ferror(stream) == 0;
}

}  // namespace vantik
