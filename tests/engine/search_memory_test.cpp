#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "engine/engine_fixture.h"
#include "platform/unique_fd.h"

namespace quillrun::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

bool IsImage(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tif" || extension == ".pdf";
}

// The folders and files below root (links not followed), in name order, so that the sequence of
// changes does not depend on the order in which a file system lists entries.
struct Contents {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

Contents Below(const std::string& root) {
    Contents found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; it != end; it.increment(error)) {
        if (it->is_symlink()) {
            continue;
        }
        (it->is_directory() ? found.folders : found.files).push_back(it->path().string());
    }
    std::sort(found.folders.begin(), found.folders.end());
    std::sort(found.files.begin(), found.files.end());
    return found;
}

// The remembered search against the plain one, over a long random sequence of changes to both
// hierarchies, on a clock that the test moves. The file system is made to behave like a share
// that keeps times to the second: every change stamps its folder with the test clock's second.
// That clock runs an hour ahead of the machine's, so these stamps, not the real ones, decide.
// The sequence is seeded; which image is chosen, and so what is converted, also depends on the
// order in which the file system lists entries, which the same machine repeats.
class RememberedSearch : public EngineTest {
  protected:
    RememberedSearch() : plain(plainHost) {
        plain.m_sourcePath = source;
        plain.m_destPath = destination;
        plain.GetSearchMemory().setEnabled(false);
        engine.GetSearchMemory().setClock([this] { return now; });
        tree.makeFolder("elsewhere");
        tree.makeFolder("out2");
    }

    void touch(const std::string& folder) const {
        const auto second = std::chrono::time_point_cast<std::chrono::seconds>(now);
        const timespec time{second.time_since_epoch().count(), 0};
        const timespec times[2] = {time, time};
        ::utimensat(AT_FDCWD, folder.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    void touchParent(const std::string& path) const { touch(fs::path(path).parent_path()); }
    void makeFolder(const std::string& folder) const {
        if (!Exists(folder)) {
            makeFolder(fs::path(folder).parent_path());
            ::mkdir(folder.c_str(), 0777);
            touch(folder);
            touchParent(folder);
        }
    }
    void write(const std::string& path) const {
        WriteFile(path, "image");
        touchParent(path);
    }
    std::string fresh(const std::string& stem) { return stem + std::to_string(++m_names); }
    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    }

    // What the work cycle would do with the image both searches chose: write its document or
    // failure marker, now and then a link to a document kept elsewhere, or leave it for later.
    void convert(const std::string& document) {
        const int outcome = std::uniform_int_distribution<int>(0, 5)(random);
        if (outcome == 0) {
            return;
        }
        makeFolder(fs::path(document).parent_path());
        if (outcome == 1) {
            const std::string target = tree.path("elsewhere/" + fresh("doc-"));
            write(target);
            m_documents.push_back(target);
            ::symlink(target.c_str(), document.c_str());
            touchParent(document);
        } else {
            write(outcome == 2 ? document.substr(0, document.size() - 3) + "bad" : document);
        }
    }

    // One random change of the kinds a watched hierarchy sees.
    void change() {
        const std::string in = engine.m_sourcePath;
        const std::string out = engine.m_destPath;
        const std::string elsewhere = tree.path("elsewhere");
        auto [folders, images] = Below(in);
        folders.push_back(in);
        const std::string folder = pick(folders);
        std::erase_if(images, [](const std::string& file) { return !IsImage(file); });
        const std::vector<std::string> twins = Below(out).files;
        switch (std::uniform_int_distribution<int>(0, 15)(random)) {
            case 4:
            case 5:  // nothing changes
                break;
            case 0:
            case 1:
                write(folder + "/" + fresh("scan-") + pick<std::string>({".tif", ".PDF"}));
                break;
            case 2: {  // copied under a temporary name and renamed into place
                const std::string part = folder + "/" + fresh(".part-");
                write(part);
                ::rename(part.c_str(), (part + ".tif").c_str());
                break;
            }
            case 3:
                if (!images.empty()) {  // a document or failure marker from another run
                    const std::string image = pick(images);
                    const std::string twin = out + image.substr(in.size());
                    makeFolder(fs::path(twin).parent_path());
                    write(twin.substr(0, twin.size() - 3) + pick<std::string>({"orx", "bad"}));
                }
                break;
            case 6:  // deleted to try the image again
                if (!twins.empty()) {
                    const std::string twin = pick(twins);
                    fs::remove(twin);
                    touchParent(twin);
                }
                break;
            case 7:
                if (folders.size() < 20) {
                    makeFolder(folder + "/" + fresh("box-"));
                }
                break;
            case 8:  // a folder goes, or its mirror
                if (folder != in && folders.size() > 3) {
                    const std::string gone =
                        pick<std::string>({folder, out + folder.substr(in.size())});
                    fs::remove_all(gone);
                    touchParent(gone);
                }
                break;
            case 9:  // held open by its writer, or let go
                if (!images.empty() && m_held.size() < 2) {
                    m_held.emplace_back(::open(pick(images).c_str(), O_RDONLY | O_CLOEXEC));
                } else if (!m_held.empty()) {
                    m_held.erase(m_held.begin());
                }
                break;
            case 10:  // rewritten in place: its folder does not change
                if (!images.empty()) {
                    WriteFile(pick(images), "rescanned");
                }
                break;
            case 11: {  // a link to a folder elsewhere, perhaps named like an image
                const std::string target = elsewhere + "/" + fresh("shelf-");
                makeFolder(target);
                write(target + "/loose.tif");
                m_shelves.push_back(target);
                const std::string link =
                    folder + "/" + fresh("linked-") + pick<std::string>({"", ".tif"});
                ::symlink(target.c_str(), link.c_str());
                touchParent(link);
                break;
            }
            case 12: {  // what a link leads to becomes a file, or a folder with a new image
                if (!m_shelves.empty()) {
                    const std::string target = pick(m_shelves);
                    const bool wasFolder = fs::is_directory(target);
                    fs::remove_all(target);
                    if (wasFolder) {
                        write(target);
                    } else {
                        makeFolder(target);
                        write(target + "/" + fresh("late-") + ".tif");
                    }
                    touchParent(target);
                }
                break;
            }
            case 13:  // the document that a twin links to goes
                if (!m_documents.empty()) {
                    const std::string target = pick(m_documents);
                    fs::remove(target);
                    std::erase(m_documents, target);
                    touchParent(target);
                }
                break;
            case 14: {  // a folder replaced by a copy, less one file, with the old time stamp
                const std::string mirror = out + folder.substr(in.size());
                const std::string replaced = pick<std::string>({folder, mirror, mirror});
                struct stat old {};
                if (::stat(replaced.c_str(), &old) != 0) {
                    break;
                }
                // Kept, so that the copy cannot be given the old folder's identity.
                const std::string attic = m_attic.path(fresh("attic-"));
                fs::rename(replaced, attic);
                fs::copy(attic, replaced,
                         fs::copy_options::recursive | fs::copy_options::copy_symlinks);
                std::vector<std::string> copied = Below(replaced).files;
                for (const std::string& file : copied) {
                    BackdateFile(file);
                }
                std::erase_if(copied, [&](const std::string& file) {
                    return fs::path(file).parent_path() != replaced;
                });
                if (!copied.empty()) {
                    fs::remove(pick(copied));
                }
                const timespec times[2] = {old.st_mtim, old.st_mtim};
                ::utimensat(AT_FDCWD, replaced.c_str(), times, 0);
                touchParent(replaced);
                break;
            }
            case 15:  // the destination root changes
                engine.m_destPath = plain.m_destPath =
                    out == destination ? tree.path("out2") : destination;
                break;
        }
    }

    RecordingHost plainHost;
    QuillrunEngine plain;
    std::mt19937 random{16};
    SearchMemory::Time now = std::chrono::system_clock::now() + std::chrono::hours(1);

  private:
    TempTree m_attic;
    std::vector<std::string> m_shelves;    // folders elsewhere that links lead to
    std::vector<std::string> m_documents;  // files elsewhere that twins lead to
    int m_names = 0;
    std::vector<platform::UniqueFd> m_held;
};

TEST_F(RememberedSearch, ChoosesWhatThePlainSearchChoosesThroughEveryChange) {
    constexpr int kSteps = 1000;
    const std::vector<milliseconds> pauses{milliseconds(0), milliseconds(300), milliseconds(1000),
                                           milliseconds(2500), milliseconds(6000)};
    for (int step = 0; step < kSteps; ++step) {
        // Now and then a longer pause, so that some walks are full ones.
        now += step % 200 == 199 ? SearchMemory::kFullWalkInterval / 4 : pick(pauses);
        change();
        const int remembered = engine.FindNextImage(engine.m_sourcePath);
        ASSERT_EQ(remembered, plain.FindNextImage(plain.m_sourcePath)) << "step " << step;
        if (remembered == 1) {
            ASSERT_EQ(engine.m_currentImage, plain.m_currentImage) << "step " << step;
            ASSERT_EQ(engine.m_pendingOutput, plain.m_pendingOutput) << "step " << step;
            convert(engine.m_pendingOutput);
        }
    }
    EXPECT_GT(engine.GetSearchMemory().foldersPassedOver(), static_cast<std::uint64_t>(kSteps));
}

}  // namespace
}  // namespace quillrun::test
