#include "service/settings_import.h"

namespace quillrun::service {

bool HasSettingsImport() {
    return false;
}

ImportResult ImportSettings() {
    return {false, "quillrun-service: the settings are imported on Windows only."};
}

}  // namespace quillrun::service
