#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using Soak = EngineTest;

// Every file below root with its content, so two snapshots show any change at all.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        files[entry.path().string()] =
            entry.is_regular_file() ? ReadFile(entry.path().string()) : std::string("<folder>");
    }
    return files;
}

std::size_t Count(const std::vector<std::string>& messages, const std::string& part) {
    std::size_t count = 0;
    for (const std::string& message : messages) {
        count += message.find(part) != std::string::npos;
    }
    return count;
}

TEST_F(Soak, EveryImageEndsWithExactlyOneOutcomeAndTheSourceIsUntouched) {
    constexpr int kFolders = 50;
    constexpr int kImagesPerFolder = 40;
    std::vector<std::string> images;
    for (int folder = 0; folder < kFolders; ++folder) {
        for (int image = 0; image < kImagesPerFolder; ++image) {
            const std::string name = "box" + std::to_string(folder) + "/scan" +
                                     std::to_string(image) + (image % 3 == 0 ? ".pdf" : ".tif");
            tree.writeFile("in/" + name, "pixels of " + name);
            images.push_back(name.substr(0, name.size() - 4));
        }
    }
    const auto before = Snapshot(source);
    useTemplate("--random-outcome=42");
    std::size_t jobs = 0;
    while (convertNext()) {
        ASSERT_LE(++jobs, images.size());
    }

    std::size_t documents = 0;
    for (const std::string& image : images) {
        const bool document = Exists(destination + "/" + image + ".orx");
        const bool marker = Exists(destination + "/" + image + ".bad");
        EXPECT_NE(document, marker) << image;
        if (document) {
            ++documents;
            EXPECT_FALSE(Exists(destination + "/" + image + ".dat")) << image;
        }
    }
    EXPECT_EQ(Snapshot(source), before);
    const std::vector<std::string>& messages = observer.messages;
    EXPECT_EQ(Count(messages, " has been created."), documents);
    EXPECT_EQ(Count(messages, "Warning! - no ORX file was created for "),
              images.size() - documents);
    EXPECT_GT(documents, images.size() / 4);
    EXPECT_LT(documents, images.size());
}

}  // namespace
}  // namespace quillrun::test
