#include "resources/string_table.h"

#include <array>
#include <string_view>

#include "resources/resource_ids.h"

namespace quillrun::res {
namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

constexpr std::array kStrings{
    StringEntry{kOkButton,
                "Press this button when you have verified all of the settings in this dialog, and "
                "you wish to have the program begin searching for TIFF files which have no "
                "corresponding ORX files."},
    StringEntry{kCancelButton, "Press this button to exit from Quillrun."},
    StringEntry{kAboutMenuStringId, "&About Quillrun..."},
    StringEntry{kSourcePathEdit,
                "Specify a folder which contains, either directly or through subfolders, all of "
                "the image files that you wish to have converted into ORX files."},
    StringEntry{kSourceBrowseButton,
                "Use this button to select from your system's folders the appropriate starting "
                "point for finding incoming image files."},
    StringEntry{kDestPathEdit,
                "Specify a folder which should contain the ORX files that you wish to create. The "
                "folder should already exist, and must be writeable. Subfolders, corresponding to "
                "those in the source hierarchy, do not need to exist, as this program will create "
                "them when they are needed."},
    StringEntry{kDestBrowseButton,
                "Use this button to select from your system's folders the appropriate starting "
                "point for the ORX files which are to be created."},
    // Line feeds only, no line feed after the last line; the blanks at line ends belong to it.
    StringEntry{kCommandArgsEdit,
                "The Command Arguments field allows you to specify the command line for the "
                "Orlavex. The default value for this field is:\n"
                "\n"
                "-in:^S -out:^D -x\n"
                "\n"
                "Note that \"^S\" will be replaced with the fully qualified path and name of the "
                "image file, while \"^D\" will be replaced with the fully qualified path and name "
                "of the ORX file to be created. Here is a quick synopsis of Orlavex command line "
                "arguments.\n"
                "\n"
                "-in:filename.foo file to open \n"
                "-out:file name.foo file to save \n"
                "-user:name change user name \n"
                "-x exit (must be last) \n"
                "-d delete previous \"-in\" file \n"
                "-2page turn on 2 page mode \n"
                "-autorotate force auto-rotate ON \n"
                "-rotate0 rotate 0 (disable auto-rotate) \n"
                "-despeckle force despeckle ON \n"
                "-nodespeckle force despeckle OFF\n"
                "-deskew force deskew ON \n"
                "-nodeskew force deskew OFF"},
    StringEntry{kLogActivityCheck,
                "If you would like to create or extend an activity log, check this box."},
    StringEntry{kLogPathEdit,
                "Enter the path and name of a log file. If the file already exists, it will be "
                "extended."},
    StringEntry{kLogBrowseButton, "Use this button to select a file as your log file."},
    StringEntry{kStatisticsButton,
                "Press this button to review recognition statistics for those documents that "
                "have been recognized in the current session. The confidence number for each page "
                "can give you a good idea as to what pages should be reviewed."},
};

}  // namespace

std::string LoadString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) {
            return std::string(entry.text);
        }
    }
    return {};
}

}  // namespace quillrun::res
