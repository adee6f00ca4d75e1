#include "link/port_listing.h"

#include <windows.h>
// initguid.h first: devguid.h then defines the class GUIDs it declares.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cstddef>

#include "link/serial_port.h"

namespace {

std::string utf8Of(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(size) - 1);
    return utf8;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool listed(const std::vector<PortEntry>& ports, const std::string& name) {
    return std::any_of(ports.begin(), ports.end(), [&name](const PortEntry& port) { return port.name == name; });
}

// A text property of a device from its driver's installation; empty where it has none. The
// buffer keeps its last character zero, so that the text always ends.
std::string deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr))
        return {};
    return utf8Of(text);
}

// A text value of a registry key; empty where it has none.
std::string registryText(HKEY key, const wchar_t* valueName) {
    wchar_t text[256] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    return result == ERROR_SUCCESS && type == REG_SZ ? utf8Of(text) : std::string();
}

// The device's COM name, from its hardware key; empty for a printer port of the class.
std::string comNameOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return {};
    const std::string name = registryText(key, L"PortName");
    RegCloseKey(key);
    return startsWith(name, "COM") ? name : std::string();
}

// Its name in Device Manager without the " (COM3)" that ends it, after its maker where the name
// does not already say it ("(Standard port types)" says nothing).
std::string descriptionOf(HDEVINFO devices, SP_DEVINFO_DATA& device, const std::string& comName) {
    std::string name = deviceProperty(devices, device, SPDRP_FRIENDLYNAME);
    if (name.empty()) name = deviceProperty(devices, device, SPDRP_DEVICEDESC);
    const std::string suffix = " (" + comName + ")";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    const std::string maker = deviceProperty(devices, device, SPDRP_MFG);
    if (!maker.empty() && maker[0] != '(' && name.find(maker) == std::string::npos)
        name = name.empty() ? maker : maker + " " + name;
    return name;
}

// The present devices of the Ports class; USB adapters are those the USB bus or FTDI's own
// bus driver enumerates.
void addClassPorts(std::vector<PortEntry>& ports) {
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        const std::string name = comNameOf(devices, device);
        if (name.empty() || listed(ports, name)) continue;
        const std::string bus = deviceProperty(devices, device, SPDRP_ENUMERATOR_NAME);
        ports.push_back(PortEntry{name, descriptionOf(devices, device, name), {}, bus == "USB" || bus == "FTDIBUS"});
    }
    SetupDiDestroyDeviceInfoList(devices);
}

// The ports the serial drivers announce, which include those of drivers outside the Ports class
// (virtual port pairs, the ports Wine maps); nothing more is known of them.
void addAnnouncedPorts(std::vector<PortEntry>& ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256] = {};
        DWORD valueNameSize = 256;
        wchar_t text[64] = {};
        DWORD size = sizeof text - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, valueName, &valueNameSize, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        const std::string name = result == ERROR_SUCCESS && type == REG_SZ ? utf8Of(text) : std::string();
        if (startsWith(name, "COM") && !listed(ports, name)) ports.push_back(PortEntry{name, {}, {}, false});
    }
    RegCloseKey(key);
}

}  // namespace

// Only the ports present are listed, from what the system recorded of them: none is opened.
std::vector<PortEntry> listPorts() {
    std::vector<PortEntry> ports;
    addClassPorts(ports);
    addAnnouncedPorts(ports);
    sortPorts(ports);
    return ports;
}

// Windows tells whether a COM port may be opened only by opening it; closing it again drops its
// modem lines, and every program sets the line it needs when it opens one.
PortState portState(const std::string& name) {
    SerialPort port;
    if (port.probe(name) == 1) return {PortAccess::Usable, 0};
    const int code = port.lastErrorCode;
    const bool absent = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    return {absent ? PortAccess::Absent : PortAccess::Refused, code};
}
