// The reading program's command line carries any image path without a double quote, and any user
// name and password, whole: built from a template and split again, they arrive as the arguments
// they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/reader_command_line.h"
#include "platform/process.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    quillrun::platform::SplitCommandLine(input);  // any text at all must split

    const std::size_t cut = input.find('\0');
    if (cut == std::string_view::npos) {
        return 0;
    }
    // The user name and password may hold anything, quotes included.
    const std::string user(input.substr(cut + 1));
    const std::string password(input.substr(0, cut));
    if (!user.empty() && !password.empty()) {
        const auto withUser = quillrun::platform::SplitCommandLine(quillrun::BuildReaderCommandLine(
            {"\"/opt/reader\"", user, password, "-x", "/in/a.tif", "/out/a.orx", "/out/a.dat"}));
        if (withUser.size() != 5 || withUser[1] != "-user:" + user ||
            withUser[2] != "-pwd:" + password) {
            std::abort();
        }
    }
    const std::string image(input.substr(0, cut));
    const std::string extra(input.substr(cut + 1));
    if (!quillrun::CanBeQuoted(image) || !quillrun::CanBeQuoted(extra)) {
        return 0;
    }
    const std::string document = "/out/" + extra + ".orx";
    const std::string line = quillrun::BuildReaderCommandLine(
        {"\"/opt/reader\"", "", "", "-in:^S -out:^D -x", image, document, "/out/x.dat"});
    const auto arguments = quillrun::platform::SplitCommandLine(line);
    if (arguments.size() != 5 || arguments[0] != "/opt/reader" || arguments[1] != "-in:" + image ||
        arguments[2] != "-out:" + document || arguments[3] != "-x" ||
        arguments[4] != "-stat:/out/x.dat") {
        std::abort();
    }
    return 0;
}
