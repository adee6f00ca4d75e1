// kavrelcfg's parts that a whole run reaches only in passing, or not at all as root: settings
// documents, the order of port names, shell quoting and the hints about ports.
#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cli/port_name_order.h"
#include "cli/settings_document.h"
#include "cli/system_conventions.h"
#include "support/temp_dir.h"

TEST(SettingsDocument, TakesEveryValueItsSettingHoldsAndNamesTheFirstItCannot) {
    SettingsDocument taken;
    std::string error;
    ASSERT_TRUE(parseSettingsDocument(R"({"calibration": 255, "autoTxRateSec": 65535, "txTwist": false, "model": 0})",
                                      "d", taken, error)) << error;
    EXPECT_EQ(taken.layer.values.calibration * 100000 + taken.layer.values.autoTxRateSec, 25565535);
    EXPECT_TRUE(taken.hasModel && taken.model == 0 && !taken.layer.values.txTwist);
    const struct {
        const char* text;
        const char* error;
    } refused[] = {
        {R"({"calibration": 256})", "d: calibration: 256 is not a whole number from 0 to 255"},
        {R"({"txTwist": 1})", "d: txTwist: true or false is expected"},
        {R"({"model": 5})", "d: model: 5 is not a generation from 0 to 4"},
        {R"({"statusText": "a\u0000b"})", "d: statusText: the text holds a character that is no byte from \\u0001 to \\u00ff"},
        {R"({"bogus": 1})", "d: bogus: unknown setting; the keys are callsign, path, "},
        {"[1]", "d is not a settings document"},
    };
    for (const auto& c : refused) {
        SettingsDocument document;
        EXPECT_FALSE(parseSettingsDocument(c.text, "d", document, error)) << c.text;
        EXPECT_EQ(error.compare(0, std::string(c.error).size(), c.error), 0) << error;
    }
}

TEST(SystemConventions, PortOrderQuotingAndPortHints) {
    EXPECT_TRUE(portNameBefore("/dev/ttyS9", "/dev/ttyS10") && portNameBefore("/dev/ttyS10", "/dev/ttyS11"));
    EXPECT_FALSE(portNameBefore("/dev/ttyS10", "/dev/ttyS9") || portNameBefore("/dev/ttyS0", "/dev/ttyACM0"));
    EXPECT_EQ(shellWord("my port's"), "'my port'\\''s'");

    EXPECT_EQ(portOpenHint("/dev/null", EACCES), "you have no access to /dev/null; ask its owner for it");
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another group takes root";
    TempDir dir;
    const std::string port = dir.path("port");
    writeWholeFile(port, "");
    const group* other = ::getgrnam("nogroup");
    ASSERT_TRUE(other != nullptr && ::chown(port.c_str(), static_cast<uid_t>(-1), other->gr_gid) == 0);
    EXPECT_EQ(portOpenHint(port, EPERM),
              port + " belongs to the group 'nogroup': add yourself with 'sudo usermod -aG nogroup $USER', then log in again");
}
