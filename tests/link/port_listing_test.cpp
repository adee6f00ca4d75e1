// The port listing: Linux's on a tree made as the system's is, and what is told of a port
// without opening it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "link/port_listing.h"
#include "link/sysfs_ports.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

// An FTDI adapter with its by-id link, a modem that tells neither maker nor serial number, two
// built-in UARTs; left out: a UART slot where no chip was found, the console, a terminal without
// a node and one without hardware.
TEST(PortListing, LinuxDescribesEachPortAndLeavesOutThoseWithoutHardware) {
    TempDir root;
    const std::string ftdi = "sys/devices/usb1/1-2/", modem = "sys/devices/usb1/1-3/", tty = "sys/class/tty/";
    const std::string uart = "-> ../../../devices/pnp0/00:01";
    const std::pair<std::string, std::string> tree[] = {  // a file and its text, or a link and where it leads
        {ftdi + "idVendor", "0403\n"}, {ftdi + "idProduct", "6001\n"}, {ftdi + "manufacturer", "FTDI\n"},
        {ftdi + "product", " FT232R USB\tUART \n"}, {ftdi + "serial", "A50285BI\n"}, {ftdi + "1-2:1.0/ttyUSB0/dev", ""},
        {modem + "idVendor", "2341\n"}, {modem + "idProduct", "0043\n"}, {modem + "1-3:1.0/dev", ""},
        {"sys/devices/pnp0/00:01/id", ""}, {tty + "console/active", "tty0 ttyS0\n"}, {tty + "ptmx/dev", "5:2\n"},
        {tty + "ttyUSB0/device", "-> ../../../devices/usb1/1-2/1-2:1.0/ttyUSB0"},
        {tty + "ttyACM0/device", "-> ../../../devices/usb1/1-3/1-3:1.0"},
        {tty + "ttyUSB1/device", "-> ../../../devices/usb1/1-3/1-3:1.0"},
        {tty + "ttyS10/device", uart}, {tty + "ttyS9/device", uart}, {tty + "ttyS0/device", uart},
        {tty + "ttyS1/device", uart}, {tty + "ttyS1/type", "0\n"},
        {"dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "-> ../../ttyUSB0"},
        {"dev/ttyUSB0", ""}, {"dev/ttyACM0", ""}, {"dev/ttyS10", ""}, {"dev/ttyS9", ""}, {"dev/ttyS1", ""},
        {"dev/ttyS0", ""}, {"dev/ptmx", ""},
    };
    for (const auto& [path, text] : tree) {
        fs::create_directories(fs::path(root.path(path)).parent_path());
        if (text.compare(0, 3, "-> ") == 0)
            fs::create_symlink(text.substr(3), root.path(path));
        else
            writeWholeFile(root.path(path), text);
    }
    std::vector<PortEntry> listed;
    ASSERT_TRUE(addSysfsPorts({root.path("sys"), root.path("dev"), root.path("dev/serial/by-id")}, listed));
    sortPorts(listed);
    std::vector<std::string> shown;
    for (const PortEntry& port : listed)
        shown.push_back(port.name + " | " + port.description + " | " + port.byId + (port.usb ? " | USB" : ""));
    const std::string dev = root.path("dev/");
    EXPECT_EQ(shown, (std::vector<std::string>{
                         dev + "ttyACM0 | USB serial adapter (USB 2341:0043) |  | USB",
                         dev + "ttyUSB0 | FTDI FT232R USB UART (USB 0403:6001, serial A50285BI) | " + dev +
                             "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 | USB",
                         dev + "ttyS9 | built-in serial port | ",
                         dev + "ttyS10 | built-in serial port | ",
                     }));
    // A port named by its by-id link is described as the listing describes it; a pty is not.
    EXPECT_EQ(describedPort(listed, listed[1].byId).description, listed[1].description);
    EXPECT_EQ(describedPort(listed, "/dev/pts/3").description, "");
    EXPECT_FALSE(addSysfsPorts({root.path("none"), root.path("dev"), root.path("dev")}, listed));
}

TEST(PortListing, APortIsJudgedWithoutOpeningIt) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    EXPECT_EQ(portState(::ptsname(master)).access, PortAccess::Usable);
    ::close(master);
    EXPECT_EQ(portState("/dev/kavrel-no-such-port").access, PortAccess::Absent);
    const PortState device = portState("/dev/null");
    EXPECT_TRUE(device.access == PortAccess::Refused && device.code == ENOTTY);
}
