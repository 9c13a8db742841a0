// Any file found where a hive should be: parsing must never crash, and whatever parses must come
// back the same after it is written out and read again, so no value is lost or changed by a save.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hive/registry_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto document = quillrun::hive::ParseRegistryText(text);
    if (!document) {
        return 0;
    }
    const std::string written = quillrun::hive::FormatRegistryText(*document);
    const auto reread = quillrun::hive::ParseRegistryText(written);
    if (!reread || quillrun::hive::FormatRegistryText(*reread) != written) {
        std::abort();
    }
    return 0;
}
