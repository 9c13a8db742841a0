#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "engine/engine_fixture.h"
#include "platform/file_system.h"

namespace quillrun::test {
namespace {

namespace fs = std::filesystem;

// The folders or the files below root (links not followed), in name order, so that the sequence
// of changes does not depend on the order in which the file system lists entries.
std::vector<std::string> Below(const std::string& root, bool folders) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; it != end; it.increment(error)) {
        if (!it->is_symlink() && it->is_directory() == folders) {
            found.push_back(Utf8Path(it->path()));
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The remembered search against the plain one, over a long random sequence of changes to both
// hierarchies, on a clock that the test moves. The file system is made to behave like a share
// that keeps times to the second: every change stamps its folder with the test clock's second.
// That clock runs an hour ahead of the machine's, so these stamps, not the real ones, decide.
// Where links cannot be made (Windows without the privilege, Wine), files stand in for them, and
// what cannot be removed or renamed while held open stays. The sequence is seeded; which image is
// chosen, and so what is converted, also depends on the order in which the file system lists
// entries, which the same machine repeats.
class RememberedSearch : public EngineTest {
  protected:
    RememberedSearch() { aimAt(destination); }

    // Both searches over the source into out, as a program started with that destination has.
    void aimAt(const std::string& out) {
        if (remembered) {
            passedOverBefore += remembered->memory().foldersPassedOver();
        }
        remembered.emplace(source, out, claims);
        remembered->memory().setClock([this] { return now; });
        plain.emplace(source, out, claims);
        plain->memory().setEnabled(false);
    }

    void touch(const fs::path& folder) const {
        SetModifiedTime(Utf8Path(folder), std::chrono::time_point_cast<std::chrono::seconds>(now));
    }
    void makeFolder(const fs::path& folder) const {
        if (!fs::exists(folder)) {
            makeFolder(folder.parent_path());
            fs::create_directory(folder);
            touch(folder);
            touch(folder.parent_path());
        }
    }
    // A file, or a link to target where links can be made.
    void write(const fs::path& path, const std::string& target = {}) const {
        makeFolder(path.parent_path());
        std::error_code error;
        fs::remove(path, error);
        if (target.empty() || !MakeLink(target, Utf8Path(path))) {
            WriteFile(Utf8Path(path), "image");
        }
        touch(path.parent_path());
    }
    void remove(const fs::path& path) const {
        std::error_code error;
        fs::remove_all(path, error);
        touch(path.parent_path());
    }
    std::string fresh(const std::string& stem) { return stem + std::to_string(++m_names); }
    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    }

    // What the work cycle would do with the image both searches chose: write its document or
    // failure marker, now and then a link to a document kept elsewhere, or leave it for later.
    void settle(const std::string& document) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
            case 0:
                break;
            case 1:
                m_documents.push_back(tree.path(fresh("elsewhere/doc-")));
                write(m_documents.back());
                write(document, m_documents.back());
                break;
            case 2:
                write(document.substr(0, document.size() - 3) + "bad");
                break;
            default:
                write(document);
        }
    }

    // One random change of the kinds a watched hierarchy sees.
    void change() {
        const std::string in = remembered->sourceRoot();
        const std::string out = remembered->destinationRoot();
        std::vector<std::string> folders = Below(in, true);
        folders.push_back(in);
        const std::string folder = pick(folders);
        const std::string mirror = out + folder.substr(in.size());
        std::vector<std::string> images = Below(in, false);
        std::erase_if(images, [](const std::string& file) {
            return file.find(".tif") == std::string::npos && file.find(".PDF") == std::string::npos;
        });
        switch (std::uniform_int_distribution<int>(0, 13)(random)) {
            case 0:
            case 1:
                write(folder + "/" + fresh("scan-") + pick<std::string>({".tif", ".PDF"}));
                break;
            case 2: {  // copied under a temporary name and renamed into place
                const std::string part = folder + "/" + fresh(".part-");
                write(part);
                fs::rename(part, part + ".tif");
                break;
            }
            case 3:  // deleted to try the image again
                if (const auto twins = Below(out, false); !twins.empty()) {
                    remove(pick(twins));
                }
                break;
            case 4:
                if (folders.size() < 20) {
                    makeFolder(folder + "/" + fresh("box-"));
                }
                break;
            case 5:  // a folder goes, or its mirror
                if (folder != in) {
                    remove(pick<std::string>({folder, mirror}));
                }
                break;
            case 6: {  // arrives still held open by its writer, who lets go of an older one
                const std::string image = folder + "/" + fresh("held-") + ".tif";
                write(image);
                m_held.emplace_back(FsPath(image), std::ios::binary);
                if (m_held.size() > 2) {
                    m_held.erase(m_held.begin());
                }
                break;
            }
            case 7:  // rewritten in place: its folder does not change
                if (!images.empty()) {
                    WriteFile(pick(images), "rescanned");
                }
                break;
            case 8:  // a link to a folder or a file elsewhere, perhaps named like an image
                m_shelves.push_back(tree.path(fresh("elsewhere/shelf-")));
                write(m_shelves.back() + pick<std::string>({"/loose.tif", ""}));
                write(folder + "/" + fresh("linked-") + pick<std::string>({"", ".tif"}),
                      m_shelves.back());
                break;
            case 9:  // what a link leads to turns from a folder into a file, or back
                if (!m_shelves.empty()) {
                    const std::string shelf = pick(m_shelves);
                    const bool wasFolder = fs::is_directory(shelf);
                    remove(shelf);
                    write(wasFolder ? shelf : shelf + "/" + fresh("late-") + ".tif");
                }
                break;
            case 10:  // the document that a twin links to goes
                if (!m_documents.empty()) {
                    const std::string document = pick(m_documents);
                    remove(document);
                    std::erase(m_documents, document);
                }
                break;
            case 11:
                replaceKeepingTime(pick<std::string>({folder, mirror, mirror}));
                break;
            case 12:  // the next start names another destination root
                aimAt(out == destination ? tree.path("out2") : destination);
                break;
            default:  // nothing changes
                break;
        }
    }

    // The folder is replaced by a copy that lacks one of its files and carries the old time.
    void replaceKeepingTime(const std::string& folder) {
        const std::optional<platform::FolderStamp> old = platform::GetFolderStamp(folder);
        // The old folder is kept, so that the copy cannot be given its identity.
        const std::string attic = m_attic.path(fresh("attic-"));
        std::error_code error;
        if (!old || (fs::rename(folder, attic, error), error)) {
            return;
        }
        touch(fs::path(folder).parent_path());
        fs::copy(attic, folder, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        std::vector<std::string> files = Below(folder, false);
        for (const std::string& file : files) {
            BackdateFile(file);
        }
        std::erase_if(files, [&](const std::string& file) {
            return fs::path(file).parent_path() != fs::path(folder);
        });
        if (!files.empty()) {
            fs::remove(pick(files));
        }
        SetModifiedTime(folder, old->modified);
    }

    std::optional<ImageSearch> remembered;
    std::optional<ImageSearch> plain;
    std::uint64_t passedOverBefore = 0;  // by the remembered searches made before this one
    std::mt19937 random{16};
    SearchMemory::Time now = std::chrono::system_clock::now() + std::chrono::hours(1);

  private:
    TempTree m_attic;
    std::vector<std::string> m_shelves;    // folders elsewhere that links lead to
    std::vector<std::string> m_documents;  // documents elsewhere that twins link to
    std::vector<std::ifstream> m_held;
    int m_names = 0;
};

// What turns an image into one to take without its folder's stamps moving: the search must look
// at it again on the next tick rather than pass the remembered folder over.
TEST_F(EngineTest, AnImageThatBecomesTakeableWithoutAFolderChangingIsTakenOnTheNextTick) {
    const std::string held = source + NativePath("/held.tif");
    const std::string linked = source + NativePath("/linked.tif");
    const std::string shelf = tree.path("elsewhere/shelf");
    std::ifstream writer;
    const struct {
        const char* what;
        std::string image;
        std::function<bool()> arrange;  // false where it cannot be arranged
        std::function<void()> release;
    } cases[] = {
        {"an image held open by its writer", held,
         [&] {
             WriteFile(held, "scan");
             writer.open(FsPath(held), std::ios::binary);
             return writer.is_open();
         },
         [&] { writer.close(); }},
        {"a link named like an image that led to a folder", linked,
         [&] {
             MakeFolders(shelf);
             return MakeLink(shelf, linked);
         },
         [&] {
             fs::remove(FsPath(shelf));
             WriteFile(shelf, "scan");
         }},
    };
    auto now = std::chrono::system_clock::now() + std::chrono::hours(1);
    search().memory().setClock([&] { return now; });
    for (const auto& c : cases) {
        if (!c.arrange()) {
            continue;
        }
        for (int tick = 0; tick < 2; ++tick) {
            now += std::chrono::seconds(5);
            EXPECT_FALSE(findNext()) << c.what;
        }
        c.release();
        now += std::chrono::seconds(5);
        const std::optional<Candidate> found = findNext();
        ASSERT_TRUE(found) << c.what;
        EXPECT_EQ(found->image, c.image) << c.what;
        WriteFile(found->document, "document");
    }
}

// The count of waiting images that --metrics shows: a walk that takes nothing must neither miss
// an image nor leave the search memory believing a folder holds nothing to take.
TEST_F(EngineTest, CountsTheWaitingImagesAndStillHandsEachOfThemOut) {
    for (const char* image : {"in/a/1.tif", "in/a/2.tif", "in/b/3.pdf", "in/b/c/4.TIF",
                              "in/b/c/5.tif", "in/b/c/6.tif"}) {
        tree.writeFile(image);
    }
    tree.writeFile("out/a/2.orx");
    tree.writeFile("out/b/c/5.bad");
    claims.Reserve(tree.path("out/b/3.orx"));
    // Every folder has long settled, so the memory trusts what it recorded.
    search().memory().setClock(
        [] { return std::chrono::system_clock::now() + std::chrono::hours(1); });
    EXPECT_EQ(search().CountWaiting([] { return true; }), std::nullopt);
    for (std::size_t waiting = 3;; --waiting) {
        EXPECT_EQ(search().CountWaiting(), waiting);
        EXPECT_EQ(search().CountWaiting(), waiting);
        const std::optional<Candidate> found = findNext();
        ASSERT_EQ(found.has_value(), waiting > 0);
        if (!found) {
            break;
        }
        WriteFile(found->document, "document");
    }
}

TEST_F(RememberedSearch, ChoosesWhatThePlainSearchChoosesThroughEveryChange) {
    constexpr int kSteps = 1000;
    using std::chrono::milliseconds;
    const std::vector<milliseconds> pauses{milliseconds(0), milliseconds(300), milliseconds(1000),
                                           milliseconds(2500), milliseconds(6000)};
    for (int step = 0; step < kSteps; ++step) {
        // Now and then a longer pause, so that some walks are full ones.
        now += step % 200 == 199 ? SearchMemory::kFullWalkInterval / 4 : pick(pauses);
        change();
        const std::optional<Candidate> chosen = remembered->Next();
        const std::optional<Candidate> plainChoice = plain->Next();
        ASSERT_EQ(chosen.has_value(), plainChoice.has_value()) << "step " << step;
        if (chosen) {
            ASSERT_EQ(chosen->image, plainChoice->image) << "step " << step;
            ASSERT_EQ(chosen->document, plainChoice->document) << "step " << step;
            settle(chosen->document);
        }
    }
    EXPECT_GT(passedOverBefore + remembered->memory().foldersPassedOver(),
              static_cast<std::uint64_t>(kSteps));
}

}  // namespace
}  // namespace quillrun::test
