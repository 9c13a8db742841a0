// orlavex refuses clearly and leaves nothing behind: no document, no statistics, no temporary
// file, and the image untouched.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "orlavex/orlavex_runner.h"
#include "orlavex/test_pages.h"
#include "support/temp_tree.h"

namespace orlavex::test {
namespace {

// An image folder and a document folder of their own.
class ScanFolders {
  public:
    ScanFolders() {
        images = tree.makeFolder("images");
        documents = tree.makeFolder("documents");
    }

    std::string writeScan(const std::string& name, const Lines& text = FoxText()) const {
        const PixPtr page = ScanOf(text);
        const std::string path = images + "/" + name;
        WriteTiff(path, {page.get()});
        return path;
    }

    std::string writeImageFile(const std::string& name, const std::string& bytes) const {
        const std::string path = images + "/" + name;
        WriteWholeFile(path, bytes);
        return path;
    }

    std::string document() const { return documents + "/scan.orx"; }
    std::string statistics() const { return documents + "/scan.dat"; }

    quillrun::test::TempTree tree;
    std::string images;
    std::string documents;
};

class OrlavexRun : public ::testing::Test, public ScanFolders {};

struct FailureCase {
    const char* name;
    // Prepares the image and returns the arguments; every case asks for -d as well, which must
    // not delete anything when no document was written.
    std::function<std::vector<std::string>(ScanFolders&)> prepare;
    const char* message;
};

std::string TruncatedTiff(ScanFolders& test) {
    const std::string bytes = ReadWholeFile(test.writeScan("whole.tif"));
    ::unlink((test.images + "/whole.tif").c_str());
    return bytes.substr(0, bytes.size() / 3);
}

// Four pages whose last one is cut short: the first pages are being recognised, on as many
// threads as there are processors, when the last one fails to read.
std::string TiffWithDamagedLastPage(ScanFolders& test) {
    std::vector<PixPtr> pages;
    std::vector<Pix*> raw;
    for (const Lines* text : {&FoxText(), &HarbourText(), &LedgerText(), &OrchardText()}) {
        pages.push_back(ScanOf(*text));
        raw.push_back(pages.back().get());
    }
    const std::string path = test.images + "/whole.tif";
    WriteTiff(path, raw);
    const std::string bytes = ReadWholeFile(path);
    ::unlink(path.c_str());
    return bytes.substr(0, bytes.size() * 9 / 10);
}

const FailureCase kFailureCases[] = {
    {"unknown option",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-out:" + t.document(),
                                         "-frobnicate", "-d"};
     },
     "unknown option -frobnicate"},
    {"missing -in:",
     [](ScanFolders& t) {
         t.writeScan("scan.tif");
         return std::vector<std::string>{"-out:" + t.document(), "-d"};
     },
     "-in:"},
    {"missing -out:",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-d", "-x"};
     },
     "-out:"},
    {"empty -out:",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-out:", "-d"};
     },
     "-out:"},
    {"image that does not exist",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.images + "/none.tif", "-out:" + t.document(),
                                         "-d"};
     },
     "cannot read the image"},
    {"image that is a folder",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.tree.makeFolder("images/folder.tif"),
                                         "-out:" + t.document(), "-d"};
     },
     "is not a file"},
    {"file that is no image",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeImageFile("notes.tif", "just words\n"),
                                         "-out:" + t.document(), "-d"};
     },
     "neither a TIFF or PDF"},
    {"damaged TIFF",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeImageFile("cut.tif", TruncatedTiff(t)),
                                         "-out:" + t.document(), "-d"};
     },
     "cannot be read"},
    {"TIFF whose last page is damaged",
     [](ScanFolders& t) {
         return std::vector<std::string>{
             "-in:" + t.writeImageFile("cut.tif", TiffWithDamagedLastPage(t)),
             "-out:" + t.document(), "-d"};
     },
     "page 4 of the TIFF file cannot be read"},
    {"damaged PDF",
     [](ScanFolders& t) {
         return std::vector<std::string>{
             "-in:" + t.writeImageFile("cut.pdf", MakeTextPdf({FoxText()}).substr(0, 120)),
             "-out:" + t.document(), "-d"};
     },
     "PDF file"},
    {"PDF locked with a password",
     [](ScanFolders& t) {
         return std::vector<std::string>{
             "-in:" + t.writeImageFile("locked.pdf", MakeLockedPdf(FoxText())),
             "-out:" + t.document(), "-d"};
     },
     "locked"},
    {"document folder that does not exist",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"),
                                         "-out:" + t.documents + "/missing/scan.orx", "-d"};
     },
     "cannot create a file in the folder"},
    {"recognition language that is not installed",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-out:" + t.document(),
                                         "-lang:zzz", "-d"};
     },
     "zzz is not installed"},
    {"language list that reaches outside the data folder",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-out:" + t.document(),
                                         "-lang:../eng", "-d"};
     },
     "-lang:"},
    {"number of pages at once that is none",
     [](ScanFolders& t) {
         return std::vector<std::string>{"-in:" + t.writeScan("scan.tif"), "-out:" + t.document(),
                                         "-jobs:0", "-d"};
     },
     "-jobs:"},
    {"document that would replace the image",
     [](ScanFolders& t) {
         const std::string image = t.writeScan("scan.tif");
         return std::vector<std::string>{"-in:" + image, "-out:" + image, "-d"};
     },
     "would replace the image"},
    {"path split at a blank",
     [](ScanFolders& t) {
         t.writeScan("scan.tif");
         return std::vector<std::string>{"-in:" + t.images + "/my", "scan.tif",
                                         "-out:" + t.document(), "-d"};
     },
     "argument 2 is not an option"},
};

TEST(OrlavexFailure, EveryRefusalSaysWhyAndLeavesNoDocumentNorAnyOtherFile) {
    for (const FailureCase& testCase : kFailureCases) {
        SCOPED_TRACE(testCase.name);
        ScanFolders fresh;  // each case in folders of its own
        std::vector<std::string> arguments = testCase.prepare(fresh);
        arguments.push_back("-stat:" + fresh.statistics());
        const std::vector<std::string> imagesBefore = FolderNames(fresh.images);

        const RunResult run = RunOrlavex(arguments);

        EXPECT_FALSE(run.succeeded());
        EXPECT_TRUE(WIFEXITED(run.status));
        EXPECT_NE(run.standardError.find(testCase.message), std::string::npos) << run.standardError;
        EXPECT_TRUE(FolderNames(fresh.documents).empty());
        EXPECT_EQ(FolderNames(fresh.images), imagesBefore);
    }
}

TEST_F(OrlavexRun, DeleteOptionRemovesTheImageOnlyOnceTheDocumentIsWritten) {
    const std::string image = writeScan("scan.tif");
    const RunResult run = RunOrlavex(
        {"-in:" + image, "-out:" + document(), "-stat:" + statistics(), "-d", "-nomessage", "-x"});
    ASSERT_TRUE(run.succeeded()) << run.standardError;
    EXPECT_TRUE(FolderNames(images).empty());
    EXPECT_EQ(FolderNames(documents), (std::vector<std::string>{"scan.dat", "scan.orx"}));
}

TEST_F(OrlavexRun, TerminationWhileRecognisingLeavesNothingBehind) {
    std::vector<PixPtr> pages;
    std::vector<Pix*> raw;
    for (const Lines* text : {&FoxText(), &HarbourText(), &LedgerText(), &OrchardText()}) {
        pages.push_back(ScanOf(*text));
        raw.push_back(pages.back().get());
    }
    const std::string image = images + "/scan.tif";
    WriteTiff(image, raw);

    // The temporary document appears once the engines are up and recognition begins; the
    // signal is sent the moment it does.
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, documents.c_str(), IN_CREATE), 0);
    const pid_t pid = StartOrlavex(
        {"-in:" + image, "-out:" + document(), "-stat:" + statistics(), "-d", "-nomessage", "-x"});
    pollfd ready{watch, POLLIN, 0};
    const bool created = ::poll(&ready, 1, 60000) == 1;
    ::kill(pid, SIGTERM);
    const int status = WaitForExit(pid);
    ::close(watch);

    ASSERT_TRUE(created);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(FolderNames(documents).empty());
    EXPECT_EQ(FolderNames(images), std::vector<std::string>{"scan.tif"});
}

TEST_F(OrlavexRun, NeverReadsStandardInputNorRepeatsTheUserOrPassword) {
    const std::string image = writeScan("scan.tif");
    const std::string user = "alice.kaldera";
    const std::string password = "Pa55-w0rd-9731";
    const std::vector<std::vector<std::string>> runs{
        {"-user:" + user, "-pwd:" + password, "-in:" + image, "-out:" + document(), "-x",
         "-stat:" + statistics()},
        {"-user:" + user, "-pwd:" + password, "-in:" + image, "-out:" + document(),
         "-pwdx:" + password},
        {"-user:" + user, "-pwd:Pa55", password, "-in:" + image, "-out:" + document()},
    };
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string waiting = "standard input that nobody reads\n";
    ASSERT_EQ(::write(pipeEnds[1], waiting.data(), waiting.size()),
              static_cast<ssize_t>(waiting.size()));
    bool first = true;
    for (const std::vector<std::string>& arguments : runs) {
        // The writing end stays open: a program that read its input would wait for ever.
        const RunResult run = RunOrlavex(arguments, pipeEnds[0]);
        EXPECT_EQ(run.succeeded(), first) << run.standardError;
        first = false;
        for (const std::string& output : {run.standardOutput, run.standardError}) {
            EXPECT_EQ(output.find(password), std::string::npos) << output;
            EXPECT_EQ(output.find(user), std::string::npos) << output;
        }
    }
    int unread = 0;
    ASSERT_EQ(::ioctl(pipeEnds[0], FIONREAD, &unread), 0);
    EXPECT_EQ(unread, static_cast<int>(waiting.size()));
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

}  // namespace
}  // namespace orlavex::test
