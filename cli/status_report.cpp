#include "cli/status_report.h"

#include <cstdio>

#include "cli/exit_status.h"
#include "cli/text_escaping.h"

bool isSuccessStatus(const std::string& status) {
    return status == "File Loaded" || status == "File Saved" || status == "Read Config Successful" ||
           status == "Config Written Successfully!" || status.compare(0, 15, "Version Read : ") == 0;
}

int reportStatus(const std::string& status) {
    std::fprintf(stderr, "%s\n", visibleText(status).c_str());
    return isSuccessStatus(status) ? kExitSuccess : kExitFailed;
}
