#include "cli/status_report.h"

#include <cstdio>

#include "cli/exit_status.h"
#include "cli/text_escaping.h"
#include "config/tracker_settings.h"

int reportStatus(const std::string& status, bool succeeded) {
    std::fprintf(stderr, "%s\n", visibleText(status).c_str());
    return succeeded ? kExitSuccess : kExitFailed;
}

int reportOutcome(const Configurator& configurator) {
    return reportStatus(configurator.statusMessage, configurator.outcome == Outcome::Succeeded);
}
